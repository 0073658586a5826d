# mrvinstall.exe, the installer: its Win32 parts form a library that the
# program and the Windows tests share; the icon is drawn at build time.
add_library(mrvinstall_parts STATIC
  ${CMAKE_CURRENT_LIST_DIR}/setup_common_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_dialog_win.cpp)
target_link_libraries(mrvinstall_parts PUBLIC mervane_win advapi32 shell32 ole32 user32)
mervane_warnings(mrvinstall_parts)

set(installer_icon ${CMAKE_BINARY_DIR}/installer/mrvinstall.ico)
add_custom_command(OUTPUT ${installer_icon}
                   COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_installer_icon.py ${installer_icon}
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_installer_icon.py
                   COMMENT "Drawing the installer's icon")
set(installer_rc ${CMAKE_CURRENT_LIST_DIR}/mrvinstall.rc)
set_source_files_properties(${installer_rc} PROPERTIES
                            OBJECT_DEPENDS "${installer_icon};${CMAKE_CURRENT_LIST_DIR}/mrvinstall.manifest"
                            INCLUDE_DIRECTORIES "${CMAKE_BINARY_DIR}/installer;${CMAKE_CURRENT_LIST_DIR};${CMAKE_SOURCE_DIR}/src")
add_executable(mrvinstall WIN32 ${CMAKE_CURRENT_LIST_DIR}/installer_main_win.cpp ${installer_rc})
target_link_libraries(mrvinstall PRIVATE mrvinstall_parts)
target_link_options(mrvinstall PRIVATE -static -municode)
mervane_warnings(mrvinstall)
