// The toolbar against real Win32: an instance attached to a stand-in for the
// browser's window makes its toolbar there; the controls' places and icons,
// the texts its tooltips ask for, and a toolbar that cannot be made.
#include <windows.h>
// The common controls' header needs the Windows types first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "controls/toolbar_items.h"
#include "controls/toolbar_layout.h"
#include "controls/toolbar_win.h"
#include "plugin/instance_bridge.h"
#include "tiff_fixture.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"

namespace {

constexpr int kClientWidth = 700;
constexpr int kClientHeight = 300;

std::vector<std::string>& Boxes() {
  static std::vector<std::string> boxes;
  return boxes;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

class ToolbarWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Boxes().clear();
    SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t) {
      Boxes().push_back(Utf16ToUtf8(text));
      return 1;
    });
    StartLibrary(kLibraryPlugin, nullptr);
    StartWindowLibrary(GetModuleHandleW(nullptr));
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = GetModuleHandleW(nullptr);
    host.lpszClassName = L"MervaneToolbarHost";
    RegisterClassW(&host);
    plugin_ = CreateWindowExW(0, L"MervaneToolbarHost", L"plug-in", WS_POPUP | WS_VISIBLE, 20, 20,
                              kClientWidth, kClientHeight, nullptr, nullptr, host.hInstance, nullptr);
    ASSERT_NE(plugin_, nullptr);
    ASSERT_EQ(CreateInstance(&viewer_, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusDone);
  }

  void TearDown() override {
    DestroyInstance(&viewer_);
    if (plugin_) DestroyWindow(plugin_);
    UnregisterClassW(L"MervaneToolbarHost", GetModuleHandleW(nullptr));
    StopWindowLibrary();
    StopLibrary();
    SetMessageBoxHook(nullptr);
  }

  void Attach() {
    ASSERT_EQ(SetWindow(viewer_, plugin_), NPERR_NO_ERROR);
    Pump();
  }

  // A document of `pages` small pages, as the download leaves it.
  void LoadPages(int pages) {
    TestPage page;
    page.width = 8;
    page.height = 6;
    page.rows.assign(1, std::vector<std::vector<uint8_t>>(6, std::vector<uint8_t>(8, 100)));
    bytes_ = WriteTestTiffPages(std::vector<TestPage>(static_cast<size_t>(pages), page));
    viewer_->download.document = DocumentOver(bytes_);
    viewer_->download.hasPages = 1;
    viewer_->download.loadState = kLoadDone;
    ShowPage(viewer_, 0);
  }

  HWND Toolbar() const { return static_cast<HWND>(viewer_->windows.toolbarWindow); }
  HWND Control(int32_t item) const { return static_cast<HWND>(viewer_->toolbar.controls[item]); }

  RECT RectInPlugin(HWND window) const {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, plugin_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  std::string Tip(int32_t item) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = static_cast<HWND>(viewer_->toolbar.tooltipWindow);
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(Control(item));
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(Toolbar(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(info.lpszText ? info.lpszText : L""));
  }

  HWND plugin_ = nullptr;
  ViewerInstance* viewer_ = nullptr;
  std::vector<uint8_t> bytes_;
};

int IconSize(HWND button) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

TEST_F(ToolbarWindowTest, ControlsSitWhereTheLayoutPutsThemForEveryButtonSize) {
  struct SizeCase {
    int32_t height;  // the setting plus 4, as the settings hold it
    int32_t button;
    int icon;
  };
  const SizeCase cases[] = {{26, 22, 32}, {44, 40, 58}, {104, 100, 145}};
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.height);
    viewer_->prefs.toolbarHeight = c.height;
    Attach();
    ASSERT_NE(Toolbar(), nullptr);
    RECT bar = RectInPlugin(Toolbar());
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.bottom - bar.top, c.height);
    EXPECT_EQ(bar.right - bar.left, kClientWidth);
    EXPECT_EQ(RectInPlugin(static_cast<HWND>(viewer_->windows.imageWindow)).top, c.height);
    const ToolbarMetrics metrics = ToolbarMetricsFor(c.height, WindowLib().messageHeight);
    for (const ToolbarEntry& entry : viewer_->toolbar.entries) {
      if (!entry.control) continue;
      RECT r = RectInPlugin(static_cast<HWND>(entry.control));
      EXPECT_EQ(r.left, entry.x) << entry.item;
      EXPECT_EQ(r.top, kControlTop) << entry.item;
      // The up-down control keeps a minimum width of its own.
      if (entry.item != kItemZoomStep) {
        EXPECT_EQ(r.right - r.left, ToolbarItemWidth(entry.item, metrics, Library().verticalBarWidth))
            << entry.item;
      }
      if (entry.item != kItemPageList) {
        EXPECT_EQ(r.bottom - r.top, c.button) << entry.item;
      }
    }
    EXPECT_EQ(IconSize(Control(kItemPrint)), c.icon);
    EXPECT_EQ(IconSize(Control(kItemNextPage)), c.icon);
    // The shared icons serve the default size only; larger buttons own theirs.
    const bool owned = viewer_->toolbar.entries[0].ownIcon != nullptr;
    EXPECT_EQ(owned, c.height != 26);
    ASSERT_EQ(SetWindow(viewer_, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(viewer_->windows.toolbarWindow, nullptr);
  }
}

