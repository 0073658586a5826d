# The installer run as an administrator would ("/s" with options.txt, "/cond"),
# checked with Wine's reg tool and by nphost loading the installed copy by MIME
# type; and the 32-bit launcher from the win32 preset, run through qemu-i386
# where the processor refuses 32-bit code.
# A program that closes or counts other programs' windows from outside.
add_executable(window_closer window_closer.cpp)
target_link_options(window_closer PRIVATE -municode)
mervane_warnings(window_closer)

if(TARGET mrvinstall AND TARGET nphost AND TARGET npmrv64)
  add_test(NAME installer_silent
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/installer_silent_test.py
                   ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:mrvinstall> $<TARGET_FILE:npmrv64>
                   $<TARGET_FILE:nphost> ${CMAKE_CURRENT_SOURCE_DIR}/installed_plugin.scn
                   $<TARGET_FILE:window_closer> ${CMAKE_CURRENT_BINARY_DIR}/installer_silent)
  set_tests_properties(installer_silent PROPERTIES LABELS windows TIMEOUT 300 RESOURCE_LOCK "wine_gui;wine_registry")
endif()

# The launcher's programs come from the win32 preset's build tree.
set(MERVANE_WIN32_BUILD ${CMAKE_SOURCE_DIR}/build/win32 CACHE PATH "Build tree of the win32 preset")
add_test(NAME launcher_qemu
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/launcher_test.py
                 ${MERVANE_WIN32_BUILD}/mrvlaunch.exe
                 ${MERVANE_WIN32_BUILD}/tests/windows/launcher/mrvtiff.ocx $<TARGET_FILE:window_closer>
                 ${CMAKE_BINARY_DIR}/wineprefix-i386 ${CMAKE_CURRENT_BINARY_DIR}/launcher)
# While its binfmt handler is registered every other Wine program would start
# through qemu: nothing else runs meanwhile. The test ends itself (and
# unregisters the handler) well before ctest's limit.
set_tests_properties(launcher_qemu PROPERTIES LABELS windows TIMEOUT 1800 RUN_SERIAL ON
                     RESOURCE_LOCK "wine_gui;wine_registry")
