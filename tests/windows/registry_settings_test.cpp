// The settings against the real registry: keys written here, read and written
// by the viewer through the registry store.
#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "document/disabled_compressions.h"
#include "registry_test_keys_win.h"
#include "viewer/library.h"
#include "viewer/registry_store_win.h"
#include "viewer/settings.h"
#include "viewer/view_geometry.h"

namespace {

using namespace test_keys;

int g_messages = 0;

class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override {
    Clear();
    g_messages = 0;
    // A message box would wait for a click that never comes.
    SetMessageBoxHook([](void*, const std::u16string&, const std::u16string&, uint32_t) {
      ++g_messages;
      return 1;
    });
  }
  void TearDown() override {
    if (viewer_) DestroyInstance(&viewer_);
    StopLibrary();
    SetMessageBoxHook(nullptr);
    Clear();
  }

  ViewerInstance* Start(int32_t count = 0, const char16_t* const* names = nullptr,
                        const char16_t* const* values = nullptr) {
    StartLibrary(kLibraryPlugin, CreateRegistryStore());
    EXPECT_EQ(CreateInstance(&viewer_, kModeEmbedded, nullptr, count, names, values), kStatusDone);
    return viewer_;
  }

  DWORD Number(HKEY root, const wchar_t* path, const wchar_t* name) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(Get(root, path, name, &value, nullptr), static_cast<DWORD>(REG_DWORD)) << name;
    return value;
  }

  ViewerInstance* viewer_ = nullptr;
};

TEST_F(RegistrySettings, MachineThenUserThenLowIntegrityKey) {
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"orientation", 1));
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"sizemode", 3));
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"negative", 1));
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"access", 0x4));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kMain, L"orientation", 2));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kMain, L"sizemode", 0));
  ASSERT_TRUE(PutText(HKEY_CURRENT_USER, kMain, L"negative", L"0"));  // wrong type: ignored
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kMain, L"tbbuttonsize", 500));
  ASSERT_TRUE(PutText(HKEY_CURRENT_USER, kMain, L"zoomloc", L"10,20"));
  ASSERT_TRUE(PutText(HKEY_CURRENT_USER, kMain, L"toolbaritems", L"PR,SL"));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kLow, L"orientation", 3));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kLow, L"access", 0x40));
  ASSERT_TRUE(PutText(HKEY_CURRENT_USER, kLow, L"zoomloc", L"99"));  // one number: unchanged
  uint16_t shortValue = 1;
  ASSERT_TRUE(Put(HKEY_CURRENT_USER, kLow, L"pansens", REG_DWORD, &shortValue, sizeof shortValue));

  ViewerInstance* v = Start();
  EXPECT_EQ(v->settings.orientation, 3);
  EXPECT_EQ(v->settings.sizeMode, 0);
  EXPECT_EQ(v->settings.negative, 1);
  EXPECT_EQ(v->access.restrictions, 0x44u);
  EXPECT_EQ(v->prefs.toolbarHeight, 104);
  EXPECT_EQ(v->prefs.zoomLocation.x, 10);
  EXPECT_EQ(v->prefs.zoomLocation.y, 20);
  EXPECT_EQ(v->prefs.panSensitivity, 2);
  EXPECT_EQ(v->toolbar.toolbarItems, u"PR,SL");
  EXPECT_EQ(Library().lowIntegrityKey, 1);
}

TEST_F(RegistrySettings, SavingWithTheLowIntegrityKeyLeavesTheMainUserKeyAlone) {
  ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kLow));
  const char16_t* names[] = {u"orient", u"fit"};
  const char16_t* values[] = {u"left", u"200"};
  ViewerInstance* v = Start(2, names, values);
  v->prefs.zoomLocation = {-4, 7};
  ASSERT_TRUE(SaveSettings(v, Library().store.get(), kGroupView | kGroupPreferences));
  ASSERT_TRUE(WriteUserDword(Library().store.get(), u"zscalepct", 300));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kMain));
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kLow, L"orientation"), 3u);
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kLow, L"sizemode"), 0u);
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kLow, L"scalepct"), 200u);
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kLow, L"zscalepct"), 300u);
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kLow, L"tbbuttonsize"), 22u);
  std::wstring location;
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kLow, L"zoomloc", nullptr, &location), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(location, L"-4,7");
  EXPECT_EQ(g_messages, 0);
}

TEST_F(RegistrySettings, SavingWithoutTheLowIntegrityKeyCreatesTheMainUserKey) {
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"bgcolor", 0x123456));
  ViewerInstance* v = Start();
  v->settings.raster.resample = 0;
  ASSERT_TRUE(SaveSettings(v, Library().store.get(), kGroupView));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kLow));
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kMain, L"resample"), 0u);
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kMain, L"bgcolor", nullptr, nullptr), static_cast<DWORD>(REG_NONE));
  ASSERT_TRUE(SaveSettings(v, Library().store.get(), kGroupPreferences));
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kMain, L"bgcolor"), 0x123456u);
  EXPECT_EQ(Number(HKEY_CURRENT_USER, kMain, L"localaccess"), 1u);
}

TEST_F(RegistrySettings, TheSaveRestrictionWritesNothing) {
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"access", 0x2));
  ViewerInstance* v = Start();
  EXPECT_FALSE(SaveSettings(v, Library().store.get(), kGroupView | kGroupPreferences));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kMain));
  EXPECT_EQ(g_messages, 0);
}

TEST_F(RegistrySettings, UpdateValuesAndDisabledCompressionsFromTheMachineKey) {
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"updateinterval", 14));
  ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kMain, L"updateserver", L"updates.example.org"));
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kMain, L"updatelastchecked", 100));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kMain, L"updatelastchecked", 250));
  ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kMain, L"disable_compression", L"7,32773"));
  ASSERT_TRUE(PutDword(HKEY_CURRENT_USER, kMain, L"updateinterval", 1));
  Start();
  EXPECT_EQ(Library().updateInterval, 14u);
  EXPECT_EQ(Library().updateServer, u"updates.example.org");
  EXPECT_EQ(Library().lastChecked, 250u);
  EXPECT_TRUE(IsCompressionDisabled(7));
  EXPECT_TRUE(IsCompressionDisabled(32773));
  EXPECT_FALSE(IsCompressionDisabled(5));
}

}  // namespace
