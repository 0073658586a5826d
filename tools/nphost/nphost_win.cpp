// nphost: a test browser for NPAPI plug-ins. It loads the plug-in library,
// runs a scenario file step by step (see README.md), prints one JSON object
// per observation on standard output, and exits with 1 when an expectation
// failed (2 when the scenario could not be run at all).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tools/nphost/bitmap_file_win.h"
#include "tools/nphost/host_runtime.h"
#include "tools/nphost/host_window_win.h"
#include "tools/nphost/json_line.h"
#include "tools/nphost/scenario.h"
#include "tools/nphost/url_fetch_win.h"

namespace {

// Fields of one observation: the name and its JSON value.
using Fields = std::vector<std::pair<std::string, std::string>>;

std::string Quoted(const std::string& text) { return JsonString(text); }

void AppendItem(std::string* list, const std::string& item, char separator) {
  if (!list->empty()) list->push_back(separator);
  list->append(item);
}

template <typename Proc>
Proc Export(HMODULE library, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
std::string Number(long long value) { return std::to_string(value); }

struct StreamOptions {
  std::string url;
  std::string mimeType = "image/tiff";
  FetchedDocument document;
  size_t block = 65536;
  std::string announce = "exact";
  long long deliver = -1;  // all
  std::string reason = "done";
  std::string midway;  // steps run after the first block
};

const char* kEntryNames[] = {"newp",      "destroy",    "setwindow", "newstream", "destroystream",
                             "asfile",    "writeready", "write",     "print",     "event",
                             "urlnotify", "javaClass",  "getvalue",  "setvalue"};

// The plug-in's temporary files go to a folder of this run only, so that a
// scenario can count them without seeing other programs' files.
class PrivateTempFolder {
 public:
  PrivateTempFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH) return;
    folder_ = std::wstring(base) + L"nphost-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    if (!CreateDirectoryW(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      folder_.clear();
      return;
    }
    SetEnvironmentVariableW(L"TMP", folder_.c_str());
    SetEnvironmentVariableW(L"TEMP", folder_.c_str());
  }
  ~PrivateTempFolder() {
    if (folder_.empty()) return;
    for (const std::wstring& name : Names(L"*")) DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::vector<std::wstring> Names(const std::wstring& pattern) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::wstring folder_;
};

class Browser {
 public:
  int Run(const std::wstring& pluginPath, const std::wstring& scenarioPath,
          const std::map<std::string, std::string>& definitions);

 private:
  void RunStep(const Step& step);
  void RunReaction(const std::string& text, int line);
  void Observe(const std::string& step, const Fields& fields);
  void Fail(const Step& step, const std::string& detail);

  void Load(const Step& step);
  void DefineFunction(const Step& step);
  void Embed(const Step& step, uint16_t mode);
  void Stream(const Step& step);
  void DeliverStream(const StreamOptions& options, const char* stepName);
  void CallPlugin(const Step& step);
  void Destroy();
  void DestroyWindowFirst(const Step& step);
  void Shutdown();
  void Input(const Step& step);
  void Capture(const Step& step);
  void Redraw(const Step& step);
  void Inspect(const Step& step);
  void ComparePictures(const Step& step);
  void Pixel(const Step& step);
  void Files(const Step& step);
  void Expect(const Step& step);
  HWND Target(const Step& step) const;
  NPError GetUrl(NPP npp, const char* url, const char* target);

  std::wstring folder_;
  PrivateTempFolder temp_;
  HMODULE library_ = nullptr;
  NP_ShutdownFunc shutdown_ = nullptr;
  NPPluginFuncs plugin_{};
  // Room for the entries late browsers add after the published table, so a
  // scenario can declare their larger size.
  struct {
    NPNetscapeFuncs funcs;
    void* laterEntries[3];
  } browserTable_{};
  NPNetscapeFuncs& browser_ = browserTable_.funcs;
  NPP_t npp_{};
  bool alive_ = false;
  HWND page_ = nullptr;
  HWND pluginWindow_ = nullptr;
  std::string source_;  // the element's src attribute
  std::deque<StreamOptions> pending_;
  std::vector<MessageBoxRecord> boxes_;
  size_t boxesChecked_ = 0;
  size_t callsChecked_ = 0;
  std::map<std::string, std::string> last_;  // fields of the last observation, unquoted
  int expectations_ = 0;
  int failures_ = 0;
  int depth_ = 0;
};

