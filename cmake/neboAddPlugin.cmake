# nebo_add_plugin(NAME SOURCE...) builds NAME.so (NAME.dll on Windows), a
# plugin library that nebo_slave can load: a module that nothing links to,
# named without the "lib" prefix, linked to nebo::nebo. A host finds it in
# its plugin folders: beside the host program, in a folder that
# NEBO_PLUGIN_PATH names, or in the installed plugin folder
# (NEBO_PLUGIN_INSTALL_DIR of the package).
function(nebo_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE nebo::nebo)
endfunction()
