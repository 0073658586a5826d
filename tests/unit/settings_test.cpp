#include "viewer/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/diagnostics.h"
#include "controls/toolbar_items.h"
#include "document/disabled_compressions.h"
#include "update/update_settings.h"
#include "viewer/library.h"

namespace {

std::vector<std::u16string>* g_messages = nullptr;

int RecordMessage(void*, const std::u16string& text, const std::u16string&, uint32_t) {
  if (g_messages) g_messages->push_back(text);
  return 1;
}

// A started library over an in-memory store that the test fills first.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_messages = &messages_;
    SetMessageBoxHook(RecordMessage);
  }
  void TearDown() override {
    if (viewer_) DestroyInstance(&viewer_);
    StopLibrary();
    SetMessageBoxHook(nullptr);
    g_messages = nullptr;
  }

  void Put(StoreRoot root, const char16_t* path, const char16_t* name, const StoredValue& value) {
    store_->Put(root, path, name, value);
  }
  void Machine(const char16_t* name, const StoredValue& value) {
    Put(StoreRoot::kMachine, kMainKeyPath, name, value);
  }
  void User(const char16_t* name, const StoredValue& value) {
    Put(StoreRoot::kUser, kMainKeyPath, name, value);
  }
  void Low(const char16_t* name, const StoredValue& value) {
    Put(StoreRoot::kUser, kLowIntegrityKeyPath, name, value);
  }

  // Starts the library with the store filled so far and creates a viewer.
  ViewerInstance* Start(int32_t mode = kModeEmbedded) {
    StartLibrary(kLibraryPlugin, std::move(owned_));  // store_ stays valid: the library owns it now
    EXPECT_EQ(CreateInstance(&viewer_, mode, nullptr, 0, nullptr, nullptr), kStatusDone);
    store_->journal.clear();
    return viewer_;
  }

  uint32_t Dword(StoreRoot root, const char16_t* path, const char16_t* name) {
    const StoredValue* value = store_->Find(root, path, name);
    EXPECT_NE(value, nullptr) << std::string(name, name + std::char_traits<char16_t>::length(name));
    uint32_t result = 0xDEADBEEF;
    if (value && value->type == kValueDword && value->bytes.size() == 4) {
      result =
          value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 | uint32_t{value->bytes[3]} << 24;
    }
    return result;
  }

  std::unique_ptr<MemoryStore> owned_ = std::make_unique<MemoryStore>();
  MemoryStore* store_ = owned_.get();
  ViewerInstance* viewer_ = nullptr;
  std::vector<std::u16string> messages_;
};

TEST_F(SettingsTest, DefaultsWithoutAnyKey) {
  ViewerInstance* v = Start();
  EXPECT_EQ(v->settings.raster.resample, 1);
  EXPECT_EQ(v->settings.sizeMode, kSizeFitWidth);
  EXPECT_EQ(ScalePercent(v->settings.scaleIndex), 100);
  EXPECT_EQ(ZoomPercent(v->settings.zoomIndex), 100);
  EXPECT_EQ(v->prefs.toolbarHeight, 26);
  EXPECT_EQ(v->prefs.backgroundColour, 0x404040);
  EXPECT_EQ(v->prefs.localAccess, 1);
  EXPECT_EQ(v->prefs.sendMethod, 2);
  EXPECT_EQ(v->prefs.zoomRectGiven, 0);
  EXPECT_EQ(v->prefs.zoomRect.right, 410);
  EXPECT_EQ(v->params.eventMask, 0x2003);
  EXPECT_EQ(std::u16string(TextOf(&v->params.target)), u"_self");
  EXPECT_EQ(v->toolbar.toolbarItems, kStandardItems);
  EXPECT_EQ(Library().lowIntegrityKey, 0);
}

