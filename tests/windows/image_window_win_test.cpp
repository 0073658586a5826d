// The image window against real Win32: a top-level window stands in for the
// browser's plug-in window, an instance with a decoded page is attached to
// it, and what the window shows is read back from its device context and
// compared with the display bitmap that the engine computes for the same page.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "analysis/page_markup.h"
#include "document/scale_for_display.h"
#include "document/stretch_copy.h"
#include "plugin/instance_bridge.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/main_view_win.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"
#include "viewer/viewer_instance.h"

namespace {

constexpr int kClientWidth = 200;
constexpr int kClientHeight = 150;
constexpr uint32_t kBackground = 0x404040;

TestPage GreyPattern(uint32_t width, uint32_t height) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.rows.assign(1, {});
  for (uint32_t y = 0; y < height; ++y) {
    std::vector<uint8_t> row(width);
    for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(x * 7 + y * 13);
    page.rows[0].push_back(row);
  }
  return page;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void HoldControl(bool held) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

class ImageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartLibrary(kLibraryPlugin, nullptr);
    StartWindowLibrary(GetModuleHandleW(nullptr));
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = GetModuleHandleW(nullptr);
    host.lpszClassName = L"MervaneTestHost";
    RegisterClassW(&host);
    plugin_ = CreateWindowExW(0, L"MervaneTestHost", L"plug-in", WS_POPUP | WS_VISIBLE, 40, 40, kClientWidth,
                              kClientHeight, nullptr, nullptr, host.hInstance, nullptr);
    ASSERT_NE(plugin_, nullptr);
    hostProcedure_ = GetWindowLongPtrW(plugin_, GWLP_WNDPROC);
    ASSERT_EQ(CreateInstance(&viewer_, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusDone);
    // These tests are about the image window alone: it fills the plug-in window.
    viewer_->toolbar.toolbarPosition = kToolbarNone;
  }

  void TearDown() override {
    DestroyInstance(&viewer_);
    if (plugin_) DestroyWindow(plugin_);
    UnregisterClassW(L"MervaneTestHost", GetModuleHandleW(nullptr));
    StopWindowLibrary();
    StopLibrary();
    HoldControl(false);
  }

  // The page as the download would leave it: document in, first page decoded.
  void LoadDocument(const TestPage& page) {
    bytes_ = WriteTestTiff(page);
    viewer_->download.document = DocumentOver(bytes_);
    viewer_->download.hasPages = viewer_->download.document.pageCount > 0;
    ASSERT_TRUE(LoadPage(&viewer_->download.document, 0, nullptr, &viewer_->view.pageInfo,
                         &viewer_->view.pageBitmap, &viewer_->logs.pageLog));
    viewer_->view.pageInfo.valid = 1;
    viewer_->download.loadState = kLoadDone;
  }

  void Attach() {
    ASSERT_EQ(SetWindow(viewer_, plugin_), NPERR_NO_ERROR);
    image_ = static_cast<HWND>(viewer_->windows.imageWindow);
    ASSERT_NE(image_, nullptr);
    Pump();
  }

  // The image window's client area as 0xRRGGBB, top row first.
  Picture Capture() {
    UpdateWindow(image_);
    RECT client;
    GetClientRect(image_, &client);
    Picture shot;
    shot.width = static_cast<uint32_t>(client.right);
    shot.height = static_cast<uint32_t>(client.bottom);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC windowDc = GetDC(image_);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    shot.rgb.assign(pixels, pixels + shot.width * shot.height);
    for (uint32_t& p : shot.rgb) p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(image_, windowDc);
    return shot;
  }

  // Every window pixel shows the expected picture moved by the scroll
  // position, or the background outside it; reports the first mismatch.
  void ExpectShows(const Picture& shot, const Picture& expected, POINT scroll) {
    for (uint32_t y = 0; y < shot.height; ++y) {
      for (uint32_t x = 0; x < shot.width; ++x) {
        const uint32_t px = x + scroll.x, py = y + scroll.y;
        const uint32_t want = px < expected.width && py < expected.height
                                  ? expected.rgb[py * expected.width + px]
                                  : kBackground;
        const uint32_t got = shot.rgb[y * shot.width + x];
        ASSERT_EQ(got, want) << "at window pixel " << x << "," << y;
      }
    }
  }