Browser* g_browser = nullptr;

std::string Unquote(const std::string& json) {
  if (json.size() >= 2 && json.front() == '"') {
    std::string out;
    for (size_t i = 1; i + 1 < json.size(); ++i) {
      if (json[i] == '\\' && i + 2 < json.size()) ++i;
      out += json[i];
    }
    return out;
  }
  return json;
}

void Browser::Observe(const std::string& step, const Fields& fields) {
  JsonLine line;
  line.Text("step", step);
  last_.clear();
  last_["step"] = step;
  for (const auto& [key, value] : fields) {
    line.Raw(key.c_str(), value);
    last_[key] = Unquote(value);
  }
  std::printf("%s\n", line.str().c_str());
  std::fflush(stdout);
}

void Browser::Fail(const Step& step, const std::string& detail) {
  ++failures_;
  JsonLine line;
  line.Text("failed", step.verb + " " + step.text).Number("line", step.line).Text("detail", detail);
  std::printf("%s\n", line.str().c_str());
  std::fflush(stdout);
}

int Browser::Run(const std::wstring& pluginPath, const std::wstring& scenarioPath,
                 const std::map<std::string, std::string>& definitions) {
  g_browser = this;
  const size_t slash = scenarioPath.find_last_of(L"\\/");
  folder_ = slash == std::wstring::npos ? L"" : scenarioPath.substr(0, slash + 1);
  std::string text;
  FetchedDocument scenario;
  std::string error;
  if (!FetchUrl(ToUtf8(scenarioPath), L"", &scenario, &error)) {
    std::fprintf(stderr, "nphost: %s\n", error.c_str());
    return 2;
  }
  std::vector<Step> steps;
  if (!SubstituteDefinitions(definitions, &scenario.body, &error) ||
      !ParseScenario(scenario.body, &steps, &error)) {
    std::fprintf(stderr, "nphost: %s\n", error.c_str());
    return 2;
  }
  library_ = LoadLibraryW(pluginPath.c_str());
  if (!library_) {
    std::fprintf(stderr, "nphost: cannot load %s (error %lu)\n", ToUtf8(pluginPath).c_str(), GetLastError());
    return 2;
  }
  Host().getUrl = [this](NPP npp, const char* url, const char* target) { return GetUrl(npp, url, target); };
  Host().onCall = [this](const PageCall& call, const PageFunction& function) {
    Fields fields = {{"function", Quoted(call.function)}};
    std::string args = "[";
    std::string list;
    for (const HostValue& arg : call.args) AppendItem(&list, ValueToJson(arg), ',');
    fields.emplace_back("args", args + list + "]");
    Observe("call", fields);
    RunReaction(function.reaction, 0);
  };
  WatchMessageBoxes([this](const MessageBoxRecord& box) {
    boxes_.push_back(box);
    Observe("messagebox", {{"text", Quoted(box.text)},
                           {"caption", Quoted(box.caption)},
                           {"icon", Quoted(box.icon)},
                           {"answer", Quoted(box.answer)}});
  });
  for (const Step& step : steps) RunStep(step);
  Destroy();
  Shutdown();
  Observe("summary", {{"expectations", Number(expectations_)}, {"failed", Number(failures_)}});
  return failures_ ? 1 : 0;
}

void Browser::RunReaction(const std::string& text, int line) {
  for (const std::string& part : SplitSteps(text)) {
    if (part.find_first_not_of(" \t") == std::string::npos) continue;
    Step step;
    std::string error;
    if (!ParseStep(part, line, &step, &error)) {
      step.verb = part;
      Fail(step, error);
      continue;
    }
    RunStep(step);
  }
}

