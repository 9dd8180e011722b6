# The engine's folders as layers. Each folder is an object library that sees
# the public headers, its own headers and the headers of the folders it uses,
# directly or through another: an include from a folder it does not use fails
# to compile ("No such file or directory"). All of them end up in the one
# shared library.
#
# The table below is the only place the layering is written down (the README
# repeats it for readers). A folder may use only folders listed before it, so
# the dependencies run one way.
#
#   folder     uses
set(MORVANE_LAYERS
    platform
    values
    image
    media
    graphics
    plugins
    frontend
    eval)
set(MORVANE_USES_platform "")
set(MORVANE_USES_values   platform)
set(MORVANE_USES_image    values)
set(MORVANE_USES_media    image)
set(MORVANE_USES_graphics image)
set(MORVANE_USES_plugins  media graphics)
set(MORVANE_USES_frontend plugins)
set(MORVANE_USES_eval     frontend)

# Every folder a layer may include from: itself and what it uses, directly
# or through another layer. Raises when a layer uses one listed after it.
function(morvane_visible_layers layer out)
  list(FIND MORVANE_LAYERS ${layer} position)
  set(visible ${layer})
  foreach(used IN LISTS MORVANE_USES_${layer})
    list(FIND MORVANE_LAYERS ${used} usedPosition)
    if(usedPosition EQUAL -1 OR NOT usedPosition LESS position)
      message(FATAL_ERROR "engine/${layer} may only use folders below it, not ${used}")
    endif()
    morvane_visible_layers(${used} below)
    list(APPEND visible ${below})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set(${out} ${visible} PARENT_SCOPE)
endfunction()

# The include root of a layer: a folder of links, one per visible engine
# folder, so that "values/MvListValue.h" resolves and "eval/MvTreeEval.h"
# does not. Made afresh at every configure.
function(morvane_layer_include_root layer out)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  file(REMOVE_RECURSE ${root})   # removes the links, never what they point to
  file(MAKE_DIRECTORY ${root})
  morvane_visible_layers(${layer} visible)
  foreach(folder IN LISTS visible)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/engine/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# One object library per folder, morvane_<folder>, built as the engine is
# (hidden visibility, -O3, link-time optimisation where enabled). A folder
# without sources yet gets no library. Sets MORVANE_LAYER_OBJECTS to the
# objects of all of them.
function(morvane_add_layers)
  set(objects "")
  foreach(layer IN LISTS MORVANE_LAYERS)
    morvane_layer_include_root(${layer} root)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/engine/${layer}/*.cpp)
    if(NOT sources)
      continue()
    endif()
    set(target morvane_${layer})
    add_library(${target} OBJECT ${sources})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/include ${root})
    target_compile_definitions(${target} PRIVATE MORVANE_BUILDING_LIBRARY)
    target_link_libraries(${target} PRIVATE Threads::Threads)
    # Calls inside the library bind to its own functions directly, not
    # through the procedure linkage table, exported ones included.
    target_compile_options(${target} PRIVATE -fno-semantic-interposition
                           $<$<CONFIG:Release,RelWithDebInfo>:-O3>)
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON)
    if(MORVANE_ENGINE_IPO)
      set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
    endif()
    list(APPEND objects $<TARGET_OBJECTS:${target}>)
  endforeach()
  # A source in a folder the table does not list (or deeper down) would be
  # left out of the library without a word: refuse it.
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/engine/*.cpp)
  foreach(source IN LISTS all)
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR}/engine ${source})
    string(REGEX MATCH "^[^/]+/[^/]+$" inFolder "${relative}")
    string(REGEX REPLACE "/.*" "" folder "${relative}")
    if(NOT inFolder OR NOT folder IN_LIST MORVANE_LAYERS)
      message(FATAL_ERROR "engine/${relative} is in no engine folder of the layering table "
                          "(cmake/MorvaneLayers.cmake)")
    endif()
  endforeach()
  set(MORVANE_LAYER_OBJECTS ${objects} PARENT_SCOPE)
endfunction()
