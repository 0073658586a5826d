#include "installer/plugin_registration.h"

#include <gtest/gtest.h>

#include "viewer/settings.h"

namespace {

std::u16string TextOfValue(const StoredValue* value) {
  if (!value || value->type != kValueText || value->bytes.size() < 2) return u"<missing>";
  return std::u16string(reinterpret_cast<const char16_t*>(value->bytes.data()), value->bytes.size() / 2 - 1);
}

TEST(PluginRegistration, WritesTheBrowserRegistration) {
  MemoryStore store;
  ASSERT_TRUE(WriteRegistration(&store, u"C:\\Program Files\\KOB\\Mervane\\npmrv64.dll"));
  const std::u16string key = u"SOFTWARE\\MozillaPlugins\\@mervane.example/Mervane";
  EXPECT_EQ(RegistrationKeyPath(), key);
  struct Expected {
    const char16_t* subkey;
    const char16_t* name;
    const char16_t* text;
  };
  const Expected expected[] = {
      {u"", u"Description", u"Mervane TIFF image viewer"},
      {u"", u"Path", u"C:\\Program Files\\KOB\\Mervane\\npmrv64.dll"},
      {u"", u"ProductName", u"Mervane"},
      {u"", u"Vendor", u"Velorin"},
      {u"", u"Version", u"2.0.8"},
      {u"\\MimeTypes\\application/x-mervane", u"Description", u"TIFF Image"},
      {u"\\MimeTypes\\application/x-mervane", u"Suffixes", u"mrvtif"},
      {u"\\MimeTypes\\image/tiff", u"Description", u"TIFF Image"},
      {u"\\MimeTypes\\image/tiff", u"Suffixes", u"tif;tiff"},
      {u"\\MimeTypes\\image/x-tiff", u"Description", u"TIFF Image"},
  };
  for (const Expected& e : expected) {
    EXPECT_EQ(TextOfValue(store.Find(StoreRoot::kMachine, key + e.subkey, e.name)), e.text);
  }
  EXPECT_EQ(store.Find(StoreRoot::kMachine, key + u"\\MimeTypes\\image/x-tiff", u"Suffixes"), nullptr);
  for (const char16_t* suffix : {u"mrvtif", u"tif", u"tiff"}) {
    EXPECT_TRUE(store.HasKey(StoreRoot::kMachine, key + u"\\Suffixes\\" + suffix));
  }
  EXPECT_FALSE(store.HasKey(StoreRoot::kUser, key));
}

TEST(PluginRegistration, ReportsAFailedWrite) {
  MemoryStore store;
  store.refuseWrites = 1;
  EXPECT_FALSE(WriteRegistration(&store, u"C:\\x\\npmrv64.dll"));
}

TEST(PluginRegistration, PresetSettingsOnlyWhenGiven) {
  struct Case {
    int32_t access, mouseMode, allowScript;
    const char16_t* items;
    int values;
  };
  const Case cases[] = {
      {-1, -1, -1, u"", 0},
      {8, -1, -1, u"", 1},
      {0, 0, 0, u"", 3},
      {-1, 2, -1, u"1,2,5", 2},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    InstallerOptions options;
    options.access = c.access;
    options.mouseMode = c.mouseMode;
    options.allowScript = c.allowScript;
    options.toolbarItems = c.items;
    WritePresetSettings(&store, options);
    int values = 0;
    for (const char16_t* name : {u"access", u"mousemode", u"allowscript", u"toolbaritems"}) {
      values += store.Find(StoreRoot::kUser, kMainKeyPath, name) != nullptr;
    }
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(store.HasKey(StoreRoot::kUser, kMainKeyPath), c.values > 0)
        << "no empty key for nothing to preset";
    if (c.access >= 0) {
      const StoredValue* access = store.Find(StoreRoot::kUser, kMainKeyPath, u"access");
      ASSERT_NE(access, nullptr);
      EXPECT_EQ(access->type, kValueDword);
      EXPECT_EQ(access->bytes, DwordValue(static_cast<uint32_t>(c.access)).bytes);
    }
  }
}

TEST(PluginRegistration, InstallPathAndLibraryPath) {
  MemoryStore store;
  ASSERT_TRUE(WriteInstallPath(&store, u"D:\\Plugins"));
  EXPECT_EQ(TextOfValue(store.Find(StoreRoot::kMachine, kMainKeyPath, u"installpath")), u"D:\\Plugins");
  EXPECT_EQ(InstalledLibraryPath(u"D:\\Plugins"), u"D:\\Plugins\\npmrv64.dll");
}

}  // namespace
