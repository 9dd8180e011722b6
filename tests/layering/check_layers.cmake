# Checks the engine's layering by preprocessing small probe files the way
# each folder's sources are compiled:
#  - each header of a folder, included from that folder, must preprocess
#    (so a header that includes from a folder above its own fails here);
#  - a header of a folder another folder does not use, included from that
#    other folder, must fail with the header not found;
#  - no engine source may step out of its folder with "../".
# Arguments: CXX, SOURCE_DIR, LAYERS_DIR, WORK_DIR.
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/cmake/MorvaneLayers.cmake)
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures 0)

function(preprocess layer header result_var output_var)
  string(MAKE_C_IDENTIFIER "${layer}_${header}" probe)
  set(file ${WORK_DIR}/${probe}.cpp)
  file(WRITE ${file} "#include \"${header}\"\n")
  execute_process(
    COMMAND ${CXX} -std=c++17 -E -I${SOURCE_DIR}/include -I${LAYERS_DIR}/${layer} ${file}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

foreach(layer IN LISTS MORVANE_LAYERS)
  if(NOT IS_DIRECTORY ${LAYERS_DIR}/${layer})
    message(SEND_ERROR "no include root for ${layer}: configure the build first")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  morvane_visible_layers(${layer} visible)
  foreach(folder IN LISTS MORVANE_LAYERS)
    file(GLOB headers RELATIVE ${SOURCE_DIR}/engine ${SOURCE_DIR}/engine/${folder}/*.h)
    list(SORT headers)
    if(folder STREQUAL layer)
      foreach(header IN LISTS headers)
        preprocess(${layer} ${header} result output)
        if(NOT result EQUAL 0)
          message(SEND_ERROR "engine/${header} does not preprocess in its own layer:\n${output}")
          math(EXPR failures "${failures} + 1")
        endif()
      endforeach()
    elseif(NOT folder IN_LIST visible AND headers)
      list(GET headers 0 header)
      preprocess(${layer} ${header} result output)
      if(result EQUAL 0 OR NOT output MATCHES "${header}: No such file")
        message(SEND_ERROR "engine/${layer} can include engine/${header}, from a folder it does not use:\n${output}")
        math(EXPR failures "${failures} + 1")
      endif()
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE sources ${SOURCE_DIR}/engine/*.h ${SOURCE_DIR}/engine/*.cpp)
foreach(source IN LISTS sources)
  file(STRINGS ${source} escapes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
  if(escapes)
    message(SEND_ERROR "${source} includes out of its folder: ${escapes}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering violation(s)")
endif()
message(STATUS "layering holds")
