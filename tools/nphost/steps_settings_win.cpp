// The user's settings as the plug-in reads and writes them in the registry:
// a scenario sets them before it embeds the plug-in and reads back what the
// plug-in stored. Every value a scenario named is removed again when nphost
// ends, so that one scenario's settings never reach the next.
#include <cstdlib>
#include <set>
#include <string>

#include "tools/nphost/test_browser_win.h"

namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\KOB\\Mervane";

class TouchedSettings {
 public:
  void Add(HKEY root, const std::wstring& name) { names_.insert({root == HKEY_LOCAL_MACHINE, name}); }
  ~TouchedSettings() {
    for (const auto& [machine, name] : names_) {
      HKEY key;
      if (RegOpenKeyExW(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE,
                        &key) != ERROR_SUCCESS)
        continue;
      RegDeleteValueW(key, name.c_str());
      RegCloseKey(key);
    }
  }

 private:
  std::set<std::pair<bool, std::wstring>> names_;
};

TouchedSettings& Touched() {
  static TouchedSettings touched;
  return touched;
}

LONG WriteSetting(HKEY root, const std::wstring& name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  LONG status = RegCreateKeyExW(root, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = data ? RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size)
                : RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// The value as the scenario compares it: digits for a number, the text for a
// text, "none" when absent.
std::string ReadValue(const wchar_t* keyPath, const std::wstring& name, HKEY root = HKEY_CURRENT_USER) {
  HKEY key;
  if (RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "none";
  wchar_t data[1024] = {};
  DWORD type = 0, size = sizeof(data) - sizeof(wchar_t);
  const LONG status =
      RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "none";
  if (type == REG_DWORD) return Number(*reinterpret_cast<const DWORD*>(data));
  if (type == REG_SZ) return ToUtf8(data);
  return "other";
}

std::string ReadSetting(HKEY root, const std::wstring& name) { return ReadValue(kSettingsKey, name, root); }

}  // namespace

void Browser::Registry(const Step& step) {
  const std::wstring key = FromUtf8(step.Get("key")), name = FromUtf8(step.Get("name"));
  Observe("registry", {{"value", Quoted(ReadValue(key.c_str(), name))}});
}

void Browser::Setting(const Step& step) {
  const std::wstring name = FromUtf8(step.Get("name"));
  if (name.empty()) return Fail(step, "setting needs name=");
  const HKEY root = step.HasWord("machine") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  Touched().Add(root, name);
  LONG status = ERROR_SUCCESS;
  if (step.Has("dword")) {
    const DWORD value = static_cast<DWORD>(std::strtoll(step.Get("dword").c_str(), nullptr, 0));
    status = WriteSetting(root, name, REG_DWORD, &value, sizeof(value));
  } else if (step.Has("text")) {
    const std::wstring text = FromUtf8(step.Get("text"));
    status = WriteSetting(root, name, REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  } else if (step.HasWord("delete")) {
    status = WriteSetting(root, name, REG_NONE, nullptr, 0);
  }
  if (status != ERROR_SUCCESS) return Fail(step, "the registry refused (error " + Number(status) + ")");
  const std::string value = ReadSetting(root, name);
  Observe("setting", {{"name", Quoted(step.Get("name"))},
                      {"value", Quoted(value)},
                      {"set", value == "none" ? "false" : "true"}});
}

void Browser::KeepUpdateChecksOff(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.verb == "setting" && step.Get("name") == "autoupdate") return;
  }
  const DWORD off = 0;
  Touched().Add(HKEY_CURRENT_USER, L"autoupdate");
  WriteSetting(HKEY_CURRENT_USER, L"autoupdate", REG_DWORD, &off, sizeof(off));
}
