// Steps that load the plug-in, create and destroy its instance and call it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

namespace {

template <typename Proc>
Proc Export(HMODULE library, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

const char* kEntryNames[] = {"newp",      "destroy",    "setwindow", "newstream", "destroystream",
                             "asfile",    "writeready", "write",     "print",     "event",
                             "urlnotify", "javaClass",  "getvalue",  "setvalue"};

}  // namespace

void Browser::Load(const Step& step) {
  auto getEntryPoints = Export<NP_GetEntryPointsFunc>(library_, "NP_GetEntryPoints");
  auto initialize = Export<NP_InitializeFunc>(library_, "NP_Initialize");
  shutdown_ = Export<NP_ShutdownFunc>(library_, "NP_Shutdown");
  if (!getEntryPoints || !initialize || !shutdown_) return Fail(step, "the library lacks an export");
  // A pattern the plug-in would never write shows which entries it filled.
  std::memset(&plugin_, 0xA5, sizeof plugin_);
  NPPluginFuncs sentinel = plugin_;
  plugin_.size = static_cast<uint16_t>(std::atoi(step.Get("plugin-size", "160").c_str()));
  plugin_.version = 27;
  const NPError entries = getEntryPoints(&plugin_);
  std::string filled;
  void** slots = reinterpret_cast<void**>(&plugin_.newp);
  void** untouched = reinterpret_cast<void**>(&sentinel.newp);
  for (size_t i = 0; i < sizeof(NPPluginFuncs) / sizeof(void*) - 1; ++i) {
    if (slots[i] != untouched[i]) {
      if (i < std::size(kEntryNames)) AppendItem(&filled, kEntryNames[i], ',');
    } else {
      slots[i] = nullptr;
    }
  }
  const uint16_t version =
      static_cast<uint16_t>(std::strtol(step.Get("browser-version", "27").c_str(), nullptr, 0));
  const int size = std::atoi(step.Get("browser-size", "448").c_str());
  if (size < 0 || static_cast<size_t>(size) > sizeof browserTable_)
    return Fail(step, "browser-size too large");
  FillBrowserTable(&browser_, static_cast<uint16_t>(size), version);
  const NPError initialized = initialize(&browser_);
  Observe("load", {{"getentrypoints", Number(entries)},
                   {"initialize", Number(initialized)},
                   {"version", Number(plugin_.version)},
                   {"filled", Quoted(filled)},
                   {"result", Number(initialized)}});
}

void Browser::DefineFunction(const Step& step) {
  if (step.words.empty()) return Fail(step, "function needs a name");
  PageFunction& function = Host().functions[step.words[0]];
  function.answer = step.Get("answer") == "fail" ? FunctionAnswer::kFail : FunctionAnswer::kSucceed;
  function.reaction = step.Get("then");
}

void Browser::Embed(const Step& step, uint16_t mode) {
  if (!plugin_.newp) return Fail(step, "the plug-in is not loaded");
  std::vector<std::pair<std::string, std::string>> attributes;
  for (const std::string& word : step.words) {
    // "*N" stands for N filler attributes, for pages with very many.
    if (word.size() > 1 && word[0] == '*') {
      const int count = std::atoi(word.c_str() + 1);
      for (int i = 1; i <= count; ++i) attributes.emplace_back("filler" + std::to_string(i), "x");
    }
  }
  // Fillers come first, then the named attributes in their order.
  std::vector<std::pair<std::string, std::string>> ordered = attributes;
  for (const auto& value : step.values) ordered.push_back(value);
  Host().hasElementId = step.Has("id");
  Host().elementId = step.Get("id");
  source_ = step.Get("src");
  OpenPage();
  const int width = std::atoi(step.Get("width", "600").c_str());
  const int height = std::atoi(step.Get("height", "400").c_str());
  const int pageWidth = std::atoi(step.Get("page-width", "1000").c_str());
  const int pageHeight = std::atoi(step.Get("page-height", "800").c_str());
  page_ = CreatePageWindow(pageWidth, pageHeight);
  Host().nativeWindow = page_;
  std::vector<char*> names, values;
  for (auto& [name, value] : ordered) {
    names.push_back(name.data());
    values.push_back(value.data());
  }
  std::string type = step.Get("type", "image/tiff");
  npp_ = NPP_t{};
  const NPError created = plugin_.newp(type.data(), &npp_, mode, static_cast<int16_t>(names.size()),
                                       names.data(), values.data(), nullptr);
  alive_ = created == NPERR_NO_ERROR;
  Fields fields = {{"new", Number(created)}, {"attributes", Number(static_cast<long long>(names.size()))}};
  if (alive_) {
    const bool full = mode == NP_FULL;
    pluginWindow_ = CreatePluginWindow(page_, 0, 0, full ? pageWidth : width, full ? pageHeight : height);
    NPWindow window{};
    window.window = pluginWindow_;
    window.width = full ? pageWidth : width;
    window.height = full ? pageHeight : height;
    window.clipRect = {0, 0, static_cast<uint16_t>(window.height), static_cast<uint16_t>(window.width)};
    window.type = NPWindowTypeWindow;
    fields.emplace_back("setwindow", Number(plugin_.setwindow(&npp_, &window)));
    Pump(0);
  }
  fields.emplace_back("result", Number(created));
  Observe(mode == NP_FULL ? "fullpage" : "embed", fields);
}

void Browser::CallPlugin(const Step& step) {
  if (!alive_ || step.words.empty()) return Fail(step, "no instance or no callback named");
  const std::string& call = step.words[0];
  const int variable = std::atoi(step.Get("variable", "0").c_str());
  Fields fields = {{"call", Quoted(call)}};
  long long result = 0;
  if (call == "getvalue") {
    NPObject* object = nullptr;
    result = plugin_.getvalue ? plugin_.getvalue(&npp_, static_cast<NPPVariable>(variable), &object) : -1;
    fields.emplace_back("object", object ? "true" : "false");
    if (object && result == NPERR_NO_ERROR && variable == NPPVpluginScriptableNPObject) {
      browser_.releaseobject(object);
    }
  } else if (call == "setvalue") {
    NPBool value = 0;
    result = plugin_.setvalue ? plugin_.setvalue(&npp_, static_cast<NPNVariable>(variable), &value) : -1;
  } else if (call == "handleevent") {
    NPEvent event{static_cast<uint16_t>(std::strtol(step.Get("message", "0x0200").c_str(), nullptr, 0)), 0,
                  0};
    result = plugin_.event(&npp_, &event);
  } else if (call == "writeready") {
    NPStream stream{};
    result = plugin_.writeready(&npp_, &stream);
  } else if (call == "print") {
    NPPrint print{};
    print.mode = step.Get("mode", "full") == "full" ? NP_FULL : NP_EMBED;
    if (print.mode == NP_EMBED && step.Has("file")) {
      // The page's print of the element: the plug-in draws into a white bitmap of its box.
      BITMAPINFO info{};
      info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                        std::atoi(step.Get("width", "600").c_str()),
                        std::atoi(step.Get("height", "400").c_str()),
                        1,
                        24,
                        BI_RGB,
                        0,
                        0,
                        0,
                        0,
                        0};
      void* bits = nullptr;
      HDC dc = CreateCompatibleDC(nullptr);
      HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (!section) return Fail(step, "no bitmap of that size");
      HGDIOBJ before = SelectObject(dc, section);
      PatBlt(dc, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, WHITENESS);
      print.print.embedPrint.window.window = dc;
      print.print.embedPrint.window.width = static_cast<uint32_t>(info.bmiHeader.biWidth);
      print.print.embedPrint.window.height = static_cast<uint32_t>(info.bmiHeader.biHeight);
      print.print.embedPrint.platformPrint = dc;
      plugin_.print(&npp_, &print);
      GdiFlush();
      if (!WriteBitmapSection(NativePath(step.Get("file"), folder_), info, bits)) Fail(step, "cannot write");
      SelectObject(dc, before);
      DeleteObject(section);
      DeleteDC(dc);
    } else {
      plugin_.print(&npp_, &print);
    }
    result = print.mode == NP_FULL ? print.print.fullPrint.pluginPrinted : 0;
  } else {
    return Fail(step, "unknown callback " + call);
  }
  fields.emplace_back("result", Number(result));
  Observe("npp", fields);
}

