#include "controls/toolbar_state.h"

#include <algorithm>
#include <string>
#include <vector>

#include "controls/toolbar_items.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"
#include "viewer/page_view.h"
#include "viewer_fixture.h"

namespace {

TestPage BlankPage(uint32_t width, uint32_t height) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(height, std::vector<uint8_t>(width, 200)));
  return page;
}

class ToolbarBehaviour : public ViewerTest {
 protected:
  void LoadPages(int pages) {
    bytes_ = WriteTestTiffPages(std::vector<TestPage>(static_cast<size_t>(pages), BlankPage(8, 6)));
    int stream = 0;
    ASSERT_EQ(BeginDownload(viewer_, &stream, u"http://127.0.0.1/p.tif", nullptr,
                            static_cast<uint32_t>(bytes_.size())),
              kBeginAccepted);
    ASSERT_EQ(ReceiveData(viewer_, 0, static_cast<int32_t>(bytes_.size()), bytes_.data()),
              static_cast<int32_t>(bytes_.size()));
    EndDownload(viewer_, kReasonDone);
    ASSERT_EQ(viewer_->download.document.pageCount, pages);
    TakeCalls();
  }
  std::string Enabled(std::initializer_list<int32_t> items) {
    std::string states;
    for (int32_t item : items) states += static_cast<char>('0' + ItemEnabled(viewer_, item));
    return states;
  }
  std::vector<uint8_t> bytes_;
};

constexpr std::initializer_list<int32_t> kGated = {
    kItemPrint,  kItemQuickPrint,   kItemOpen, kItemSave,         kItemCopy,     kItemMail,
    kItemUpload, kItemWhiteoutMode, kItemMenu, kItemPreviousPage, kItemNextPage, kItemPageList};

TEST_F(ToolbarBehaviour, EnableStatesFollowLoadingPagingAndRestrictions) {
  //                          PR QP OF SA CC SE UP SL ME PP NP PG
  EXPECT_EQ(Enabled(kGated), "001000011000");  // nothing loaded yet
  LoadPages(3);
  EXPECT_EQ(Enabled(kGated), "111111011011");  // first page
  SetText(&viewer_->upload.uploadUrl, u"http://127.0.0.1/up");
  SetCurrentPage(viewer_, 1);
  EXPECT_EQ(Enabled(kGated), "111111111111");
  SetCurrentPage(viewer_, 2);
  EXPECT_EQ(Enabled(kGated), "111111111101");  // last page
  viewer_->access.restrictions = kRestrictPrint | kRestrictOpenLocal | kRestrictSaveImage |
                                 kRestrictCopyImage | kRestrictMail | kRestrictUpload | kRestrictMarks |
                                 kRestrictContextMenu;
  EXPECT_EQ(Enabled(kGated), "000000000101");
  EXPECT_EQ(ItemEnabled(viewer_, kItemNegative), -1);  // never changes
}

TEST_F(ToolbarBehaviour, ASinglePageDocumentHasNoPageControls) {
  LoadPages(1);
  EXPECT_EQ(Enabled({kItemPreviousPage, kItemNextPage, kItemPageList, kItemPrint}), "0001");
  viewer_->download.loadState = kLoadDownloading;
  EXPECT_EQ(Enabled({kItemOpen, kItemPrint, kItemSave}), "000");
}

TEST_F(ToolbarBehaviour, CheckStatesShowTheSettings) {
  struct CheckCase {
    ViewSettings settings;
    std::vector<int32_t> checked;
  };
  ViewSettings fixed100 = DefaultViewSettings();
  fixed100.sizeMode = kSizeFixed;
  fixed100.raster.resample = 0;
  fixed100.mouseMode = kMouseNone;
  ViewSettings fixed200 = fixed100;
  fixed200.scaleIndex = ScaleIndex(200);
  fixed200.orientation = kOrientLeft;
  fixed200.negative = 1;
  fixed200.mouseMode = kMouseErase;
  ViewSettings best = DefaultViewSettings();
  best.sizeMode = kSizeBestFit;
  best.orientation = kOrientBottom;
  best.mouseMode = kMouseWhiteout;
  ViewSettings height = DefaultViewSettings();
  height.sizeMode = kSizeFitHeight;
  height.orientation = kOrientRight;
  height.mouseMode = kMouseDraw;
  const CheckCase cases[] = {
      {DefaultViewSettings(), {kItemZoomMode, kItemFitWidth, kItemUpright, kItemSmooth}},
      {fixed100, {kItemUpright}},  // 100 percent leaves the fixed-size button up
      {fixed200, {kItemFixedSize, kItemRotatedLeft, kItemNegative, kItemEraseMode}},
      {best, {kItemBestFit, kItemUpsideDown, kItemWhiteoutMode, kItemSmooth}},
      {height, {kItemFitHeight, kItemRotatedRight, kItemDrawMode, kItemSmooth}},
  };
  for (const CheckCase& c : cases) {
    viewer_->settings = c.settings;
    std::vector<int32_t> checked;
    for (int32_t item = 0; item < kItemCount; ++item) {
      if (ItemChecked(viewer_, item) == 1) checked.push_back(item);
    }
    std::sort(checked.begin(), checked.end());
    std::vector<int32_t> expected = c.checked;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(checked, expected);
  }
  EXPECT_EQ(ItemChecked(viewer_, kItemMenu), 0);
  EXPECT_EQ(ItemChecked(viewer_, kItemPrint), -1);
}

