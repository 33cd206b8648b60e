# aurivo_add_plugin(<name> <sources...>): the plug-in library <name>.so. It is not linked with
# the core: the program that loads it supplies the core's symbols.
function(aurivo_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE Aurivo::PlugInSdk)
endfunction()