void Browser::Destroy() {
  if (!alive_) return;
  alive_ = false;
  NPP_t* npp = &npp_;
  const NPError destroyed = plugin_.destroy(npp, nullptr);
  Pump(0);
  if (pluginWindow_) DestroyWindow(pluginWindow_);
  if (page_) DestroyWindow(page_);
  pluginWindow_ = page_ = nullptr;
  ClosePage();
  Observe("destroy", {{"result", Number(destroyed)}, {"pdata", npp->pdata ? "true" : "false"}});
}

// Some browsers destroy the plug-in window before they detach or destroy the
// instance; the plug-in must give the window back on its own.
void Browser::DestroyWindowFirst(const Step& step) {
  if (!pluginWindow_) return Fail(step, "no plug-in window");
  WindowRemains remains;
  DestroyPluginWindow(pluginWindow_, &remains);
  pluginWindow_ = nullptr;
  Pump(0);
  Observe("destroy-window", {{"subclassed", remains.subclassed ? "true" : "false"},
                             {"properties", Quoted(remains.properties)}});
}

void Browser::Shutdown() {
  if (!shutdown_) return;
  // The page lets go of the object before the library that made it goes.
  DropScriptObject();
  const NPError result = shutdown_();
  shutdown_ = nullptr;
  plugin_ = NPPluginFuncs{};
  Observe("shutdown", {{"result", Number(result)},
                       {"objects", Number(static_cast<long long>(Host().liveObjects.size()))},
                       {"allocations", Number(Host().liveAllocations)}});
}
