#include "controls/context_menu.h"

#include <algorithm>
#include <string>
#include <vector>

#include "viewer_fixture.h"

namespace {

class ContextMenu : public ViewerTest {
 protected:
  // Every command the menu offers now, from all eight popups.
  std::vector<int32_t> Commands() {
    std::vector<int32_t> commands;
    for (int32_t popup = 0; popup < kPopupCount; ++popup) {
      for (const MenuEntry& entry : MenuEntries(viewer_, popup)) {
        if (entry.kind == kEntryCommand) commands.push_back(entry.command);
      }
    }
    return commands;
  }
  bool Offers(int32_t command) {
    const std::vector<int32_t> all = Commands();
    return std::find(all.begin(), all.end(), command) != all.end();
  }
};

// Each restriction bit takes its items away, and only those.
TEST_F(ContextMenu, EachRestrictionBitRemovesItsItems) {
  const std::vector<int32_t> everything = Commands();
  struct Case {
    uint32_t bit;
    std::vector<int32_t> removed;
  };
  const Case cases[] = {
      {kRestrictSaveSettings, {49024}},
      {kRestrictPrint, {49001}},
      {kRestrictSaveImage, {49002}},
      {kRestrictOpenLocal, {49022}},
      {kRestrictDesktop, {49027, 49028, 49029}},
      {kRestrictCopyImage, {40016}},
      {kRestrictCopyLink, {49023, 49020, 49021}},  // the link item needs an href as well
      {kRestrictMail, {49069}},
      {kRestrictMarks, {49085, 49086}},  // white-out and crop need their own permission too
      {kRestrictShowTags, {49078, 49079}},
      {kRestrictUpdateCheck, {49034}},
  };
  for (const Case& c : cases) {
    viewer_->access.restrictions = c.bit;
    std::vector<int32_t> expected;
    for (int32_t command : everything) {
      if (std::find(c.removed.begin(), c.removed.end(), command) == c.removed.end())
        expected.push_back(command);
    }
    EXPECT_EQ(Commands(), expected) << "bit " << c.bit;
  }
}

TEST_F(ContextMenu, ItemsThatNeedSomethingAppearWithIt) {
  EXPECT_FALSE(Offers(49026));
  EXPECT_FALSE(Offers(49115));
  EXPECT_FALSE(Offers(49083));
  SetText(&viewer_->params.href, u"http://127.0.0.1/next");
  SetText(&viewer_->upload.uploadUrl, u"http://127.0.0.1/up");
  viewer_->input.whiteoutAllowed = 1;
  EXPECT_TRUE(Offers(49026));
  EXPECT_TRUE(Offers(49115));
  EXPECT_TRUE(Offers(49083));
  viewer_->access.restrictions = kRestrictUpload | kRestrictMarks;
  EXPECT_FALSE(Offers(49115));
  EXPECT_FALSE(Offers(49083));
}

// A command the user could not have chosen does nothing when asked for.
TEST_F(ContextMenu, AbsentGreyedAndUnknownCommandsDoNotRun) {
  viewer_->access.restrictions = kRestrictPrint;
  EXPECT_EQ(RunMenuCommand(viewer_, 49001), 0);
  EXPECT_EQ(RunMenuCommand(viewer_, 49015), 0);  // the first page is shown: Previous is greyed
  EXPECT_EQ(RunMenuCommand(viewer_, 12345), 0);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{});
  EXPECT_EQ(RunMenuCommand(viewer_, 49004), 1);
  EXPECT_EQ(viewer_->settings.negative, 1);
}

TEST_F(ContextMenu, FixedZoomTellsOnlyAChangeAndFitAlwaysTells) {
  TakeCalls();
  EXPECT_EQ(RunMenuCommand(viewer_, 49045), 1);  // 50 %
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "size(0,50)"}));
  EXPECT_EQ(RunMenuCommand(viewer_, 49045), 1);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{});
  RunMenuCommand(viewer_, 49037);  // fit width
  RunMenuCommand(viewer_, 49037);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "size(1,50)", "layout(1)", "size(1,50)"}));
}

}  // namespace
