#include "viewer/parameters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "viewer/library.h"
#include "viewer/settings.h"

namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

int g_messageCount = 0;

class ParametersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_messageCount = 0;
    SetMessageBoxHook([](void*, const std::u16string&, const std::u16string&, uint32_t) {
      ++g_messageCount;
      return 1;
    });
  }
  void TearDown() override {
    if (viewer_) DestroyInstance(&viewer_);
    StopLibrary();
    SetMessageBoxHook(nullptr);
  }

  ViewerInstance* Create(const Pairs& pairs, int32_t mode = kModeEmbedded) {
    StartLibrary(kLibraryPlugin, std::move(owned_));
    std::vector<const char16_t*> names, values;
    for (const auto& [name, value] : pairs) {
      names.push_back(name.c_str());
      values.push_back(value.c_str());
    }
    EXPECT_EQ(CreateInstance(&viewer_, mode, nullptr, static_cast<int32_t>(names.size()), names.data(),
                             values.data()),
              kStatusDone);
    return viewer_;
  }

  void Setting(const char16_t* name, uint32_t value) {
    store_->Put(StoreRoot::kUser, kMainKeyPath, name, DwordValue(value));
  }

  std::unique_ptr<MemoryStore> owned_ = std::make_unique<MemoryStore>();
  MemoryStore* store_ = owned_.get();
  ViewerInstance* viewer_ = nullptr;
};

TEST_F(ParametersTest, ToolbarOnKeepsAPositionAlreadyChosen) {
  ViewerInstance* v = Create({{u"toolbar", u"bottom"}, {u"toolbar", u"on"}});
  EXPECT_EQ(v->toolbar.toolbarPosition, kToolbarBottom);
  EXPECT_EQ(v->toolbar.toolbarFollowsSetting, 0);
}

TEST_F(ParametersTest, ToolbarOnShowsAToolbarTheSettingHid) {
  Setting(u"toolbar", kToolbarNone);
  ViewerInstance* v = Create({{u"TOOLBAR", u"On"}});
  EXPECT_EQ(v->toolbar.toolbarPosition, kToolbarTop);
}

// Every toolbar value is used: it fixes the position, so none is reported as ignored.
TEST_F(ParametersTest, AnyToolbarValueFixesThePosition) {
  for (const char16_t* value : {u"sideways", u"true", u"", u"1"}) {
    if (viewer_) {
      DestroyInstance(&viewer_);
      StopLibrary();
      owned_ = std::make_unique<MemoryStore>();
      store_ = owned_.get();
    }
    Setting(u"toolbar", kToolbarBottom);
    ViewerInstance* v = Create({{u"toolbar", value}});
    EXPECT_EQ(v->toolbar.toolbarPosition, kToolbarBottom);
    EXPECT_EQ(v->toolbar.toolbarFollowsSetting, 0);
    EXPECT_EQ(v->logs.documentLog.warningCount, 0) << Utf16ToUtf8(TextOf(&v->logs.documentLog.text));
  }
}

TEST_F(ParametersTest, WithoutAToolbarParameterThePositionFollowsTheSetting) {
  Setting(u"toolbar", kToolbarNone);
  ViewerInstance* v = Create({});
  EXPECT_EQ(v->toolbar.toolbarPosition, kToolbarNone);
  EXPECT_EQ(v->toolbar.toolbarFollowsSetting, 1);
}

TEST_F(ParametersTest, BackgroundColourNeedsTheHashAndSevenCharacters) {
  EXPECT_EQ(Create({{u"bgcolor", u"#ff0000"}})->params.background, 0x0000FFu);
  EXPECT_EQ(viewer_->params.backgroundFollowsSetting, 0);
  uint32_t colour = 0;
  EXPECT_FALSE(ParsePageColour(u"ff0000", &colour));
  EXPECT_FALSE(ParsePageColour(u"#ff00000", &colour));
  EXPECT_FALSE(ParsePageColour(u"#ff000", &colour));
  ASSERT_TRUE(ParsePageColour(u"#0A1bC3", &colour));
  EXPECT_EQ(colour, 0xC31B0Au);
  // Past "f" the letters keep counting (g = 16), and the byte keeps its low 8 bits.
  ASSERT_TRUE(ParsePageColour(u"#g0zz-!", &colour));
  EXPECT_EQ(colour, 0x005300u);  // g0: 256 & 0xFF; zz: 35 * 16 + 35 = 595 & 0xFF; "-!" counts 0
}