  Picture Displayed(int32_t width, int32_t height, bool stretchOnly) {
    PageBitmap scaled;
    MessageLog log;
    int ok = stretchOnly ? StretchCopy(&viewer_->view.pageBitmap, &scaled, width, height)
                         : ScaleForDisplay(&viewer_->settings.raster, &log, &viewer_->view.pageBitmap,
                                           &scaled, width, height, 0);
    EXPECT_TRUE(ok);
    Picture picture = ok ? PictureOf(scaled) : Picture{};
    ReleasePageBitmap(&scaled);
    return picture;
  }

  void SendKey(WPARAM key, bool control) {
    HoldControl(control);
    SendMessageW(plugin_, WM_KEYDOWN, key, 1);
    HoldControl(false);
    Pump();
  }

  void SendWheel(int delta, WPARAM keys) {
    SendMessageW(plugin_, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))),
                 MAKELPARAM(60, 60));
    Pump();
  }

  HWND plugin_ = nullptr;
  HWND image_ = nullptr;
  LONG_PTR hostProcedure_ = 0;
  ViewerInstance* viewer_ = nullptr;
  std::vector<uint8_t> bytes_;
};

TEST_F(ImageWindowTest, BestFitShowsTheScaledDisplayBitmapOverTheBackground) {
  LoadDocument(GreyPattern(300, 200));
  viewer_->settings.sizeMode = kSizeBestFit;
  Attach();
  EXPECT_EQ(viewer_->view.mainView.renderMethod, kRenderOwnBitmap);
  ASSERT_EQ(viewer_->view.mainView.width, 200);
  ASSERT_EQ(viewer_->view.mainView.height, 133);
  ExpectShows(Capture(), Displayed(200, 133, false), {0, 0});
}

TEST_F(ImageWindowTest, NegativeSmoothingAndHalfTurnsRepaintTheChangedPicture) {
  LoadDocument(GreyPattern(300, 200));
  viewer_->settings.sizeMode = kSizeBestFit;
  Attach();
  const Picture before = Capture();
  // Each change keeps the view's size, so only a rebuilt display bitmap
  // shows it; the expectation is computed from the changed page bitmap.
  ToggleNegative(viewer_);
  Pump();
  const Picture negative = Capture();
  EXPECT_NE(negative.rgb, before.rgb);
  ExpectShows(negative, Displayed(200, 133, false), {0, 0});

  ToggleSmooth(viewer_);
  Pump();
  ASSERT_FALSE(viewer_->settings.raster.resample);
  const Picture rough = Capture();
  EXPECT_NE(rough.rgb, negative.rgb);
  ExpectShows(rough, Displayed(200, 133, false), {0, 0});

  SetOrientation(viewer_, 2);
  Pump();
  ExpectShows(Capture(), Displayed(200, 133, false), {0, 0});
}

