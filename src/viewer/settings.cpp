#include "viewer/settings.h"

#include <algorithm>

#include "common/decimal_text.h"
#include "common/diagnostics.h"
#include "common/saturated.h"
#include "common/text_format.h"
#include "document/disabled_compressions.h"
#include "viewer/library.h"
#include "viewer/view_geometry.h"

namespace {

// How a setting's stored value becomes a field of the instance and back.
enum class Kind {
  kPlain,         // DWORD into an int field
  kScalePercent,  // percent stored, nearest scale index held
  kZoomPercent,
  kButtonSize,  // button size stored, toolbar height held
  kLevel,       // DWORD into an int field, a huge value held as the largest int
  kAccessBits,  // combined over the passes with OR
  kMiscBits,
  kMemoryLimit,
  kZoomLocation,  // text "x,y"
  kZoomRect,      // text "x,y,width,height"
  kItemList,      // text
};

// A setting that means something only inside a range names it. The user keys
// can be written by any low-integrity process, so a value outside its range is
// ignored like a value of the wrong type: the earlier value stays. Colours are
// 0x00BBGGRR; a top byte would make them palette references.
struct Setting {
  const char16_t* name;
  Kind kind;
  int32_t group;  // 0: read only
  int32_t* (*field)(ViewerInstance* viewer);
  uint32_t minimum = 0;
  uint32_t maximum = UINT32_MAX;
};

// Within each group the order is the order of writing.
const Setting kSettings[] = {
    {u"resample", Kind::kPlain, kGroupView, [](ViewerInstance* v) { return &v->settings.raster.resample; }, 0,
     1},
    {u"negative", Kind::kPlain, kGroupView, [](ViewerInstance* v) { return &v->settings.negative; }, 0, 1},
    {u"orientation", Kind::kPlain, kGroupView, [](ViewerInstance* v) { return &v->settings.orientation; }, 0,
     3},
    {u"scalepct", Kind::kScalePercent, kGroupView, [](ViewerInstance* v) { return &v->settings.scaleIndex; }},
    {u"sizemode", Kind::kPlain, kGroupView, [](ViewerInstance* v) { return &v->settings.sizeMode; }, 0, 3},
    {u"zscalepct", Kind::kZoomPercent, kGroupView, [](ViewerInstance* v) { return &v->settings.zoomIndex; }},
    {u"mousemode", Kind::kPlain, kGroupView, [](ViewerInstance* v) { return &v->settings.mouseMode; }, 0, 6},
    {u"access", Kind::kAccessBits, 0, nullptr},
    {u"lctrl", Kind::kLevel, 0, [](ViewerInstance* v) { return &v->access.logoControl; }},
    {u"toolbar", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.toolbar; }, 0, 2},
    {u"zoomsize", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.zoomSize; }, 1,
     6},
    {u"pansens", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.panSensitivity; },
     1, 5},
    {u"tbbuttonsize", Kind::kButtonSize, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.toolbarHeight; }},
    {u"bgcolor", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.backgroundColour; }, 0, 0xFFFFFF},
    {u"tooltips", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.toolTips; }, 0,
     1},
    {u"zoommon", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.zoomMonitor; }, 0,
     2},
    {u"zoomloc", Kind::kZoomLocation, kGroupPreferences, nullptr},
    {u"fixratio", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.fixRatio; }, 0,
     1},
    {u"ignorespecialimages", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.ignoreSpecialImages; }},
    {u"printfull", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.printFull; }, 0,
     1},
    {u"printcenter", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.printCenter; },
     0, 1},
    {u"printautorotate", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.printAutoRotate; }, 0, 1},
    {u"printstretched", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.printStretched; }, 0, 1},
    {u"allowscript", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.allowScript; },
     0, 1},
    {u"allowautoprint", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.allowAutoPrint; }, 0, 1},
    {u"autoupdate", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.autoUpdate; },
     0, 1},
    {u"mousewheeldir", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.mouseWheelDirection; }},
    {u"localaccess", Kind::kPlain, kGroupPreferences, [](ViewerInstance* v) { return &v->prefs.localAccess; },
     0, 2},
    {u"supportmultcopies", Kind::kPlain, kGroupPreferences,
     [](ViewerInstance* v) { return &v->prefs.supportMultipleCopies; }, 0, 1},
    {u"pencolor", Kind::kPlain, 0, [](ViewerInstance* v) { return &v->prefs.penColour; }, 0, 0xFFFFFF},
    {u"memorylimit", Kind::kMemoryLimit, 0, nullptr},
    {u"sendmethod", Kind::kPlain, 0, [](ViewerInstance* v) { return &v->prefs.sendMethod; }},
    {u"zoomrect", Kind::kZoomRect, 0, nullptr},
    {u"toolbaritems", Kind::kItemList, 0, nullptr},
    {u"miscflags", Kind::kMiscBits, 0, nullptr},
};