TEST_F(SettingsTest, EachStoreOverridesTheOneBeforeAndAccessBitsAddUp) {
  Machine(u"orientation", DwordValue(1));
  Machine(u"negative", DwordValue(1));
  Machine(u"sizemode", DwordValue(3));
  Machine(u"access", DwordValue(0x4));
  User(u"orientation", DwordValue(2));
  User(u"sizemode", DwordValue(0));
  User(u"access", DwordValue(0x40));
  Low(u"orientation", DwordValue(3));
  Low(u"access", DwordValue(0x1000));
  Low(u"miscflags", DwordValue(0x2));
  User(u"miscflags", DwordValue(0x1));
  ViewerInstance* v = Start();
  EXPECT_EQ(v->settings.orientation, 3);  // low-integrity key last
  EXPECT_EQ(v->settings.sizeMode, 0);     // user key over machine key
  EXPECT_EQ(v->settings.negative, 1);     // machine key only
  EXPECT_EQ(v->access.registryAccess, 0x1044u);
  EXPECT_EQ(v->access.restrictions, 0x1044u);
  EXPECT_EQ(v->access.miscFlags, 0x3u);
  EXPECT_EQ(v->prefs.localAccess, 2);     // miscflags 0x2 after all passes
  EXPECT_TRUE(v->input.whiteoutAllowed);  // miscflags 0x1
  EXPECT_EQ(Library().lowIntegrityKey, 1);
}

TEST_F(SettingsTest, WrongTypeOrSizeLeavesTheEarlierValue) {
  Machine(u"orientation", DwordValue(2));
  User(u"orientation", TextValue(u"3"));
  StoredValue shortDword = DwordValue(1);
  shortDword.bytes.resize(2);
  Machine(u"negative", shortDword);
  StoredValue binary = DwordValue(0);
  binary.type = kValueBinary;
  Machine(u"resample", binary);
  User(u"zoomloc", DwordValue(5));
  User(u"toolbaritems", DwordValue(5));
  Machine(u"pansens", DwordValue(4));
  Low(u"pansens", TextValue(u"1"));
  ViewerInstance* v = Start();
  EXPECT_EQ(v->settings.orientation, 2);
  EXPECT_EQ(v->settings.negative, 0);
  EXPECT_EQ(v->settings.raster.resample, 1);
  EXPECT_EQ(v->prefs.zoomLocation.x, 0);
  EXPECT_EQ(v->toolbar.toolbarItems, kStandardItems);
  EXPECT_EQ(v->prefs.panSensitivity, 4);
}

TEST_F(SettingsTest, ConvertedAndClampedValues) {
  Machine(u"tbbuttonsize", DwordValue(10));
  Machine(u"scalepct", DwordValue(60));
  Machine(u"zscalepct", DwordValue(0xFFFFFFFF));
  Machine(u"memorylimit", DwordValue(64));
  Machine(u"resample", DwordValue(0));
  ViewerInstance* v = Start();
  EXPECT_EQ(v->prefs.toolbarHeight, 26);  // 10 is held as 22
  EXPECT_EQ(ScalePercent(v->settings.scaleIndex), 50);
  EXPECT_EQ(v->settings.zoomIndex, 0);  // a huge percent is the largest factor
  EXPECT_EQ(v->settings.raster.memoryLimitMb, 64u);
  EXPECT_EQ(v->settings.raster.resample, 0);
}

TEST_F(SettingsTest, ButtonSizeAboveTheRangeIsHeldAtTheTop) {
  User(u"tbbuttonsize", DwordValue(500));
  EXPECT_EQ(Start()->prefs.toolbarHeight, 104);
}