TEST_F(ImageWindowTest, EnlargedPageIsStretchedByTheDeviceAndScrolledByKeys) {
  LoadDocument(GreyPattern(120, 90));
  viewer_->settings.sizeMode = kSizeFixed;
  viewer_->settings.scaleIndex = ScaleIndex(200);
  Attach();
  ASSERT_EQ(viewer_->view.mainView.renderMethod, kRenderStretched);
  ASSERT_EQ(viewer_->view.mainView.width, 240);
  ASSERT_EQ(viewer_->view.mainView.height, 180);
  const Picture doubled = Displayed(240, 180, true);
  ExpectShows(Capture(), doubled, {0, 0});

  RECT client;
  GetClientRect(image_, &client);
  const int32_t maxY = 180 - client.bottom, maxX = 240 - client.right;
  ASSERT_GT(maxY, 0);
  SendKey(VK_DOWN, false);
  EXPECT_EQ(viewer_->view.scroll.y, std::min(30, maxY));
  SendKey(VK_END, false);
  EXPECT_EQ(viewer_->view.scroll.y, maxY);
  SendKey(VK_NEXT, false);  // already at the bottom
  EXPECT_EQ(viewer_->view.scroll.y, maxY);
  SendKey(VK_RIGHT, false);
  EXPECT_EQ(viewer_->view.scroll.x, std::min(30, maxX));
  // What was scrolled in is painted from the same page as what was moved.
  ExpectShows(Capture(), doubled, {viewer_->view.scroll.x, viewer_->view.scroll.y});
  SendKey(VK_HOME, false);
  EXPECT_EQ(viewer_->view.scroll.y, 0);
  SCROLLINFO info{sizeof(info), SIF_POS | SIF_PAGE | SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(image_, SB_VERT, &info);
  EXPECT_EQ(info.nPos, 0);
  EXPECT_EQ(info.nMax, 179);
  EXPECT_EQ(static_cast<LONG>(info.nPage), client.bottom);
}

TEST_F(ImageWindowTest, PageKeysStepByTheClientHeightLessTen) {
  LoadDocument(GreyPattern(100, 1000));
  viewer_->settings.sizeMode = kSizeFitWidth;
  Attach();
  RECT client;
  GetClientRect(image_, &client);
  ASSERT_TRUE(GetWindowLongW(image_, GWL_STYLE) & WS_VSCROLL);
  SendKey(VK_NEXT, false);
  EXPECT_EQ(viewer_->view.scroll.y, client.bottom - 10);
  SendKey(VK_PRIOR, false);
  EXPECT_EQ(viewer_->view.scroll.y, 0);
  // With Ctrl the same key pages, and there is no page after the only one.
  SendKey(VK_NEXT, true);
  EXPECT_EQ(viewer_->view.scroll.y, 0);
  EXPECT_EQ(viewer_->download.currentPage, 0);
  EXPECT_TRUE(viewer_->view.pageInfo.valid);
}

TEST_F(ImageWindowTest, WheelNotchScrollsThreeLinesAndCtrlWheelZoomsOnlyAtFixedScale) {
  LoadDocument(GreyPattern(100, 1000));
  viewer_->settings.sizeMode = kSizeFitWidth;
  Attach();
  SendWheel(-120, 0);
  EXPECT_EQ(viewer_->view.scroll.y, 90);
  SendWheel(60, 0);  // half a notch up: two lines, the rest kept
  EXPECT_EQ(viewer_->view.scroll.y, 30);
  EXPECT_EQ(viewer_->view.wheelAccumulator, -20);
  const int32_t fitWidth = viewer_->view.mainView.width;
  SendWheel(120, MK_CONTROL);
  EXPECT_EQ(viewer_->settings.scaleIndex, 5);
  EXPECT_EQ(viewer_->view.mainView.width, fitWidth);

  viewer_->settings.sizeMode = kSizeFixed;
  LayoutMainViewInWindow(viewer_, 0);
  EXPECT_EQ(viewer_->view.mainView.width, 100);
  SendWheel(120, MK_CONTROL);  // up enlarges by default
  EXPECT_EQ(viewer_->settings.scaleIndex, 4);
  EXPECT_EQ(viewer_->view.mainView.width, 200);
  viewer_->prefs.mouseWheelDirection = 0;
  SendWheel(120, MK_CONTROL);
  EXPECT_EQ(viewer_->settings.scaleIndex, 5);
  EXPECT_EQ(viewer_->view.mainView.width, 100);

  viewer_->access.miscFlags |= kMiscIgnoreWheel;
  const int32_t before = viewer_->view.scroll.y;
  SendWheel(-120, 0);
  EXPECT_EQ(viewer_->view.scroll.y, before);
  EXPECT_GT(viewer_->view.mainView.height - before, kClientHeight);  // there was room to scroll
}

TEST_F(ImageWindowTest, WhiteoutsArePaintedOverThePage) {
  LoadDocument(GreyPattern(120, 90));
  viewer_->settings.sizeMode = kSizeFixed;
  Attach();
  ASSERT_TRUE(AddWhiteout(viewer_, {10, 20, 29, 24}));
  InvalidateRect(image_, nullptr, FALSE);
  Picture expected = Displayed(120, 90, true);
  for (uint32_t y = 20; y <= 24; ++y)
    for (uint32_t x = 10; x <= 29; ++x) expected.rgb[y * expected.width + x] = 0xF8F8F8;
  ExpectShows(Capture(), expected, {0, 0});
}

TEST_F(ImageWindowTest, PanningScrollsByTheSensitivityTimesTheDrag) {
  LoadDocument(GreyPattern(120, 90));
  viewer_->settings.sizeMode = kSizeFixed;
  viewer_->settings.scaleIndex = ScaleIndex(200);
  viewer_->settings.mouseMode = kMousePan;
  Attach();
  SendMessageW(image_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  EXPECT_TRUE(viewer_->input.panning);
  SendMessageW(image_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 90));
  EXPECT_EQ(viewer_->view.scroll.y, 20);
  SendMessageW(image_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 95));
  EXPECT_EQ(viewer_->view.scroll.x, 0);  // never left of the page
  EXPECT_EQ(viewer_->view.scroll.y, 10);
  SendMessageW(image_, WM_LBUTTONUP, 0, MAKELPARAM(110, 95));
  EXPECT_FALSE(viewer_->input.panning);
  ExpectShows(Capture(), Displayed(240, 180, true), {0, 10});
}

