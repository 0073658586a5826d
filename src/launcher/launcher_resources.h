// Resource numbers of the install launcher.
#pragma once

#define IDS_NOT_FOUND 1
#define IDC_INSTALL_OCX 1001
