// nphost: a test browser for NPAPI plug-ins. It loads the plug-in library,
// runs a scenario file step by step (see README.md), prints one JSON object
// per observation on standard output, and exits with 1 when an expectation
// failed (2 when the scenario could not be run at all).
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tools/nphost/plugin_lookup_win.h"
#include "tools/nphost/test_browser_win.h"

namespace {

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

struct Verb {
  const char* name;
  void (Browser::*run)(const Step& step);
};

const Verb kVerbs[] = {
    {"load", &Browser::Load},
    {"function", &Browser::DefineFunction},
    {"embed", &Browser::EmbedStep},
    {"fullpage", &Browser::FullPageStep},
    {"stream", &Browser::Stream},
    {"npp", &Browser::CallPlugin},
    {"idle", &Browser::Idle},
    {"key", &Browser::Input},
    {"mouse", &Browser::Input},
    {"wheel", &Browser::Input},
    {"capture", &Browser::Capture},
    {"redraw", &Browser::Redraw},
    {"inspect", &Browser::Inspect},
    {"focus", &Browser::Focus},
    {"compare", &Browser::ComparePictures},
    {"pixel", &Browser::Pixel},
    {"files", &Browser::Files},
    {"answer", &Browser::Answer},
    {"destroy", &Browser::DestroyStep},
    {"destroy-window", &Browser::DestroyWindowFirst},
    {"shutdown", &Browser::ShutdownStep},
    {"expect", &Browser::Expect},
    {"invoke", &Browser::InvokeMethod},
    {"release-object", &Browser::ReleaseScriptObject},
    {"setting", &Browser::Setting},
    {"time-pointer", &Browser::TimePointer},
    {"menu", &Browser::Menu},
    {"dialog", &Browser::Dialog},
    {"clipboard", &Browser::Clipboard},
    {"same", &Browser::SameBytes},
    {"read", &Browser::ReadText},
    {"registry", &Browser::Registry},
};

}  // namespace

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
  KeepUpdateChecksOff(steps);
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
  // Steps may move the system's pointer; the programs after this one find it where it was.
  POINT pointer = {};
  const bool pointerKnown = GetCursorPos(&pointer) != FALSE;
  for (const Step& step : steps) RunStep(step);
  Destroy();
  Shutdown();
  if (pointerKnown) SetCursorPos(pointer.x, pointer.y);
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
    --depth_;
    return;
  }
  const Verb* verb = nullptr;
  for (const Verb& candidate : kVerbs) {
    if (step.verb == candidate.name) verb = &candidate;
  }
  if (verb) {
    (this->*verb->run)(step);
  } else {
    Fail(step, "unknown step");
  }
  --depth_;
}

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--clipboard-helper")
    return RunClipboardHelper(argc - 2, argv + 2);
  std::wstring plugin;
  std::wstring scenario;
  std::map<std::string, std::string> definitions;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--plugin" && i + 1 < argc) {
      plugin = NativePath(ToUtf8(argv[++i]), L"");
    } else if (arg == L"--mime" && i + 1 < argc) {
      if (!FindRegisteredPlugin(argv[++i], &plugin)) return 2;
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
    std::fprintf(stderr,
                 "usage: nphost (--plugin PLUGIN.dll | --mime TYPE) [--define NAME=VALUE]... SCENARIO\n");
    return 2;
  }
  Browser browser;
  return browser.Run(plugin, scenario, definitions);
}
