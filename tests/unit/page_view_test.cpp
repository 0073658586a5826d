#include "viewer/page_view.h"

#include <string>
#include <vector>

#include "bitmap_fixtures.h"
#include "document/bitmap_ops.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"
#include "viewer/settings.h"
#include "viewer_fixture.h"

namespace {

using fixtures::PixelAt;

TestPage GreyPage(uint32_t width, uint32_t height, uint8_t seed) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(height, std::vector<uint8_t>(width)));
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) page.rows[0][y][x] = static_cast<uint8_t>(seed + x * 9 + y * 31);
  }
  return page;
}

// Where picture pixel (x, y) of a w x h page goes after `quarters` clockwise turns.
void Turned(int32_t quarters, int32_t w, int32_t h, int32_t x, int32_t y, int32_t* tx, int32_t* ty) {
  switch (quarters) {
    case 1:
      *tx = h - 1 - y;
      *ty = x;
      break;
    case 2:
      *tx = w - 1 - x;
      *ty = h - 1 - y;
      break;
    case 3:
      *tx = y;
      *ty = w - 1 - x;
      break;
    default:
      *tx = x;
      *ty = y;
  }
}

TEST(TurnBitmap, EveryQuarterTurnMovesEachPixelClockwise) {
  for (int32_t bits : {1, 8, 24}) {
    for (int32_t quarters : {0, 1, 2, 3, 5, -1}) {
      PageBitmap source, turned;
      ASSERT_TRUE(fixtures::MakeNoiseBitmap(&source, bits, 13, 6, 7));
      ASSERT_TRUE(fixtures::MakeNoiseBitmap(&turned, bits, 13, 6, 7));
      MessageLog log;
      ASSERT_TRUE(TurnBitmap(&turned, quarters, &log));
      const int32_t q = ((quarters % 4) + 4) % 4;
      ASSERT_EQ(HeaderOf(&turned)->width, q % 2 ? 6 : 13);
      for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 13; ++x) {
          int32_t tx, ty;
          Turned(q, 13, 6, x, y, &tx, &ty);
          ASSERT_EQ(PixelAt(&turned, tx, ty), PixelAt(&source, x, y))
              << bits << " bits, " << quarters << " at " << x << "," << y;
        }
      }
      ReleasePageBitmap(&source);
      ReleasePageBitmap(&turned);
    }
  }
}

class PageView : public ViewerTest {
 protected:
  // A three-page document of pages 20x10, 30x15 and 12x40, streamed in.
  void LoadDocument() {
    bytes_ = WriteTestTiffPages({GreyPage(20, 10, 0), GreyPage(30, 15, 50), GreyPage(12, 40, 100)});
    int stream = 0;
    ASSERT_EQ(BeginDownload(viewer_, &stream, u"http://127.0.0.1/p.tif", nullptr,
                            static_cast<uint32_t>(bytes_.size())),
              kBeginAccepted);
    ASSERT_EQ(ReceiveData(viewer_, 0, static_cast<int32_t>(bytes_.size()), bytes_.data()),
              static_cast<int32_t>(bytes_.size()));
    EndDownload(viewer_, kReasonDone);
    ASSERT_EQ(viewer_->download.document.pageCount, 3) << LogText(viewer_->logs.documentLog);
    TakeCalls();
  }
  int32_t Width() const { return HeaderOf(&viewer_->view.pageBitmap)->width; }
  int32_t Height() const { return HeaderOf(&viewer_->view.pageBitmap)->height; }

  std::vector<uint8_t> bytes_;
};

TEST_F(PageView, InitialPageIsShownAfterTheDownload) {
  viewer_->download.initialPage = 7;  // beyond the end: the last page
  LoadDocument();
  EXPECT_EQ(viewer_->download.currentPage, 2);
  EXPECT_EQ(Width(), 12);
  EXPECT_EQ(viewer_->view.correctedWidth, 12);
  EXPECT_EQ(viewer_->view.correctedHeight, 40);
  EXPECT_EQ(viewer_->download.currentDirectory, 2);
  EXPECT_TRUE(HasValidPage(viewer_));
}