TEST_F(ToolbarBehaviour, SizeModeButtonsTellOnlyAChange) {
  PressSizeMode(viewer_, viewer_->settings.sizeMode);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{});
  PressSizeMode(viewer_, kSizeBestFit);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "size(3,100)"}));
}

TEST_F(ToolbarBehaviour, ZoomSteppingMovesOneLevelAndAlwaysTells) {
  struct StepCase {
    int32_t sizeMode, percent, direction;
    int32_t expectedPercent;
    std::vector<std::string> calls;
  };
  const StepCase cases[] = {
      {kSizeFixed, 1600, kZoomIn, 1600, {"size(0,1600)"}},  // beyond the end: nothing but the event
      {kSizeFixed, 5, kZoomOut, 5, {"size(0,5)"}},
      {kSizeFixed, 100, kZoomIn, 200, {"layout(1)", "size(0,200)"}},
      {kSizeFixed, 100, kZoomOut, 70, {"layout(1)", "size(0,70)"}},
      {kSizeFixed, 300, kZoomUnknown, 300, {"size(0,300)"}},
      {kSizeFitWidth, 1600, kZoomIn, 1600, {"layout(1)", "size(0,1600)"}},  // the mode alone changes
      {kSizeBestFit, 17, kZoomOut, 10, {"layout(1)", "size(0,10)"}},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.percent);
    viewer_->settings.sizeMode = c.sizeMode;
    viewer_->settings.scaleIndex = ScaleIndex(c.percent);
    TakeCalls();
    StepScale(viewer_, c.direction);
    EXPECT_EQ(viewer_->settings.sizeMode, kSizeFixed);
    EXPECT_EQ(ScalePercent(viewer_->settings.scaleIndex), c.expectedPercent);
    EXPECT_EQ(TakeCalls(), c.calls);
  }
}

TEST_F(ToolbarBehaviour, ButtonsRunTheirOperations) {
  LoadPages(3);
  struct ActionCase {
    int32_t item;
    std::vector<std::string> events;  // page events only; hooks are left out
  };
  const ActionCase cases[] = {
      {kItemNextPage, {"page(2)"}},
      {kItemPreviousPage, {"page(1)"}},
      {kItemPreviousPage, {}},              // already on the first page
      {kItemTurnLeft, {"orientation(4)"}},  // upright becomes rotated left
      {kItemTurnRight, {"orientation(1)"}},
      {kItemTurnHalf, {"orientation(3)"}},
      {kItemRotatedRight, {"orientation(2)"}},
      {kItemUpright, {"orientation(1)"}},
      {kItemNegative, {"negative(1)"}},
      {kItemPanMode, {"mouse(1)"}},
      {kItemZoomMode, {"mouse(0)"}},
      {kItemDrawMode, {"mouse(5)"}},
      {kItemFitHeight, {"size(2,100)"}},
      {kItemFixedSize, {"size(0,100)"}},
  };
  for (const ActionCase& c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_TRUE(RunToolbarItem(viewer_, c.item));
    std::vector<std::string> events;
    for (const std::string& call : TakeCalls()) {
      if (call.find_first_of("(") != std::string::npos &&
          (call.rfind("page", 0) == 0 || call.rfind("orientation", 0) == 0 ||
           call.rfind("negative", 0) == 0 || call.rfind("mouse", 0) == 0 || call.rfind("size", 0) == 0))
        events.push_back(call);
    }
    EXPECT_EQ(events, c.events);
  }
  const int32_t smooth = viewer_->settings.raster.resample;
  EXPECT_TRUE(RunToolbarItem(viewer_, kItemSmooth));
  EXPECT_NE(viewer_->settings.raster.resample, smooth);
  EXPECT_EQ(RunToolbarItem(viewer_, kItemSeparator), 0);
  EXPECT_EQ(RunToolbarItem(viewer_, kItemMenu), 0);  // the window opens the menu
}

}  // namespace