void Browser::RunStep(const Step& step) {
  if (++depth_ > 8) {
    Fail(step, "reactions nested too deeply");
  } else if (step.verb == "load") {
    Load(step);
  } else if (step.verb == "function") {
    DefineFunction(step);
  } else if (step.verb == "embed") {
    Embed(step, NP_EMBED);
  } else if (step.verb == "fullpage") {
    Embed(step, NP_FULL);
  } else if (step.verb == "stream") {
    Stream(step);
  } else if (step.verb == "npp") {
    CallPlugin(step);
  } else if (step.verb == "idle") {
    Pump(std::atoi(step.Get("ms", "0").c_str()));
    while (!pending_.empty()) {
      StreamOptions options = pending_.front();
      pending_.pop_front();
      DeliverStream(options, "geturl-stream");
    }
  } else if (step.verb == "key" || step.verb == "mouse" || step.verb == "wheel") {
    Input(step);
  } else if (step.verb == "capture") {
    Capture(step);
  } else if (step.verb == "redraw") {
    Redraw(step);
  } else if (step.verb == "inspect") {
    Inspect(step);
  } else if (step.verb == "compare") {
    ComparePictures(step);
  } else if (step.verb == "pixel") {
    Pixel(step);
  } else if (step.verb == "files") {
    Files(step);
  } else if (step.verb == "answer") {
    SetMessageBoxAnswer(step.words.empty() ? "default" : step.words[0]);
    WhileNextMessageBoxIsOpen(nullptr);
    if (step.Has("then")) {
      const std::string steps = step.Get("then");
      const int line = step.line;
      WhileNextMessageBoxIsOpen([this, steps, line]() { RunReaction(steps, line); });
    }
  } else if (step.verb == "destroy") {
    Destroy();
  } else if (step.verb == "destroy-window") {
    DestroyWindowFirst(step);
  } else if (step.verb == "shutdown") {
    Shutdown();
  } else if (step.verb == "expect") {
    Expect(step);
  } else {
    Fail(step, "unknown step");
  }
  --depth_;
}

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

void Browser::Stream(const Step& step) {
  if (!alive_) return Fail(step, "no instance");
  StreamOptions options;
  const std::string file = step.Get("file", source_);
  std::string error;
  if (!FetchUrl(file, folder_, &options.document, &error)) return Fail(step, error);
  options.url = step.Get("url", file);
  options.mimeType = step.Get("mime", options.document.mimeType);
  options.block = static_cast<size_t>(std::atoll(step.Get("block", "65536").c_str()));
  if (options.block == 0) options.block = 1;
  options.announce = step.Get("announce", "exact");
  options.deliver = std::atoll(step.Get("deliver", "-1").c_str());
  options.reason = step.Get("reason", "done");
  options.midway = step.Get("midway");
  DeliverStream(options, "stream");
}

