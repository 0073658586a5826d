// The information dialog (the report on the viewer, the file, the page and
// the machine) and the error-log dialog (the instance's two logs).
#pragma once

#include "viewer/viewer_instance.h"

void InstallReportDialogHooks(ViewerHooks* hooks);
