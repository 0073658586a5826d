// The structure viewer: the dump of the open document (one page's directory
// or the whole file) in a resizable dialog around a rich-edit control.
#pragma once

#include "viewer/viewer_instance.h"

void InstallTagViewerHooks(ViewerHooks* hooks);