void Browser::DeliverStream(const StreamOptions& options, const char* stepName) {
  const std::string& data = options.document.body;
  const size_t delivered =
      options.deliver < 0 ? data.size() : std::min(data.size(), static_cast<size_t>(options.deliver));
  uint32_t announced = static_cast<uint32_t>(delivered);
  if (options.announce == "unknown") {
    announced = 0;
  } else if (options.announce == "shorter") {
    announced = static_cast<uint32_t>(delivered - 1);
  } else if (options.announce == "longer") {
    announced = static_cast<uint32_t>(delivered + 1);
  } else if (options.announce != "exact") {
    announced = static_cast<uint32_t>(std::strtoull(options.announce.c_str(), nullptr, 10));
  }
  NPStream stream{};
  stream.url = options.url.c_str();
  stream.end = announced;
  stream.headers = options.document.headers.empty() ? nullptr : options.document.headers.c_str();
  std::string mime = options.mimeType;
  uint16_t stype = NP_NORMAL;
  const NPError opened = plugin_.newstream(&npp_, mime.data(), &stream, 0, &stype);
  Fields fields = {{"url", Quoted(options.url)},
                   {"announced", Number(announced)},
                   {"newstream", Number(opened)},
                   {"stype", Number(stype)}};
  if (opened == NPERR_NO_ERROR) {
    std::vector<int32_t> readies;
    auto noteReady = [&]() {
      const int32_t ready = plugin_.writeready(&npp_, &stream);
      if (std::find(readies.begin(), readies.end(), ready) == readies.end()) readies.push_back(ready);
      return ready;
    };
    size_t offset = 0, consumed = 0, refused = 0, blocks = 0;
    NPReason reason = options.reason == "network-error" ? NPRES_NETWORK_ERR
                      : options.reason == "user-break"  ? NPRES_USER_BREAK
                                                        : NPRES_DONE;
    bool aborted = false;
    while (offset < delivered && alive_) {
      noteReady();
      const size_t length = std::min(options.block, delivered - offset);
      // Each block is offered once; what the plug-in does not take is counted.
      const int32_t taken =
          plugin_.write(&npp_, &stream, static_cast<int32_t>(offset), static_cast<int32_t>(length),
                        const_cast<char*>(data.data() + offset));
      ++blocks;
      if (taken < 0) {
        aborted = true;
        reason = NPRES_NETWORK_ERR;
        break;
      }
      consumed += std::min(static_cast<size_t>(taken), length);
      refused += length - std::min(static_cast<size_t>(taken), length);
      offset += length;
      Pump(0);
      if (blocks == 1 && !options.midway.empty()) RunReaction(options.midway, 0);
    }
    noteReady();
    std::string readyList;
    for (int32_t r : readies) AppendItem(&readyList, std::to_string(r), ',');
    fields.emplace_back("writeready", Quoted(readyList));
    fields.emplace_back("blocks", Number(static_cast<long long>(blocks)));
    fields.emplace_back("consumed", Number(static_cast<long long>(consumed)));
    fields.emplace_back("refused", Number(static_cast<long long>(refused)));
    fields.emplace_back("aborted", aborted ? "true" : "false");
    fields.emplace_back("reason", Number(reason));
    fields.emplace_back("destroystream", Number(plugin_.destroystream(&npp_, &stream, reason)));
    Pump(0);
  }
  fields.emplace_back("result", Number(opened));
  Observe(stepName, fields);
}

NPError Browser::GetUrl(NPP npp, const char* url, const char* target) {
  if (npp != &npp_ || !url) return NPERR_INVALID_PARAM;
  StreamOptions options;
  std::string error;
  const bool toPlugin = target == nullptr;
  NPError result = NPERR_NO_ERROR;
  if (toPlugin && !FetchUrl(url, folder_, &options.document, &error)) result = NPERR_GENERIC_ERROR;
  Observe("geturl",
          {{"url", Quoted(url)}, {"target", target ? Quoted(target) : "null"}, {"result", Number(result)}});
  if (toPlugin && result == NPERR_NO_ERROR) {
    options.url = url;
    options.mimeType = options.document.mimeType;
    pending_.push_back(options);
  }
  return result;
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
    plugin_.print(&npp_, &print);
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
  const NPError result = shutdown_();
  shutdown_ = nullptr;
  plugin_ = NPPluginFuncs{};
  Observe("shutdown", {{"result", Number(result)},
                       {"objects", Number(static_cast<long long>(Host().liveObjects.size()))},
                       {"allocations", Number(Host().liveAllocations)}});
}