// Any low-integrity process can write the user keys, so a value outside the
// range its setting knows is ignored: the earlier pass's value, or the
// default, stays.
TEST_F(SettingsTest, ValuesOutsideTheirRangeAreIgnored) {
  struct Case {
    const char16_t* name;
    uint32_t earlier;  // in range, not the default
    std::vector<uint32_t> outside;
    int32_t* (*field)(ViewerInstance* viewer);
  };
  const Case cases[] = {
      {u"resample", 0, {2, 0xFFFFFFFF}, [](ViewerInstance* v) { return &v->settings.raster.resample; }},
      {u"negative", 1, {2}, [](ViewerInstance* v) { return &v->settings.negative; }},
      {u"orientation", 3, {4, 6, 0xFFFFFFFF}, [](ViewerInstance* v) { return &v->settings.orientation; }},
      {u"sizemode", 2, {4, 9}, [](ViewerInstance* v) { return &v->settings.sizeMode; }},
      {u"mousemode", 6, {7, 0x80000000}, [](ViewerInstance* v) { return &v->settings.mouseMode; }},
      {u"toolbar", 2, {3, 77}, [](ViewerInstance* v) { return &v->prefs.toolbar; }},
      {u"zoomsize", 6, {0, 7}, [](ViewerInstance* v) { return &v->prefs.zoomSize; }},
      {u"pansens", 5, {0, 6, 0x40000000}, [](ViewerInstance* v) { return &v->prefs.panSensitivity; }},
      {u"tooltips", 0, {2}, [](ViewerInstance* v) { return &v->prefs.toolTips; }},
      {u"zoommon", 2, {3}, [](ViewerInstance* v) { return &v->prefs.zoomMonitor; }},
      {u"fixratio", 0, {2}, [](ViewerInstance* v) { return &v->prefs.fixRatio; }},
      {u"printfull", 1, {2}, [](ViewerInstance* v) { return &v->prefs.printFull; }},
      {u"printcenter", 1, {2}, [](ViewerInstance* v) { return &v->prefs.printCenter; }},
      {u"printautorotate", 1, {2}, [](ViewerInstance* v) { return &v->prefs.printAutoRotate; }},
      {u"printstretched", 1, {2}, [](ViewerInstance* v) { return &v->prefs.printStretched; }},
      {u"allowscript", 0, {2}, [](ViewerInstance* v) { return &v->prefs.allowScript; }},
      {u"allowautoprint", 1, {2}, [](ViewerInstance* v) { return &v->prefs.allowAutoPrint; }},
      {u"autoupdate", 0, {2}, [](ViewerInstance* v) { return &v->prefs.autoUpdate; }},
      {u"localaccess", 0, {3, 0xFFFFFFFF}, [](ViewerInstance* v) { return &v->prefs.localAccess; }},
      {u"supportmultcopies", 1, {2}, [](ViewerInstance* v) { return &v->prefs.supportMultipleCopies; }},
      {u"bgcolor", 0x123456, {0x01000000}, [](ViewerInstance* v) { return &v->prefs.backgroundColour; }},
      {u"pencolor", 0xFFFFFF, {0x02FFFFFF}, [](ViewerInstance* v) { return &v->prefs.penColour; }},
  };
  ViewerInstance* v = Start();
  for (const Case& c : cases) {
    const std::string name(c.name, c.name + std::char_traits<char16_t>::length(c.name));
    MemoryStore empty;
    LoadSettings(v, &empty);
    const int32_t byDefault = *c.field(v);
    for (uint32_t outside : c.outside) {
      MemoryStore store;
      store.Put(StoreRoot::kUser, kLowIntegrityKeyPath, c.name, DwordValue(outside));
      LoadSettings(v, &store);
      EXPECT_EQ(*c.field(v), byDefault) << name << " " << outside << " alone";
      store.Put(StoreRoot::kMachine, kMainKeyPath, c.name, DwordValue(c.earlier));
      LoadSettings(v, &store);
      EXPECT_EQ(*c.field(v), static_cast<int32_t>(c.earlier))
          << name << " " << outside << " after a valid one";
    }
  }
}

TEST_F(SettingsTest, AHugeLogoValueStillHidesTheLogo) {
  Low(u"lctrl", DwordValue(0xFFFFFFFF));
  EXPECT_GT(Start()->access.logoControl, 2);
}

TEST_F(SettingsTest, TextsAreTakenOnlyWhenAllTheirNumbersParse) {
  Machine(u"zoomloc", TextValue(u"30,40"));
  User(u"zoomloc", TextValue(u"77"));  // one number: the location stays
  Machine(u"zoomrect", TextValue(u"5, 6,100,-20"));
  std::u16string longList(300, u'X');
  Machine(u"toolbaritems", TextValue(longList));
  ViewerInstance* v = Start();
  EXPECT_EQ(v->prefs.zoomLocation.x, 30);
  EXPECT_EQ(v->prefs.zoomLocation.y, 40);
  EXPECT_EQ(v->prefs.zoomRectGiven, 1);
  EXPECT_EQ(v->prefs.zoomRect.left, 5);
  EXPECT_EQ(v->prefs.zoomRect.top, 6);
  EXPECT_EQ(v->prefs.zoomRect.right, 105);
  EXPECT_EQ(v->prefs.zoomRect.bottom, -14);
  EXPECT_EQ(v->toolbar.toolbarItems, std::u16string(kItemListMaximum - 1, u'X'));
}

