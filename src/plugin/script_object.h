// The object a page's scripts hold for each viewer: its class, built once per
// process, and the link between the object and its instance. The object may
// outlive the instance; from then on every call on it fails cleanly.
#pragma once

#include "plugin/npapi.h"

struct ViewerInstance;

// The object: the browser's header followed by the instance it drives, null
// once the instance is gone.
struct ViewerScriptObject {
  NPObject header;
  ViewerInstance* viewer;
};

// The class, zero-filled from calloc (as SetScriptClass frees it); null when
// memory ran out.
NPClass* MakeScriptClass();
// The instance is going: its object, when it has one, stops reaching it.
void DetachScriptObject(ViewerInstance* viewer);
// Forgets the fetched identifiers, for a browser loaded anew.
void ForgetMethodIdentifiers();