void Browser::Input(const Step& step) {
  if (!pluginWindow_) return Fail(step, "no plug-in window");
  Modifiers modifiers;
  std::string key = step.words.empty() ? std::string() : step.words[0];
  for (const std::string& word : step.words) {
    if (word == "ctrl") modifiers.ctrl = true;
    if (word == "shift") modifiers.shift = true;
    if (word == "alt") modifiers.alt = true;
  }
  // Keys are written "ctrl+pagedown"; the last part is the key.
  if (step.verb == "key") {
    size_t plus;
    while ((plus = key.find('+')) != std::string::npos && plus + 1 < key.size()) {
      const std::string modifier = key.substr(0, plus);
      modifiers.ctrl |= modifier == "ctrl";
      modifiers.shift |= modifier == "shift";
      modifiers.alt |= modifier == "alt";
      key = key.substr(plus + 1);
    }
    if (!SendKey(pluginWindow_, key, modifiers)) return Fail(step, "unknown key " + key);
    return Observe("key", {{"key", Quoted(step.words.empty() ? "" : step.words[0])}});
  }
  POINT point = {std::atoi(step.Get("x", "10").c_str()), std::atoi(step.Get("y", "10").c_str())};
  if (step.verb == "mouse") {
    SendMouse(pluginWindow_, point, step.Get("button", "left"), step.Get("action", "click"), modifiers);
  } else {
    SendWheel(pluginWindow_, point, std::atoi(step.Get("notches", "-1").c_str()), modifiers);
  }
  Observe(step.verb, {{"x", Number(point.x)}, {"y", Number(point.y)}});
}

HWND Browser::Target(const Step& step) const {
  if (step.HasWord("window")) return page_;
  if (step.Has("class"))
    return pluginWindow_ ? FindDescendant(pluginWindow_, FromUtf8(step.Get("class"))) : nullptr;
  return pluginWindow_;
}

void Browser::Capture(const Step& step) {
  HWND target = Target(step);
  const std::string file = step.Get("file");
  if (file.empty()) return Fail(step, "capture needs file=");
  int width = 0, height = 0;
  if (!CaptureClientArea(target, NativePath(file, folder_), &width, &height)) {
    return Fail(step, "no such window, or the capture failed");
  }
  Observe("capture", {{"file", Quoted(file)}, {"width", Number(width)}, {"height", Number(height)}});
}

void Browser::Redraw(const Step& step) {
  HWND target = Target(step);
  if (!target) return Fail(step, "no such window");
  RedrawAll(target);
  Observe("redraw", {});
}

void Browser::Inspect(const Step& step) {
  HWND target = Target(step);
  if (!target) return Observe("inspect", {{"exists", "false"}});
  Pump(0);
  WindowFacts facts;
  InspectWindow(target, &facts);
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  Observe("inspect", {{"exists", "true"},
                      {"text", Quoted(ToUtf8(facts.text))},
                      {"visible", flag(facts.visible)},
                      {"width", Number(facts.width)},
                      {"height", Number(facts.height)},
                      {"hbar", flag(facts.horizontal.shown)},
                      {"hpos", Number(facts.horizontal.position)},
                      {"hmax", Number(facts.horizontal.maximum)},
                      {"hpage", Number(facts.horizontal.page)},
                      {"vbar", flag(facts.vertical.shown)},
                      {"vpos", Number(facts.vertical.position)},
                      {"vmax", Number(facts.vertical.maximum)},
                      {"vpage", Number(facts.vertical.page)}});
}

void Browser::ComparePictures(const Step& step) {
  RgbImage picture, reference;
  if (!ReadBitmapFile(NativePath(step.Get("file"), folder_), &picture))
    return Fail(step, "cannot read file=");
  if (!ReadBitmapFile(NativePath(step.Get("reference"), folder_), &reference)) {
    return Fail(step, "cannot read reference=");
  }
  const int x = std::atoi(step.Get("x", "0").c_str()), y = std::atoi(step.Get("y", "0").c_str());
  Comparison result;
  if (!CompareAt(picture, reference, x, y, &result)) {
    return Fail(step, "the reference (" + Number(reference.width) + " x " + Number(reference.height) +
                          ") does not fit into the picture (" + Number(picture.width) + " x " +
                          Number(picture.height) + ") there");
  }
  const std::string first = result.differing ? Number(result.firstX) + "," + Number(result.firstY) : "none";
  Observe("compare", {{"width", Number(reference.width)},
                      {"height", Number(reference.height)},
                      {"differing", Number(result.differing)},
                      {"first", Quoted(first)}});
}

