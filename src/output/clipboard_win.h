// Copying to the Windows clipboard: the current page as CF_DIB and addresses
// as CF_UNICODETEXT.
#pragma once

#include "viewer/viewer_instance.h"

void InstallClipboardHooks(ViewerHooks* hooks);