TEST_F(SettingsTest, LocalAccessGivenExplicitlyIsKept) {
  Machine(u"miscflags", DwordValue(0x2));
  User(u"localaccess", DwordValue(0));
  EXPECT_EQ(Start()->prefs.localAccess, 0);
}

TEST_F(SettingsTest, SavingWritesBothGroupsInOrderToTheMainUserKey) {
  ViewerInstance* v = Start();
  v->settings.orientation = 2;
  v->settings.scaleIndex = ScaleIndex(200);
  v->prefs.toolbarHeight = 54;
  v->prefs.zoomLocation = {-3, 12};
  ASSERT_TRUE(SaveSettings(v, store_, kGroupView | kGroupPreferences));
  std::vector<std::string> names;
  for (const std::string& entry : store_->journal) {
    if (entry.rfind("set ", 0) == 0)
      names.push_back(entry.substr(entry.find(':') + 1));
    else
      EXPECT_EQ(entry, "create hkcu\\software\\kob\\mervane");
  }
  std::vector<std::string> expected = {"resample",
                                       "negative",
                                       "orientation",
                                       "scalepct",
                                       "sizemode",
                                       "zscalepct",
                                       "mousemode",
                                       "toolbar",
                                       "zoomsize",
                                       "pansens",
                                       "tbbuttonsize",
                                       "bgcolor",
                                       "tooltips",
                                       "zoommon",
                                       "zoomloc",
                                       "fixratio",
                                       "ignorespecialimages",
                                       "printfull",
                                       "printcenter",
                                       "printautorotate",
                                       "printstretched",
                                       "allowscript",
                                       "allowautoprint",
                                       "autoupdate",
                                       "mousewheeldir",
                                       "localaccess",
                                       "supportmultcopies"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(Dword(StoreRoot::kUser, kMainKeyPath, u"scalepct"), 200u);
  EXPECT_EQ(Dword(StoreRoot::kUser, kMainKeyPath, u"tbbuttonsize"), 50u);
  const StoredValue* location = store_->Find(StoreRoot::kUser, kMainKeyPath, u"zoomloc");
  ASSERT_NE(location, nullptr);
  EXPECT_EQ(location->type, kValueText);
  EXPECT_EQ(location->bytes, TextValue(u"-3,12").bytes);

  store_->journal.clear();
  ASSERT_TRUE(SaveSettings(v, store_, kGroupView));
  EXPECT_EQ(store_->journal.size(), 1u + 7u);
}

TEST_F(SettingsTest, WhatWasSavedLoadsBackTheSame) {
  ViewerInstance* v = Start();
  v->settings.negative = 1;
  v->settings.mouseMode = kMousePan;
  v->settings.zoomIndex = ZoomIndex(40);
  v->prefs.printCenter = 1;
  v->prefs.zoomLocation = {7, 9};
  v->prefs.toolbar = kToolbarBottom;
  ASSERT_TRUE(SaveSettings(v, store_, kGroupView | kGroupPreferences));
  ViewerInstance* again = nullptr;
  ASSERT_EQ(CreateInstance(&again, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusDone);
  EXPECT_EQ(again->settings.negative, 1);
  EXPECT_EQ(again->settings.mouseMode, kMousePan);
  EXPECT_EQ(ZoomPercent(again->settings.zoomIndex), 40);
  EXPECT_EQ(again->prefs.printCenter, 1);
  EXPECT_EQ(again->prefs.zoomLocation.y, 9);
  EXPECT_EQ(again->toolbar.toolbarPosition, kToolbarBottom);
  DestroyInstance(&again);
}

TEST_F(SettingsTest, WithTheLowIntegrityKeyPresentTheMainUserKeyIsNeverTouched) {
  Low(u"tooltips", DwordValue(0));
  ViewerInstance* v = Start();
  ASSERT_TRUE(SaveSettings(v, store_, kGroupView | kGroupPreferences));
  ASSERT_TRUE(WriteUserDword(store_, u"zscalepct", 300));
  ASSERT_TRUE(DeleteUserValue(store_, u"zscalepct"));
  ASSERT_FALSE(store_->journal.empty());
  for (const std::string& entry : store_->journal) {
    EXPECT_NE(entry.find("appdatalow"), std::string::npos) << entry;
  }
  EXPECT_FALSE(store_->HasKey(StoreRoot::kUser, kMainKeyPath));
  EXPECT_EQ(Dword(StoreRoot::kUser, kLowIntegrityKeyPath, u"tooltips"), 0u);
}

TEST_F(SettingsTest, SavingIsRefusedSilentlyUnderTheRestrictionAndReportedWhenTheKeyFails) {
  Machine(u"access", DwordValue(kRestrictSaveSettings));
  ViewerInstance* v = Start();
  EXPECT_FALSE(SaveSettings(v, store_, kGroupView | kGroupPreferences));
  EXPECT_TRUE(store_->journal.empty());
  EXPECT_TRUE(messages_.empty());
  v->access.restrictions = 0;
  store_->refuseWrites = 1;
  EXPECT_FALSE(SaveSettings(v, store_, kGroupPreferences));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], u"Unable to save settings!");
  EXPECT_FALSE(store_->HasKey(StoreRoot::kUser, kMainKeyPath));
}

