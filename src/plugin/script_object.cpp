#include "plugin/script_object.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin/script_methods.h"
#include "viewer/viewer_instance.h"

namespace {

struct MethodIdentifiers {
  NPIdentifier ids[kScriptMethodCount] = {};
  int fetched = 0;
};
MethodIdentifiers g_identifiers;

// Fetched on first use rather than at start: a browser may hand out
// identifiers only once a page exists. A failure is tried again next time.
int FetchIdentifiers() {
  if (g_identifiers.fetched) return 1;
  const NPNetscapeFuncs& b = Browser();
  if (!b.getstringidentifiers) return 0;
  const NPUTF8* names[kScriptMethodCount];
  for (int i = 0; i < kScriptMethodCount; ++i) names[i] = kScriptMethods[i].name;
  b.getstringidentifiers(names, kScriptMethodCount, g_identifiers.ids);
  g_identifiers.fetched = 1;
  return 1;
}

int32_t MethodIndex(NPIdentifier name) {
  for (int32_t i = 0; i < kScriptMethodCount; ++i) {
    if (g_identifiers.ids[i] == name) return i;
  }
  return -1;
}

ViewerScriptObject* AsViewerObject(NPObject* object) { return reinterpret_cast<ViewerScriptObject*>(object); }

NPObject* Allocate(NPP npp, NPClass*) {
  auto* object = static_cast<ViewerScriptObject*>(std::calloc(1, sizeof(ViewerScriptObject)));
  if (!object) return nullptr;
  object->viewer = npp ? static_cast<ViewerInstance*>(npp->pdata) : nullptr;
  return &object->header;
}

void Deallocate(NPObject* npobj) {
  ViewerScriptObject* object = AsViewerObject(npobj);
  if (!object) return;
  if (object->viewer) {
    PluginLink* link = PluginLinkOf(object->viewer);
    if (link->scriptObject == npobj) link->scriptObject = nullptr;
  }
  std::free(object);
}

void Invalidate(NPObject*) {}

bool HasMethod(NPObject*, NPIdentifier name) { return FetchIdentifiers() && name && MethodIndex(name) >= 0; }

bool Invoke(NPObject* npobj, NPIdentifier name, const NPVariant* args, uint32_t argCount, NPVariant* result) {
  if (!FetchIdentifiers() || !npobj || !result) return false;
  ViewerInstance* viewer = AsViewerObject(npobj)->viewer;
  if (!viewer) return false;
  result->type = NPVariantType_Int32;
  result->value.intValue = 0;
  // A page without permission sees every method answer 0 and cannot tell them apart.
  if (!ScriptingAllowed(viewer)) return true;
  const int32_t index = name ? MethodIndex(name) : -1;
  // The instance stays while the method runs, even when the browser destroys
  // it from inside one of our message loops.
  InstanceCall call(viewer);
  return RunScriptMethod(viewer, index, args, argCount, result) != 0;
}

bool NoDefault(NPObject*, const NPVariant*, uint32_t, NPVariant*) { return false; }
bool NoProperty(NPObject*, NPIdentifier) { return false; }
bool NoGetProperty(NPObject*, NPIdentifier, NPVariant*) { return false; }
bool NoSetProperty(NPObject*, NPIdentifier, const NPVariant*) { return false; }

bool Enumerate(NPObject* npobj, NPIdentifier** value, uint32_t* count) {
  if (!npobj || !value || !count || !AsViewerObject(npobj)->viewer || !FetchIdentifiers()) return false;
  constexpr uint32_t kBytes = sizeof(NPIdentifier) * kScriptMethodCount;
  auto* ids = static_cast<NPIdentifier*>(BrowserAllocate(kBytes));
  if (!ids) return false;
  std::memcpy(ids, g_identifiers.ids, kBytes);
  *value = ids;
  *count = kScriptMethodCount;
  return true;
}

}  // namespace

NPClass* MakeScriptClass() {
  auto* scriptClass = static_cast<NPClass*>(std::calloc(1, sizeof(NPClass)));
  if (!scriptClass) return nullptr;
  scriptClass->structVersion = NP_CLASS_STRUCT_VERSION_ENUM;
  scriptClass->allocate = Allocate;
  scriptClass->deallocate = Deallocate;
  scriptClass->invalidate = Invalidate;
  scriptClass->hasMethod = HasMethod;
  scriptClass->invoke = Invoke;
  scriptClass->invokeDefault = NoDefault;
  scriptClass->hasProperty = NoProperty;
  scriptClass->getProperty = NoGetProperty;
  scriptClass->setProperty = NoSetProperty;
  scriptClass->removeProperty = NoProperty;
  scriptClass->enumerate = Enumerate;
  return scriptClass;
}

void DetachScriptObject(ViewerInstance* viewer) {
  PluginLink* link = PluginLinkOf(viewer);
  if (link->scriptObject) AsViewerObject(link->scriptObject)->viewer = nullptr;
  link->scriptObject = nullptr;
}

void ForgetMethodIdentifiers() { g_identifiers = MethodIdentifiers{}; }
