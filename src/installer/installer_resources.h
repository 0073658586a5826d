// Resource and control numbers of the installer, shared by its .rc file and code.
#pragma once

#define IDC_FOLDER 1003
#define IDC_CHOOSE_FOLDER 1007
#define IDC_UNINSTALL 1012
#define IDC_INTRO_TEXT 1013
#define IDC_FOLDER_LABEL 1014
#define IDM_CLOSE_SETUP 40001
