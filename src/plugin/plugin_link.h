// What the browser boundary keeps in each viewer instance for itself.
#pragma once

#include <cstdint>

struct NPObject;
struct NPStream;

struct PluginLink {
  NPObject* scriptObject = nullptr;   // cached, without a reference of its own
  NPStream* awaitedStream = nullptr;  // the stream a script-requested download arrives on
  int32_t inEvent = 0;                // a page's event handler is running
  int32_t readyAttempted = 0;         // mvtf_OnReady was tried for this instance
};