constexpr int32_t kNumberTextCapacity = 64;
constexpr int32_t kButtonSizeMinimum = 22;
constexpr int32_t kButtonSizeMaximum = 100;

// A stored number as an int: huge values stop at the largest int instead of turning negative.
int32_t AsInt(uint32_t value) { return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value); }

void ReadDwordSetting(ViewerInstance* viewer, const Setting& setting, uint32_t value) {
  switch (setting.kind) {
    case Kind::kPlain:
      *setting.field(viewer) = static_cast<int32_t>(value);
      break;
    case Kind::kLevel:  // "above 2" must stay above 2
      *setting.field(viewer) = AsInt(value);
      break;
    case Kind::kScalePercent:
      *setting.field(viewer) = ScaleIndex(AsInt(value));
      break;
    case Kind::kZoomPercent:
      *setting.field(viewer) = ZoomIndex(AsInt(value));
      break;
    case Kind::kButtonSize:
      *setting.field(viewer) = std::clamp<int32_t>(AsInt(value), kButtonSizeMinimum, kButtonSizeMaximum) + 4;
      break;
    case Kind::kAccessBits:
      viewer->access.registryAccess |= value;
      break;
    case Kind::kMiscBits:
      viewer->access.miscFlags |= value;
      break;
    case Kind::kMemoryLimit:
      viewer->settings.raster.memoryLimitMb = value;
      break;
    default:
      break;
  }
}

void ReadTextSetting(ViewerInstance* viewer, StoreKey* key, const Setting& setting) {
  if (setting.kind == Kind::kItemList) {
    ReadText(key, setting.name, &viewer->toolbar.itemsSetting);
    return;
  }
  std::u16string text;
  if (!ReadText(key, setting.name, kNumberTextCapacity, &text)) return;
  int32_t numbers[4];
  if (setting.kind == Kind::kZoomLocation && ScanIntegers(text.c_str(), numbers, 2)) {
    viewer->prefs.zoomLocation = {numbers[0], numbers[1]};
  } else if (setting.kind == Kind::kZoomRect && ScanIntegers(text.c_str(), numbers, 4)) {
    viewer->prefs.zoomRect = {numbers[0], numbers[1], Saturated(int64_t{numbers[0]} + numbers[2]),
                              Saturated(int64_t{numbers[1]} + numbers[3])};
    viewer->prefs.zoomRectGiven = 1;
  }
}

bool IsText(Kind kind) {
  return kind == Kind::kZoomLocation || kind == Kind::kZoomRect || kind == Kind::kItemList;
}

void ReadPass(ViewerInstance* viewer, StoreKey* key) {
  for (const Setting& setting : kSettings) {
    if (IsText(setting.kind)) {
      ReadTextSetting(viewer, key, setting);
      continue;
    }
    uint32_t value;
    if (ReadDword(key, setting.name, &value) && value >= setting.minimum && value <= setting.maximum) {
      ReadDwordSetting(viewer, setting, value);
    }
  }
}

