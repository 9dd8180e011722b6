# The plug-ins that ship with morvane. morvane_add_default_plugin(target)
# puts the module in the plugins/ folder beside the built morvane executable,
# where the host finds it when run from the build tree, and installs it in
# the folder the installed host searches (lib/morvane/plugins under the
# installation's library folder).
include(GNUInstallDirs)

set(MORVANE_DEFAULT_PLUGIN_DIR ${CMAKE_BINARY_DIR}/tools/morvane/plugins)

function(morvane_add_default_plugin target)
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${MORVANE_DEFAULT_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  install(TARGETS ${target}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/morvane/plugins)
endfunction()