TEST_F(PageView, PagesChangeWithTheirEvent) {
  LoadDocument();
  EXPECT_EQ(SetCurrentPage(viewer_, 0), 1);
  EXPECT_TRUE(TakeCalls().empty()) << "the page shown already";
  EXPECT_EQ(SetCurrentPage(viewer_, 1), 1);
  EXPECT_EQ(Width(), 30);
  EXPECT_EQ(viewer_->view.pageInfo.width, 30u);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "page(2)"}));
  EXPECT_EQ(SetCurrentPage(viewer_, 3), 0);
  EXPECT_EQ(SetCurrentPage(viewer_, -1), 0);
  EXPECT_EQ(viewer_->download.currentPage, 1);
  EXPECT_TRUE(TakeCalls().empty());

  EXPECT_EQ(StepPage(viewer_, kStepLast), 1);
  EXPECT_EQ(viewer_->download.currentPage, 2);
  EXPECT_EQ(StepPage(viewer_, kStepNext), 0);
  EXPECT_EQ(StepPage(viewer_, kStepPrevious), 1);
  EXPECT_EQ(viewer_->download.currentPage, 1);
  EXPECT_EQ(StepPage(viewer_, kStepFirst), 1);
  EXPECT_EQ(StepPage(viewer_, kStepPrevious), 0);
  EXPECT_EQ(StepPage(viewer_, 5), 0);
  EXPECT_EQ(viewer_->download.currentPage, 0);
  EXPECT_EQ(Width(), 20);
}

// The page's print routing tags are read only when the page asked for it.
TEST_F(PageView, PrintRoutingReadsThePrintTagsOfEachShownPage) {
  TestPage routed = GreyPage(8, 8, 0);
  routed.extraTags = [](TIFF* t) {
    TIFFSetField(t, TIFFTAG_PAGENAME, "3");
    TIFFSetField(t, TIFFTAG_MODEL, "12");
    TIFFSetField(t, TIFFTAG_TARGETPRINTER, "2");
  };
  bytes_ = WriteTestTiffPages({GreyPage(8, 8, 9), routed});
  struct Case {
    int32_t printRouting;
    int32_t pageName, model, targetPrinter;
  };
  for (const Case& c : {Case{1, 3, 12, 2}, Case{0, -1, -1, -1}}) {
    Recreate();
    viewer_->print.printRouting = c.printRouting;
    int stream = 0;
    ASSERT_EQ(BeginDownload(viewer_, &stream, u"http://127.0.0.1/r.tif", nullptr,
                            static_cast<uint32_t>(bytes_.size())),
              kBeginAccepted);
    ASSERT_EQ(ReceiveData(viewer_, 0, static_cast<int32_t>(bytes_.size()), bytes_.data()),
              static_cast<int32_t>(bytes_.size()));
    EndDownload(viewer_, kReasonDone);
    ASSERT_EQ(SetCurrentPage(viewer_, 1), 1);
    EXPECT_EQ(viewer_->view.pageInfo.pageName, c.pageName) << c.printRouting;
    EXPECT_EQ(viewer_->view.pageInfo.model, c.model) << c.printRouting;
    EXPECT_EQ(viewer_->view.pageInfo.targetPrinter, c.targetPrinter) << c.printRouting;
  }
}

TEST_F(PageView, PageWithoutPictureIsReportedInThePageLog) {
  LoadDocument();
  EXPECT_EQ(ShowPage(viewer_, 5), 0);
  EXPECT_EQ(LogText(viewer_->logs.pageLog), "Error: Unable to display image; unknown reason\r\n");
  EXPECT_EQ(Status(viewer_), "  Unable to display image");
  EXPECT_FALSE(HasValidPage(viewer_));
  EXPECT_EQ(viewer_->view.pageBitmap.block, nullptr);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"invalidate(1)", "layout(1)"}));
  EXPECT_EQ(ShowPage(viewer_, 1), 1);
  EXPECT_EQ(Status(viewer_), "");
  EXPECT_EQ(viewer_->logs.pageLog.errorCount, 0);
}

TEST_F(PageView, ViewerOrientationAndNegativeApplyToEveryLoadedPage) {
  LoadDocument();
  const Picture upright = PictureOf(viewer_->view.pageBitmap);
  viewer_->settings.orientation = kOrientRight;
  viewer_->settings.negative = 1;
  ASSERT_EQ(ShowPage(viewer_, 0), 1);
  ASSERT_EQ(Width(), 10);
  ASSERT_EQ(Height(), 20);
  EXPECT_EQ(viewer_->view.correctedWidth, 10);
  const Picture shown = PictureOf(viewer_->view.pageBitmap);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 20; ++x) {
      int32_t tx, ty;
      Turned(1, 20, 10, x, y, &tx, &ty);
      ASSERT_EQ(shown.rgb[ty * 10 + tx], upright.rgb[y * 20 + x] ^ 0xFFFFFF) << x << "," << y;
    }
  }
}