TEST_F(ToolbarWindowTest, BottomAndNowhere) {
  viewer_->toolbar.toolbarPosition = kToolbarBottom;
  Attach();
  EXPECT_EQ(RectInPlugin(Toolbar()).top, kClientHeight - 26);
  RECT image = RectInPlugin(static_cast<HWND>(viewer_->windows.imageWindow));
  EXPECT_EQ(image.top, 0);
  EXPECT_EQ(image.bottom, kClientHeight - 26);
  ASSERT_EQ(SetWindow(viewer_, nullptr), NPERR_NO_ERROR);

  viewer_->toolbar.toolbarPosition = kToolbarNone;
  Attach();
  EXPECT_FALSE(IsWindowVisible(Toolbar()));
  image = RectInPlugin(static_cast<HWND>(viewer_->windows.imageWindow));
  EXPECT_EQ(image.top, 0);
  EXPECT_EQ(image.bottom, kClientHeight);
}

TEST_F(ToolbarWindowTest, TooltipTextsAreMadeOnRequest) {
  SetText(&viewer_->toolbar.itemsParameter, nullptr);
  viewer_->toolbar.toolbarItems = u"FS,PP,NP,UP,PR";
  Attach();
  EXPECT_EQ(Tip(kItemPreviousPage), "Previous page");  // no pages yet
  EXPECT_EQ(Tip(kItemNextPage), "Next page");
  EXPECT_EQ(Tip(kItemUpload), "Upload");
  EXPECT_EQ(Tip(kItemFixedSize), "Fixed size (100%)");
  LoadPages(7);
  SetCurrentPage(viewer_, 2);
  EXPECT_EQ(Tip(kItemPreviousPage), "Previous page (2 of 7)");
  EXPECT_EQ(Tip(kItemNextPage), "Next page (4 of 7)");
  SetCurrentPage(viewer_, 0);
  EXPECT_EQ(Tip(kItemPreviousPage), "Previous page");
  SetCurrentPage(viewer_, 6);
  EXPECT_EQ(Tip(kItemNextPage), "Next page");
  SetText(&viewer_->upload.uploadUrl, u"http://127.0.0.1/in");
  EXPECT_EQ(Tip(kItemUpload), "Upload to http://127.0.0.1/in");
  viewer_->settings.scaleIndex = ScaleIndex(1600);
  EXPECT_EQ(Tip(kItemFixedSize), "Fixed size (1600%)");
  // The fixed texts come from the string table through the tooltip itself.
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = Toolbar();
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kItemPrint));
  tool.lpszText = text;
  SendMessageW(static_cast<HWND>(viewer_->toolbar.tooltipWindow), TTM_GETTEXTW, 80,
               reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)), "Print");
}

TEST_F(ToolbarWindowTest, PagingRefreshesThePageListAndButtons) {
  Attach();
  HWND pages = Control(kItemPageList);
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(SendMessageW(pages, CB_GETCOUNT, 0, 0), 0);
  EXPECT_FALSE(IsWindowEnabled(pages));
  LoadPages(4);
  EXPECT_EQ(SendMessageW(pages, CB_GETCOUNT, 0, 0), 4);
  EXPECT_TRUE(IsWindowEnabled(pages));
  EXPECT_FALSE(IsWindowEnabled(Control(kItemPreviousPage)));
  EXPECT_TRUE(IsWindowEnabled(Control(kItemNextPage)));
  SetCurrentPage(viewer_, 3);
  EXPECT_EQ(SendMessageW(pages, CB_GETCURSEL, 0, 0), 3);
  EXPECT_TRUE(IsWindowEnabled(Control(kItemPreviousPage)));
  EXPECT_FALSE(IsWindowEnabled(Control(kItemNextPage)));
  // Choosing a page in the list goes there.
  SendMessageW(pages, CB_SETCURSEL, 1, 0);
  SendMessageW(Toolbar(), WM_COMMAND, MAKEWPARAM(kToolbarControlBase + kItemPageList, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(pages));
  EXPECT_EQ(viewer_->download.currentPage, 1);
  SetSizeMode(viewer_, kSizeBestFit);
  EXPECT_EQ(SendMessageW(Control(kItemBestFit), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Control(kItemFitWidth), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowEnabled(Control(kItemZoomStep)));
  // The menu button shows the press and is released again. The menu it opens
  // waits for the user; a timer, which the menu's own loop dispatches, closes it.
  const UINT_PTR closer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  SendMessageW(Toolbar(), WM_COMMAND, MAKEWPARAM(kToolbarControlBase + kItemMenu, BN_CLICKED),
               reinterpret_cast<LPARAM>(Control(kItemMenu)));
  KillTimer(nullptr, closer);
  EXPECT_EQ(SendMessageW(Control(kItemMenu), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ToolbarWindowTest, WithoutItsClassTheViewerRunsWithoutAToolbar) {
  UnregisterClassW(kToolbarClass, GetModuleHandleW(nullptr));
  Attach();
  EXPECT_EQ(Toolbar(), nullptr);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].rfind("Failed to create toolbar window (error code ", 0), 0u) << Boxes()[0];
  RECT image = RectInPlugin(static_cast<HWND>(viewer_->windows.imageWindow));
  EXPECT_EQ(image.top, 0);
  EXPECT_EQ(image.bottom, kClientHeight);
  LoadPages(2);  // every refresh finds no toolbar and does nothing
  SetCurrentPage(viewer_, 1);
  EXPECT_EQ(viewer_->download.currentPage, 1);
}

}  // namespace