TEST_F(SettingsTest, UpdateValuesComeFromTheMachineAndTheLaterUserTimestamp) {
  Machine(u"updateinterval", DwordValue(30));
  Machine(u"updateretry", TextValue(u"9"));  // wrong type: the default stays
  Machine(u"updateserver", TextValue(std::u16string(300, u's')));
  Machine(u"updatelastchecked", DwordValue(500));
  Machine(u"updatelastattempt", DwordValue(800));
  User(u"updatelastchecked", DwordValue(400));
  User(u"updatelastattempt", DwordValue(700));
  Low(u"updatelastattempt", DwordValue(900));
  User(u"updateinterval", DwordValue(1));  // the interval is the machine's to set
  Machine(u"disable_compression", TextValue(u"5, 7,abc,-3,0,32946x,7"));
  Start();
  const LibraryValues& library = Library();
  EXPECT_EQ(library.updateInterval, 30u);
  EXPECT_EQ(library.updateRetry, 2u);
  EXPECT_EQ(library.updateServer, std::u16string(kUpdateTextMaximum - 1, u's'));
  EXPECT_EQ(library.updateResource, u"/mervane/version-pl-w64.txt");
  EXPECT_EQ(library.lastChecked, 500u);
  EXPECT_EQ(library.lastAttempt, 900u);
  EXPECT_TRUE(IsCompressionDisabled(5));
  EXPECT_TRUE(IsCompressionDisabled(7));
  EXPECT_TRUE(IsCompressionDisabled(32946));
  EXPECT_FALSE(IsCompressionDisabled(0));
  EXPECT_FALSE(IsCompressionDisabled(-3));
  EXPECT_FALSE(IsCompressionDisabled(1));
  StopLibrary();
  EXPECT_FALSE(IsCompressionDisabled(5));
}

TEST_F(SettingsTest, UserDwordsReadTheLowIntegrityValueFirst) {
  User(u"zscalepct", DwordValue(200));
  Start();
  uint32_t value = 0;
  EXPECT_TRUE(ReadUserDword(store_, u"zscalepct", &value));
  EXPECT_EQ(value, 200u);
  Low(u"zscalepct", DwordValue(50));
  EXPECT_TRUE(ReadUserDword(store_, u"zscalepct", &value));
  EXPECT_EQ(value, 50u);
  EXPECT_FALSE(ReadUserDword(store_, u"missing", &value));
}

TEST(CompressionList, ItemsOfAtLeastOneInAnyOrder) {
  EXPECT_EQ(ParseCompressionList(u""), std::vector<int32_t>{});
  EXPECT_EQ(ParseCompressionList(nullptr), std::vector<int32_t>{});
  EXPECT_EQ(ParseCompressionList(u" 8,,+32773, 1"), (std::vector<int32_t>{8, 32773, 1}));
}

}  // namespace