void WriteSetting(ViewerInstance* viewer, StoreKey* key, const Setting& setting) {
  switch (setting.kind) {
    case Kind::kPlain:
      WriteDword(key, setting.name, static_cast<uint32_t>(*setting.field(viewer)));
      break;
    case Kind::kScalePercent:
      WriteDword(key, setting.name, static_cast<uint32_t>(ScalePercent(viewer->settings.scaleIndex)));
      break;
    case Kind::kZoomPercent:
      WriteDword(key, setting.name, static_cast<uint32_t>(ZoomPercent(viewer->settings.zoomIndex)));
      break;
    case Kind::kButtonSize:
      WriteDword(key, setting.name, static_cast<uint32_t>(viewer->prefs.toolbarHeight - 4));
      break;
    case Kind::kZoomLocation: {
      char16_t text[kNumberTextCapacity];
      FormatBounded(text, kNumberTextCapacity, "%d,%d", viewer->prefs.zoomLocation.x,
                    viewer->prefs.zoomLocation.y);
      WriteText(key, setting.name, text);
      break;
    }
    default:
      break;
  }
}

void SetViewDefaults(ViewerInstance* viewer) {
  viewer->settings = DefaultViewSettings();
  viewer->access.logoControl = 0;
  viewer->access.registryAccess = 0;
  viewer->access.miscFlags = 0;
  viewer->prefs = Preferences{};
  SetText(&viewer->toolbar.itemsSetting, nullptr);
}

}  // namespace

int ReadDword(StoreKey* key, const char16_t* name, uint32_t* value) {
  StoredValue stored;
  if (!key || !key->Query(name, &stored)) return 0;
  if (stored.type != kValueDword || stored.bytes.size() != 4) return 0;
  *value = uint32_t{stored.bytes[0]} | uint32_t{stored.bytes[1]} << 8 | uint32_t{stored.bytes[2]} << 16 |
           uint32_t{stored.bytes[3]} << 24;
  return 1;
}

int ReadText(StoreKey* key, const char16_t* name, int32_t capacity, std::u16string* text) {
  StoredValue stored;
  if (!key || capacity < 1 || !key->Query(name, &stored) || stored.type != kValueText) return 0;
  text->clear();
  // The stored terminator may be missing or the size odd; stop at whichever comes first.
  for (size_t i = 0; i + 1 < stored.bytes.size(); i += 2) {
    char16_t c = static_cast<char16_t>(stored.bytes[i] | stored.bytes[i + 1] << 8);
    if (c == 0 || static_cast<int32_t>(text->size()) >= capacity - 1) break;
    text->push_back(c);
  }
  return 1;
}

int ReadText(StoreKey* key, const char16_t* name, TextBuffer* text) {
  std::u16string value;
  if (!ReadText(key, name, text->maximum, &value)) return 0;
  return SetText(text, value.c_str());
}

int WriteDword(StoreKey* key, const char16_t* name, uint32_t value) {
  return key && key->Set(name, DwordValue(value));
}

int WriteText(StoreKey* key, const char16_t* name, const std::u16string& text) {
  return key && key->Set(name, TextValue(text));
}

int DeleteValue(StoreKey* key, const char16_t* name) { return key && key->Delete(name); }

const char16_t* UserKeyPath(SettingsStore* store) {
  LibraryValues& library = Library();
  if (library.lowIntegrityKey < 0) {
    library.lowIntegrityKey =
        store->Open(StoreRoot::kUser, kLowIntegrityKeyPath, KeyAccess::kRead) != nullptr;
  }
  return library.lowIntegrityKey ? kLowIntegrityKeyPath : kMainKeyPath;
}

int WriteUserDword(SettingsStore* store, const char16_t* name, uint32_t value) {
  std::unique_ptr<StoreKey> key =
      store->Open(StoreRoot::kUser, UserKeyPath(store), KeyAccess::kCreateForWriting);
  return WriteDword(key.get(), name, value);
}

