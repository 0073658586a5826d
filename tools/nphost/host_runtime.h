// The scripting runtime and browser services nphost offers a plug-in: string
// and integer identifiers, objects with reference counts, variants, browser
// memory, and a page with a window object and one plug-in element. It needs
// no window system, so the engine's unit tests use it as their browser too.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "plugin/npapi.h"

// A script value as the page sees it.
struct HostValue {
  NPVariantType type = NPVariantType_Void;
  bool boolValue = false;
  int32_t intValue = 0;
  double doubleValue = 0;
  std::string text;  // strings; for objects, a description
};

HostValue ValueOf(const NPVariant& variant);
std::string ValueToJson(const HostValue& value);

// How a page function answers when the plug-in calls it.
enum class FunctionAnswer { kSucceed, kFail };

struct PageFunction {
  FunctionAnswer answer = FunctionAnswer::kSucceed;
  // Run while the call is in progress, before it answers.
  std::string reaction;
};

struct PageCall {
  std::string function;
  std::vector<HostValue> args;
};

struct HostRuntime {
  // The page
  std::map<std::string, PageFunction> functions;
  bool hasElementId = false;
  std::string elementId;
  std::vector<PageCall> calls;
  std::function<void(const PageCall&, const PageFunction&)> onCall;

  // Services that need the window system, given by the host program.
  std::function<NPError(NPP, const char* url, const char* target)> getUrl;
  void* nativeWindow = nullptr;
  std::string userAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) nphost/1.0";
  // Every service call the plug-in makes, by table entry name.
  std::function<void(const char* service)> onService;

  // Book-keeping the tests read.
  int64_t liveAllocations = 0;
  std::set<NPObject*> liveObjects;
  NPObject* windowObject = nullptr;
  NPObject* elementObject = nullptr;
};

// The one runtime of the process: browser services carry no context.
HostRuntime& Host();
// Empties the page and the records, releasing the page's objects.
void ResetHost();
// Creates the window and element objects for a new page.
void OpenPage();
void ClosePage();

// Fills a full browser table with our services; `size` is what the table
// declares. Entries past `size` stay as they are.
void FillBrowserTable(NPNetscapeFuncs* table, uint16_t size, uint16_t version);

// Browser services for the host's own use.
NPIdentifier HostIdentifier(const char* name);
std::string IdentifierName(NPIdentifier identifier);
void* HostAllocate(uint32_t size);
void HostFree(void* memory);
// A string variant in browser memory.
NPVariant HostString(const std::string& text);
void HostReleaseVariant(NPVariant* variant);
uint32_t ReferenceCount(NPObject* object);
