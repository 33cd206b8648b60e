# find_package(AurivoPlugIn): the installed SDK headers as Aurivo::PlugInSdk, and
# aurivo_add_plugin() to build a plug-in library against them.
get_filename_component(_aurivo_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET Aurivo::PlugInSdk)
  add_library(Aurivo::PlugInSdk INTERFACE IMPORTED)
  set_target_properties(Aurivo::PlugInSdk PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_aurivo_prefix}/include;${_aurivo_prefix}/include/aurivo"
    INTERFACE_COMPILE_FEATURES cxx_std_20)
endif()
include("${CMAKE_CURRENT_LIST_DIR}/AurivoPlugInFunctions.cmake")