TEST_F(ParametersTest, BackgroundWithoutHashIsIgnored) {
  ViewerInstance* v = Create({{u"bgcolor", u"ff0000"}});
  EXPECT_EQ(v->params.background, 0x404040u);
  EXPECT_EQ(v->params.backgroundFollowsSetting, 1);
  EXPECT_EQ(v->logs.documentLog.warningCount, 1);
}

TEST_F(ParametersTest, FitWordsAndPercentages) {
  EXPECT_EQ(Create({{u"fit", u"150"}})->settings.sizeMode, kSizeFixed);
  EXPECT_EQ(ScalePercent(viewer_->settings.scaleIndex), 100);  // 200 and 100 tie: the later wins
  DestroyInstance(&viewer_);
  StopLibrary();
  owned_ = std::make_unique<MemoryStore>();
  ViewerInstance* v = Create({{u"fit", u"Best"}, {u"fit", u"0"}, {u"fit", u"-20"}});
  EXPECT_EQ(v->settings.sizeMode, kSizeBestFit);  // 0 and below change nothing
  EXPECT_EQ(v->logs.documentLog.warningCount, 2);
  ApplyParameters(v, 1, std::vector<const char16_t*>{u"fit"}.data(),
                  std::vector<const char16_t*>{u"none"}.data());
  EXPECT_EQ(v->settings.sizeMode, kSizeFixed);
  EXPECT_EQ(v->settings.scaleIndex, Library().defaultScaleIndex);
  ApplyParameters(v, 1, std::vector<const char16_t*>{u"fit"}.data(),
                  std::vector<const char16_t*>{u" 75%"}.data());
  EXPECT_EQ(ScalePercent(v->settings.scaleIndex), 70);
}

TEST_F(ParametersTest, ViewWordsAndTheirSideEffects) {
  ViewerInstance* v = Create({{u"orient", u"RIGHT"},
                              {u"negative", u"yes"},
                              {u"smooth", u"no"},
                              {u"mousemode", u"cropselect"},
                              {u"orient", u"diagonal"},
                              {u"negative", u"maybe"}});
  EXPECT_EQ(v->settings.orientation, kOrientRight);
  EXPECT_EQ(v->settings.negative, 1);
  EXPECT_EQ(v->settings.raster.resample, 0);  // what bitmap scaling reads
  EXPECT_EQ(v->settings.mouseMode, kMouseCrop);
  EXPECT_EQ(v->input.cropFeature, 1);
  EXPECT_EQ(v->input.whiteoutAllowed, 0);
  EXPECT_EQ(v->logs.documentLog.warningCount, 2);
}

TEST_F(ParametersTest, SelectModesAllowWhiteoutAndEraseShowsTheEraser) {
  ViewerInstance* v = Create({{u"mousemode", u"whiteout"}});
  EXPECT_EQ(v->settings.mouseMode, kMouseWhiteout);
  EXPECT_EQ(v->input.whiteoutAllowed, 1);
  ApplyParameters(v, 1, std::vector<const char16_t*>{u"allowselect"}.data(),
                  std::vector<const char16_t*>{u"NO"}.data());
  EXPECT_EQ(v->input.whiteoutAllowed, 0);
  DestroyInstance(&viewer_);
  StopLibrary();
  owned_ = std::make_unique<MemoryStore>();
  EXPECT_EQ(Create({{u"mousemode", u"erase"}})->analysis.eraserOutline, 1);
}

TEST_F(ParametersTest, NumbersReadAsTheViewerReadsThem) {
  ViewerInstance* v = Create({{u"page", u" +7th"},
                              {u"autoprint", u"2"},
                              {u"enableevents", u"4"},
                              {u"kobprinthack", u"YES"},
                              {u"enablesketchbuttons", u"yes"}});
  EXPECT_EQ(v->download.initialPage, 6);
  EXPECT_EQ(v->print.autoPrint, 2);
  EXPECT_EQ(v->params.eventMask, 4);
  EXPECT_EQ(v->print.printRouting, 1);
  EXPECT_EQ(v->analysis.sketchButtons, 1);
  ApplyParameters(v, 1, std::vector<const char16_t*>{u"page"}.data(),
                  std::vector<const char16_t*>{u"-99999999999"}.data());
  EXPECT_EQ(v->download.initialPage, INT32_MIN);  // held, not wrapped
}