TEST_F(ImageWindowTest, DraggedBandBecomesAWhiteoutAndACtrlClickPans) {
  LoadDocument(GreyPattern(120, 90));
  viewer_->settings.sizeMode = kSizeFixed;
  viewer_->settings.mouseMode = kMouseWhiteout;
  viewer_->input.whiteoutAllowed = 1;
  Attach();
  SendMessageW(image_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
  SendMessageW(image_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(29, 24));
  EXPECT_EQ(viewer_->input.band.state, kBandDragging);
  SendMessageW(image_, WM_LBUTTONUP, 0, MAKELPARAM(29, 24));
  EXPECT_EQ(viewer_->input.band.state, kBandIdle);
  Picture expected = Displayed(120, 90, true);
  for (uint32_t y = 20; y <= 24; ++y)
    for (uint32_t x = 10; x <= 29; ++x) expected.rgb[y * expected.width + x] = 0xF8F8F8;
  ExpectShows(Capture(), expected, {0, 0});

  SendMessageW(image_, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(50, 50));
  EXPECT_TRUE(viewer_->input.panning);
  EXPECT_EQ(viewer_->input.band.state, kBandIdle);
  SendMessageW(image_, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
}

TEST_F(ImageWindowTest, EmptyWindowShowsTheLoggedLinesOnlyWhenThereAreAny) {
  Attach();
  Picture plain = Capture();
  for (uint32_t p : plain.rgb) ASSERT_EQ(p, kBackground);
  LogError(&viewer_->logs.documentLog, "Not a TIFF file");
  InvalidateRect(image_, nullptr, TRUE);
  Picture logged = Capture();
  uint32_t textBackground = 0, above = 0;
  for (uint32_t y = 0; y < logged.height; ++y) {
    for (uint32_t x = 0; x < logged.width; ++x) {
      if (logged.rgb[y * logged.width + x] != 0x606060) continue;
      ++textBackground;
      if (y < 23 || x < 4) ++above;
    }
  }
  EXPECT_GT(textBackground, 100u);
  EXPECT_EQ(above, 0u);
}

TEST_F(ImageWindowTest, DetachGivesTheWindowBackAndTheSameWindowOnlyLaysOut) {
  LoadDocument(GreyPattern(120, 90));
  Attach();
  EXPECT_EQ(GetPropW(plugin_, L"mvtf"), viewer_);
  EXPECT_NE(GetWindowLongPtrW(plugin_, GWLP_WNDPROC), hostProcedure_);
  WCHAR name[32];
  GetClassNameW(image_, name, 32);
  EXPECT_STREQ(name, L"KOBTiff1Class");

  ASSERT_EQ(SetWindow(viewer_, plugin_), NPERR_NO_ERROR);
  EXPECT_EQ(viewer_->windows.imageWindow, image_);

  // Another window: the first is given back before the second is taken.
  HWND other = CreateWindowExW(0, L"MervaneTestHost", L"other", WS_POPUP | WS_VISIBLE, 300, 40, 120, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_EQ(SetWindow(viewer_, other), NPERR_NO_ERROR);
  EXPECT_FALSE(IsWindow(image_));
  EXPECT_EQ(GetPropW(plugin_, L"mvtf"), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(plugin_, GWLP_WNDPROC), hostProcedure_);
  EXPECT_EQ(GetPropW(other, L"mvtf"), viewer_);
  HWND second = static_cast<HWND>(viewer_->windows.imageWindow);
  ASSERT_TRUE(IsWindow(second));
  EXPECT_EQ(GetParent(second), other);

  ASSERT_EQ(SetWindow(viewer_, nullptr), NPERR_NO_ERROR);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(viewer_->windows.imageWindow, nullptr);
  EXPECT_EQ(GetPropW(other, L"mvtf"), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(other, GWLP_WNDPROC), hostProcedure_);
  DestroyWindow(other);
}

TEST_F(ImageWindowTest, StatusLineFollowsTheInstanceFromWindowToWindow) {
  auto statusOf = [](HWND image) { return FindWindowExW(image, nullptr, L"Static", nullptr); };
  auto textOf = [](HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return std::wstring(text);
  };
  Attach();
  viewer_->download.loadState = kLoadDownloading;
  SetStatusText(viewer_, u"  Downloading\u2026 5% of 10K");
  SetProgress(viewer_, 1, 2);
  HWND status = statusOf(image_);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(static_cast<HWND>(viewer_->windows.statusWindow), status);
  EXPECT_TRUE(GetWindowLongPtrW(status, GWL_STYLE) & SS_CENTERIMAGE);

  // A new window during the download shows where the download stands.
  HWND other = CreateWindowExW(0, L"MervaneTestHost", L"other", WS_POPUP | WS_VISIBLE, 300, 40, 120, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_EQ(SetWindow(viewer_, other), NPERR_NO_ERROR);
  EXPECT_FALSE(IsWindow(status));
  HWND image = static_cast<HWND>(viewer_->windows.imageWindow);
  HWND again = statusOf(image);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(static_cast<HWND>(viewer_->windows.statusWindow), again);
  EXPECT_EQ(textOf(again), L"  Downloading\u2026");
  EXPECT_EQ(viewer_->windows.progressWindow, nullptr);

  // The browser may destroy its window before it tells the plug-in; the
  // status line dies with it and is made again in the next window.
  DestroyWindow(other);
  EXPECT_EQ(viewer_->windows.imageWindow, nullptr);
  EXPECT_EQ(viewer_->windows.statusWindow, nullptr);
  viewer_->download.loadState = kLoadDone;
  ASSERT_EQ(SetWindow(viewer_, plugin_), NPERR_NO_ERROR);
  SetStatusText(viewer_, u"  Download failed");
  image_ = static_cast<HWND>(viewer_->windows.imageWindow);
  ASSERT_NE(statusOf(image_), nullptr);
  EXPECT_EQ(textOf(statusOf(image_)), L"  Download failed");
}

TEST_F(ImageWindowTest, TheViewerCursorsComeFromTheModule) {
  for (CursorKind kind : {kCursorMagnify, kCursorPanOpen, kCursorPanHeld, kCursorPencil, kCursorEraser}) {
    EXPECT_NE(CursorOf(kind), LoadCursorW(nullptr, IDC_ARROW)) << kind;
  }
  EXPECT_NE(viewer_->windows.backgroundBrush, nullptr);
  EXPECT_NE(viewer_->windows.linkCursor, nullptr);
}

}  // namespace