void Browser::Pixel(const Step& step) {
  RgbImage picture;
  if (!ReadBitmapFile(NativePath(step.Get("file"), folder_), &picture))
    return Fail(step, "cannot read file=");
  const int x = std::atoi(step.Get("x", "0").c_str()), y = std::atoi(step.Get("y", "0").c_str());
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return Fail(step, "the point is outside");
  Observe("pixel", {{"x", Number(x)}, {"y", Number(y)}, {"colour", Quoted(ColourText(picture.At(x, y)))}});
}

void Browser::Files(const Step& step) {
  std::string names;
  const std::vector<std::wstring> found = temp_.Names(FromUtf8(step.Get("pattern", "*")));
  for (const std::wstring& name : found) AppendItem(&names, ToUtf8(name), ',');
  Observe("files", {{"count", Number(static_cast<long long>(found.size()))}, {"names", Quoted(names)}});
}

void Browser::Expect(const Step& step) {
  ++expectations_;
  const std::string kind = step.words.empty() ? std::string() : step.words[0];
  if (kind == "calls") {
    // The page calls since the previous "expect calls", written as
    // name(arguments as JSON) separated by blanks.
    std::string seen;
    const auto& calls = Host().calls;
    for (size_t i = callsChecked_; i < calls.size(); ++i) {
      std::string args;
      for (const HostValue& arg : calls[i].args) AppendItem(&args, ValueToJson(arg), ',');
      AppendItem(&seen, calls[i].function + "(" + args + ")", ' ');
    }
    callsChecked_ = calls.size();
    const std::string wanted =
        step.text.size() > 5 ? step.text.substr(step.text.find_first_not_of(' ', 5)) : "";
    if (seen != wanted) Fail(step, "calls were: " + (seen.empty() ? std::string("none") : seen));
    return;
  }
  if (kind == "messagebox") {
    if (boxesChecked_ >= boxes_.size()) return Fail(step, "no message box was shown");
    const MessageBoxRecord& box = boxes_[boxesChecked_++];
    if (step.Has("text") && step.Get("text") != box.text) Fail(step, "text was: " + box.text);
    if (step.Has("caption") && step.Get("caption") != box.caption) Fail(step, "caption was: " + box.caption);
    if (step.Has("icon") && step.Get("icon") != box.icon) Fail(step, "icon was: " + box.icon);
    return;
  }
  if (kind == "no-messagebox") {
    if (boxesChecked_ < boxes_.size()) Fail(step, "a message box was shown: " + boxes_[boxesChecked_].text);
    boxesChecked_ = boxes_.size();
    return;
  }
  // Fields of the last observation.
  for (const auto& [key, value] : step.values) {
    auto found = last_.find(key);
    if (found == last_.end()) {
      Fail(step, "the last observation (" + last_["step"] + ") has no field " + key);
    } else if (found->second != value) {
      Fail(step, key + " was " + found->second);
    }
  }
  if (step.values.empty()) Fail(step, "nothing to expect");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring plugin;
  std::wstring scenario;
  std::map<std::string, std::string> definitions;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--plugin" && i + 1 < argc) {
      plugin = NativePath(ToUtf8(argv[++i]), L"");
    } else if (arg == L"--define" && i + 1 < argc) {
      const std::string definition = ToUtf8(argv[++i]);
      const size_t equals = definition.find('=');
      if (equals == std::string::npos || equals == 0) {
        std::fprintf(stderr, "nphost: --define wants NAME=VALUE, not %s\n", definition.c_str());
        return 2;
      }
      definitions[definition.substr(0, equals)] = definition.substr(equals + 1);
    } else {
      scenario = NativePath(ToUtf8(arg), L"");
    }
  }
  if (plugin.empty() || scenario.empty()) {
    std::fprintf(stderr, "usage: nphost --plugin PLUGIN.dll [--define NAME=VALUE]... SCENARIO\n");
    return 2;
  }
  Browser browser;
  return browser.Run(plugin, scenario, definitions);
}
