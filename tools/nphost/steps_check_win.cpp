// Steps that answer message boxes, count temporary files and check what was observed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

void Browser::Answer(const Step& step) {
  SetMessageBoxAnswer(step.words.empty() ? "default" : step.words[0]);
  WhileNextMessageBoxIsOpen(nullptr);
  if (step.Has("then")) {
    const std::string steps = step.Get("then");
    const int line = step.line;
    WhileNextMessageBoxIsOpen([this, steps, line]() { RunReaction(steps, line); });
  }
}

void Browser::Files(const Step& step) {
  std::string names;
  const std::vector<std::wstring> found = temp_.Names(FromUtf8(step.Get("pattern", "*")));
  for (const std::wstring& name : found) AppendItem(&names, ToUtf8(name), ',');
  Observe("files", {{"count", Number(static_cast<long long>(found.size()))}, {"names", Quoted(names)}});
}

void Browser::SameBytes(const Step& step) {
  auto read = [this](const std::string& name, std::string* bytes) {
    // Names may use the environment, as %APPDATA% for the user's own folders.
    wchar_t expanded[1024];
    if (!ExpandEnvironmentStringsW(FromUtf8(name).c_str(), expanded, 1024)) return false;
    FILE* f = _wfopen(NativePath(ToUtf8(expanded), folder_).c_str(), L"rb");
    if (!f) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) bytes->append(buffer, n);
    std::fclose(f);
    return true;
  };
  std::string a, b;
  const bool both = read(step.Get("file"), &a) && read(step.Get("reference"), &b);
  Observe("same", {{"exists", both ? "true" : "false"},
                   {"same", both && a == b ? "true" : "false"},
                   {"size", Number(static_cast<long long>(a.size()))}});
}

void Browser::ReadText(const Step& step) {
  wchar_t expanded[1024];
  if (!ExpandEnvironmentStringsW(FromUtf8(step.Get("file")).c_str(), expanded, 1024))
    return Fail(step, "bad name");
  std::string text;
  FILE* f = _wfopen(NativePath(ToUtf8(expanded), folder_).c_str(), L"rb");
  if (f) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  Observe("read", {{"exists", f ? "true" : "false"}, {"text", Quoted(text)}});
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
  if (kind == "menu" || kind == "dialog") {
    const bool menu = kind == "menu";
    if ((menu ? menusChecked_ : dialogsChecked_) >= (menu ? menus_ : dialogs_).size())
      return Fail(step, "no " + kind + " was shown");
    const Fields& seen = (menu ? menus_ : dialogs_).back();
    for (const auto& [key, value] : step.values) {
      auto found =
          std::find_if(seen.begin(), seen.end(), [&](const auto& field) { return field.first == key; });
      if (found == seen.end()) {
        Fail(step, "the " + kind + " has no field " + key);
      } else if (found->second != value) {
        Fail(step, key + " was " + found->second);
      }
    }
    return;
  }
  if (kind == "no-menu") {
    if (menusChecked_ < menus_.size()) Fail(step, "a menu was shown");
    return;
  }
  if (kind == "geturl") {
    if (urlsChecked_ >= urls_.size()) return Fail(step, "no address was asked for");
    const auto& [url, target] = urls_[urlsChecked_++];
    if (step.Has("url") && step.Get("url") != url) Fail(step, "url was: " + url);
    if (step.Has("target") && step.Get("target") != target) Fail(step, "target was: " + target);
    return;
  }
  if (kind == "no-geturl") {
    if (urlsChecked_ < urls_.size()) Fail(step, "an address was asked for: " + urls_[urlsChecked_].first);
    urlsChecked_ = urls_.size();
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
