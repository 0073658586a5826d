# mrvlaunch.exe, the 32-bit install launcher: a small program of its own that
# needs only the platform helpers of the engine.
add_executable(mrvlaunch WIN32
  ${CMAKE_CURRENT_LIST_DIR}/launcher_main_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_copy_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_system_object_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mrvlaunch.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/mrvlaunch.rc PROPERTIES INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(mrvlaunch PRIVATE mervane_core ole32 oleaut32 user32)
target_link_options(mrvlaunch PRIVATE -static -municode)
mervane_warnings(mrvlaunch)
