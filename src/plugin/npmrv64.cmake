# npmrv64.dll, the browser plug-in: the exports over the engine and the Win32
# modules, linked statically so that it imports system DLLs only. The .def
# file names the exports without decoration and exports nothing else.
add_library(npmrv64 SHARED
  ${CMAKE_CURRENT_SOURCE_DIR}/plugin/exports_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/npmrv64.rc
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/npmrv64.def)
set_target_properties(npmrv64 PROPERTIES PREFIX "" OUTPUT_NAME npmrv64)
mervane_add_cursors(npmrv64)
mervane_add_toolbar_art(npmrv64)
target_link_libraries(npmrv64 PRIVATE mervane_core)
if(TARGET mervane_win)
  target_link_libraries(npmrv64 PRIVATE mervane_win)
endif()
target_link_options(npmrv64 PRIVATE -static)
mervane_warnings(npmrv64)
target_sources(npmrv64 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources/menu.rc)
target_sources(npmrv64 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources/tag_viewer.rc)
target_sources(npmrv64 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources/dialogs.rc)