TEST_F(PageView, OrientationWrapsTurnsThePageAndTellsThePage) {
  LoadDocument();
  SetOrientation(viewer_, -1);
  EXPECT_EQ(viewer_->settings.orientation, kOrientLeft);
  EXPECT_EQ(Width(), 10);
  EXPECT_EQ(viewer_->view.correctedHeight, 20);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "orientation(4)"}));
  SetOrientation(viewer_, viewer_->settings.orientation + 1);
  EXPECT_EQ(viewer_->settings.orientation, kOrientTop);
  EXPECT_EQ(Width(), 20);
  SetOrientation(viewer_, 2);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "orientation(1)", "rebuild()",
                                                   "invalidate(0)", "orientation(3)"}));
  SetOrientation(viewer_, 2);
  EXPECT_TRUE(TakeCalls().empty()) << "unchanged";
  // Turned back to upright, the page is the decoded one again.
  const Picture half = PictureOf(viewer_->view.pageBitmap);
  SetOrientation(viewer_, 0);
  ASSERT_EQ(ShowPage(viewer_, 0), 1);
  const Picture upright = PictureOf(viewer_->view.pageBitmap);
  EXPECT_EQ(half.rgb.front(), upright.rgb.back());
  EXPECT_EQ(half.rgb.back(), upright.rgb.front());
}

TEST_F(PageView, NegativeAndSmoothingToggle) {
  LoadDocument();
  const Picture before = PictureOf(viewer_->view.pageBitmap);
  ToggleNegative(viewer_);
  EXPECT_EQ(viewer_->settings.negative, 1);
  EXPECT_EQ(PictureOf(viewer_->view.pageBitmap).rgb[5], before.rgb[5] ^ 0xFFFFFF);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"rebuild()", "invalidate(0)", "negative(1)"}));
  ToggleNegative(viewer_);
  EXPECT_EQ(PictureOf(viewer_->view.pageBitmap).rgb, before.rgb);
  EXPECT_EQ(TakeCalls().back(), "negative(0)");

  const int32_t smooth = viewer_->settings.raster.resample;
  ToggleSmooth(viewer_);
  EXPECT_EQ(viewer_->settings.raster.resample, !smooth);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"rebuild()", "invalidate(0)"}));
  UnloadDocument(viewer_, kLeaveView);
  TakeCalls();
  ToggleSmooth(viewer_);
  ToggleNegative(viewer_);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"negative(1)"})) << "nothing to redraw without a page";
}

TEST_F(PageView, SizeModeAndScale) {
  EXPECT_EQ(SetSizeMode(viewer_, kSizeBestFit), 1);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "size(3,100)"}));
  EXPECT_EQ(SetSizeMode(viewer_, 4), 0);
  EXPECT_EQ(SetSizeMode(viewer_, -1), 0);
  EXPECT_EQ(viewer_->settings.sizeMode, kSizeBestFit);
  SetScalePercent(viewer_, 190);  // nearest factor: 200 percent
  EXPECT_EQ(viewer_->settings.sizeMode, kSizeFixed);
  EXPECT_EQ(ScalePercent(viewer_->settings.scaleIndex), 200);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"layout(1)", "size(0,200)"}));
  SetScalePercent(viewer_, 200);
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(PageView, ZoomIsRememberedUnlessSettingsMayNotBeSaved) {
  SetZoomPercent(viewer_, 300);
  EXPECT_EQ(ZoomPercent(viewer_->settings.zoomIndex), 300);
  const StoredValue* stored = store_->Find(StoreRoot::kUser, kMainKeyPath, u"zscalepct");
  ASSERT_NE(stored, nullptr);
  store_->journal.clear();
  SetZoomPercent(viewer_, 300);
  EXPECT_TRUE(store_->journal.empty()) << "unchanged";
  viewer_->access.restrictions |= kRestrictSaveSettings;
  SetZoomPercent(viewer_, 50);
  EXPECT_EQ(ZoomPercent(viewer_->settings.zoomIndex), 50);
  EXPECT_TRUE(store_->journal.empty());
}

TEST_F(PageView, MouseModes) {
  viewer_->settings.mouseMode = kMouseZoom;
  EXPECT_EQ(SetMouseMode(viewer_, kMouseZoom), 1);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(SetMouseMode(viewer_, kMouseCrop), 1);
  EXPECT_TRUE(viewer_->input.cropFeature);
  EXPECT_EQ(SetMouseMode(viewer_, kMouseErase), 1);
  EXPECT_TRUE(viewer_->analysis.eraserOutline);
  EXPECT_EQ(SetMouseMode(viewer_, kMousePan), 1);
  EXPECT_FALSE(viewer_->analysis.eraserOutline);
  EXPECT_EQ(SetMouseMode(viewer_, 7), 0);
  EXPECT_EQ(viewer_->settings.mouseMode, kMousePan);
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"mouse(4)", "invalidate(0)", "mouse(6)", "invalidate(0)", "mouse(1)"}));
}

}  // namespace
