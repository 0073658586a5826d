// Upload: the document, its marks merged, sent to the page's address as a
// multipart/form-data POST over WinInet, loaded for each upload.
#pragma once

#include "viewer/viewer_instance.h"

void InstallUploadHook(ViewerHooks* hooks);