// The upload puts these texts into its request line, headers and form part
// headers, so line breaks and quotes must never survive.
TEST_F(ParametersTest, UploadTextsAreCleanedWhenSet) {
  ViewerInstance* v = Create({{u"uploadurl", u"http://127.0.0.1/up load?a=1#x\r\nX-Evil: 'y'\\"},
                              {u"uploadparamname", u"fi\"le\r\nX: y; name=z"},
                              {u"uploadfilename", u"sc\u00e9n \"1\".tif"}});
  EXPECT_EQ(std::u16string(TextOf(&v->upload.uploadUrl)), u"http://127.0.0.1/up_load?a=1_x__X-Evil:__y__");
  EXPECT_EQ(std::u16string(TextOf(&v->upload.uploadFieldName)), u"fi_le__X_ y_ name_z");
  EXPECT_EQ(std::u16string(TextOf(&v->upload.uploadFileName)), u"sc_n _1_.tif");
}

TEST_F(ParametersTest, AccessParameterOnAFullPageViewerWithRegistryBitOneTakesEverything) {
  Setting(u"access", 0x1);
  ViewerInstance* v = Create({{u"access", u"4"}}, kModeFullPage);
  EXPECT_EQ(v->access.restrictions, kRestrictEverything);
  EXPECT_EQ(v->access.registryAccess, kRestrictEverything);
}

TEST_F(ParametersTest, AccessParameterAddsBitsWhenEmbedded) {
  Setting(u"access", 0x1);
  ViewerInstance* v = Create({{u"access", u"4"}});
  EXPECT_EQ(v->access.restrictions, 0x5u);
  EXPECT_EQ(v->access.registryAccess, 0x1u);
}

TEST_F(ParametersTest, AccessParameterIsIgnoredWhenTheOwnerSaysSo) {
  Setting(u"miscflags", kMiscIgnoreAccessParameter);
  ViewerInstance* v = Create({{u"access", u"4"}});
  EXPECT_EQ(v->access.restrictions, 0u);
}

TEST_F(ParametersTest, TheToolbarListOfThePageWinsAndCanAllowWhiteout) {
  store_->Put(StoreRoot::kUser, kMainKeyPath, u"toolbaritems", TextValue(u".full"));
  ViewerInstance* v = Create({{u"toolbaritems", u"PR,SL,NE"}});
  EXPECT_EQ(v->toolbar.toolbarItems, u"PR,SL,NE");
  EXPECT_EQ(v->input.whiteoutAllowed, 1);
  EXPECT_EQ(v->toolbar.itemsParameter.text, nullptr);  // both texts released
  EXPECT_EQ(v->toolbar.itemsSetting.text, nullptr);
}

TEST_F(ParametersTest, LaterWinsUnknownNamesAndNullsAreSkippedQuietly) {
  const char16_t* names[] = {u"orient", nullptr, u"width", u"ORIENT", u"negative"};
  const char16_t* values[] = {u"left", u"x", u"300", u"bottom", nullptr};
  StartLibrary(kLibraryPlugin, std::move(owned_));
  ASSERT_EQ(CreateInstance(&viewer_, kModeEmbedded, nullptr, 5, names, values), kStatusDone);
  EXPECT_EQ(viewer_->settings.orientation, kOrientBottom);
  EXPECT_EQ(viewer_->settings.negative, 0);
  EXPECT_EQ(viewer_->logs.documentLog.warningCount, 1);  // negative=""
  ApplyParameters(viewer_, 3, names, nullptr);
  EXPECT_EQ(viewer_->settings.orientation, kOrientBottom);
}

TEST_F(ParametersTest, CreationNeedsAStartedLibraryAndASlot) {
  ViewerInstance* v = nullptr;
  EXPECT_EQ(CreateInstance(&v, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusFailed);
  EXPECT_EQ(g_messageCount, 1);
  EXPECT_EQ(v, nullptr);
  StartLibrary(kLibraryPlugin, std::move(owned_));
  EXPECT_EQ(CreateInstance(nullptr, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusNoInstance);
  EXPECT_EQ(DestroyInstance(nullptr), kStatusNoInstance);
  EXPECT_EQ(DestroyInstance(&v), kStatusNoInstance);
}

TEST_F(ParametersTest, DestroyDeletesTheTemporaryFilesAndFolder) {
  ViewerInstance* v = Create({});
  std::u16string download, output;
  ASSERT_TRUE(CreateTempFile(nullptr, &download));
  ASSERT_TRUE(CreateTempFile(nullptr, &output));
  std::u16string folder = output + u".d";
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(folder)));
  SetText(&v->download.tempFileName, download.c_str());
  SetText(&v->output.outputTempFile, output.c_str());
  SetText(&v->output.outputTempFolder, folder.c_str());
  EXPECT_EQ(DestroyInstance(&viewer_), kStatusDone);
  EXPECT_EQ(viewer_, nullptr);
  EXPECT_FALSE(FileExists(download));
  EXPECT_FALSE(FileExists(output));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder)));
}

}  // namespace
