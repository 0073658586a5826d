// Sending the document by e-mail: written into a fresh temporary folder and
// handed to the user's mail program through Simple MAPI, loaded at run time.
#pragma once

#include "viewer/viewer_instance.h"

void InstallMailHooks(ViewerHooks* hooks);
