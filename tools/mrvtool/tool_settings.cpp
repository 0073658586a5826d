#include "tools/mrvtool/tool_settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/text_format.h"
#include "viewer/library.h"
#include "viewer/settings.h"

namespace {

// A whole decimal or 0x-hexadecimal number that fits 32 bits.
int ParseDword(const std::string& text, uint32_t* value) {
  if (text.empty()) return 0;
  bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  errno = 0;
  char* end = nullptr;
  long long number = strtoll(text.c_str(), &end, hexadecimal ? 16 : 10);
  if (errno || *end || number < INT32_MIN || number > UINT32_MAX) return 0;
  *value = static_cast<uint32_t>(number);
  return 1;
}

int SplitPair(const char* option, const char* text, std::u16string* name, std::string* value,
              std::string* error) {
  const char* equals = text ? strchr(text, '=') : nullptr;
  if (!equals || equals == text) {
    *error = std::string(option) + " needs NAME=VALUE";
    return 0;
  }
  *name = Utf8ToUtf16(std::string(text, equals));
  *value = equals + 1;
  return 1;
}

}  // namespace

int ParseToolSettings(int argc, char** argv, ToolSettings* settings, std::vector<char*>* rest,
                      std::string* error) {
  for (int i = 0; i < argc; ++i) {
    bool isParam = !strcmp(argv[i], "--param"), isSetting = !strcmp(argv[i], "--setting");
    if (!isParam && !isSetting) {
      rest->push_back(argv[i]);
      continue;
    }
    const char* option = argv[i];
    const char* pair = i + 1 < argc ? argv[++i] : nullptr;
    std::u16string name;
    std::string value;
    if (!SplitPair(option, pair, &name, &value, error)) return 0;
    if (isParam) {
      settings->parameterNames.push_back(name);
      settings->parameterValues.push_back(Utf8ToUtf16(value));
      continue;
    }
    uint32_t number;
    if (IsTextSetting(name.c_str())) {
      settings->settingValues.push_back(TextValue(Utf8ToUtf16(value)));
    } else if (ParseDword(value, &number)) {
      settings->settingValues.push_back(DwordValue(number));
    } else {
      *error = "--setting " + Utf16ToUtf8(name) + " needs a number, not \"" + value + "\"";
      return 0;
    }
    settings->settingNames.push_back(name);
  }
  return 1;
}

int CreateToolViewer(const ToolSettings& settings, ViewerInstance** viewer) {
  auto store = std::make_unique<MemoryStore>();
  for (size_t i = 0; i < settings.settingNames.size(); ++i) {
    store->Put(StoreRoot::kMachine, kMainKeyPath, settings.settingNames[i], settings.settingValues[i]);
  }
  StartLibrary(kLibraryPlugin, std::move(store));
  std::vector<const char16_t*> names, values;
  for (size_t i = 0; i < settings.parameterNames.size(); ++i) {
    names.push_back(settings.parameterNames[i].c_str());
    values.push_back(settings.parameterValues[i].c_str());
  }
  int32_t status = CreateInstance(viewer, kModeEmbedded, nullptr, static_cast<int32_t>(names.size()),
                                  names.data(), values.data());
  if (status != kStatusDone) StopLibrary();
  return status == kStatusDone;
}

void DestroyToolViewer(ViewerInstance** viewer) {
  DestroyInstance(viewer);
  StopLibrary();
}