int ReadUserDword(SettingsStore* store, const char16_t* name, uint32_t* value) {
  int found = 0;
  for (const char16_t* path : {kMainKeyPath, kLowIntegrityKeyPath}) {
    std::unique_ptr<StoreKey> key = store->Open(StoreRoot::kUser, path, KeyAccess::kRead);
    if (key && ReadDword(key.get(), name, value)) found = 1;
  }
  return found;
}

int DeleteUserValue(SettingsStore* store, const char16_t* name) {
  std::unique_ptr<StoreKey> key =
      store->Open(StoreRoot::kUser, UserKeyPath(store), KeyAccess::kCreateForWriting);
  return DeleteValue(key.get(), name);
}

int SettingInRange(const char16_t* name, uint32_t value) {
  if (!name) return 0;
  for (const Setting& setting : kSettings) {
    if (EqualsNoCase(name, setting.name)) return value >= setting.minimum && value <= setting.maximum;
  }
  return 1;
}

int IsTextSetting(const char16_t* name) {
  if (!name) return 0;
  std::u16string_view wanted(name);
  auto same = [&](std::u16string_view known) { return EqualsNoCase(wanted, known); };
  for (const Setting& setting : kSettings) {
    if (IsText(setting.kind) && same(setting.name)) return 1;
  }
  return same(u"updateserver") || same(u"updateresource") || same(u"disable_compression");
}

void LoadSettings(ViewerInstance* viewer, SettingsStore* store) {
  SetViewDefaults(viewer);
  struct Pass {
    StoreRoot root;
    const char16_t* path;
  };
  const Pass passes[] = {{StoreRoot::kMachine, kMainKeyPath},
                         {StoreRoot::kUser, kMainKeyPath},
                         {StoreRoot::kUser, kLowIntegrityKeyPath}};
  LibraryValues& library = Library();
  for (const Pass& pass : passes) {
    std::unique_ptr<StoreKey> key = store ? store->Open(pass.root, pass.path, KeyAccess::kRead) : nullptr;
    if (&pass == &passes[2] && library.lowIntegrityKey < 0 && store) library.lowIntegrityKey = key != nullptr;
    if (key) ReadPass(viewer, key.get());
  }
  if (viewer->prefs.localAccess == -1) {
    viewer->prefs.localAccess = (viewer->access.miscFlags & kMiscLocalAccessAll) ? 2 : 1;
  }
  viewer->access.restrictions |= viewer->access.registryAccess;
}

int SaveSettings(ViewerInstance* viewer, SettingsStore* store, int32_t groups) {
  if (IsRestricted(viewer, kRestrictSaveSettings)) return 0;
  std::unique_ptr<StoreKey> key =
      store ? store->Open(StoreRoot::kUser, UserKeyPath(store), KeyAccess::kCreateForWriting) : nullptr;
  if (!key) {
    ShowMessage(viewer->pluginWindow, kIconWarning, "Unable to save settings!");
    return 0;
  }
  for (const Setting& setting : kSettings) {
    if (setting.group & groups) WriteSetting(viewer, key.get(), setting);
  }
  return 1;
}

std::vector<int32_t> ParseCompressionList(const char16_t* text) {
  std::vector<int32_t> codes;
  if (!text) return codes;
  const char16_t* item = text;
  while (true) {
    int32_t code = ReadDecimal(item);
    if (code >= 1 && std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    while (*item && *item != u',') ++item;
    if (!*item) break;
    ++item;
  }
  return codes;
}

void ReadDisabledCompressions(SettingsStore* store) {
  std::unique_ptr<StoreKey> machine = store->Open(StoreRoot::kMachine, kMainKeyPath, KeyAccess::kRead);
  std::u16string compressions;
  if (machine) ReadText(machine.get(), u"disable_compression", kCompressionListMaximum, &compressions);
  SetDisabledCompressions(ParseCompressionList(compressions.c_str()));
}
