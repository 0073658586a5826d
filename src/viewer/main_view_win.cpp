#include "viewer/main_view_win.h"

#include "viewer/build_view.h"
#include "viewer/library.h"
#include "viewer/view_layout.h"
#include "viewer/window_input.h"

namespace {

HWND ImageWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.imageWindow); }

void SetBar(HWND window, int bar, int32_t maximum, int32_t page, int32_t position, UINT extra) {
  SCROLLINFO info{
      sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS | extra, 0, maximum, static_cast<UINT>(page), position, 0};
  SetScrollInfo(window, bar, &info, TRUE);
}

int32_t ClientSide(LONG side) { return side < 1 ? 1 : side; }

}  // namespace

void LayoutMainViewInWindow(ViewerInstance* viewer, int keepRelative) {
  HWND window = ImageWindowOf(viewer);
  if (!window) return;
  viewer->view.wheelAccumulator = 0;
  if (!viewer->view.pageBitmap.block || !viewer->view.pageInfo.valid) {
    ShowScrollBar(window, SB_BOTH, FALSE);
    InvalidateRect(window, nullptr, TRUE);
    return;
  }
  // The bars are taken away before the client area is measured, so that a bar
  // left from the last layout does not take its room twice.
  ++viewer->view.scrollGuard;
  SetBar(window, SB_VERT, 1, 2, 0, 0);
  SetBar(window, SB_HORZ, 1, 2, 0, 0);
  ShowScrollBar(window, SB_BOTH, FALSE);
  --viewer->view.scrollGuard;
  RECT client;
  GetClientRect(window, &client);

  const LibraryValues& library = Library();
  AspectResult page = AspectSize(&viewer->view.pageBitmap, 1.0, viewer->prefs.fixRatio);
  viewer->settings.scaleIndex = ClampScaleIndex(viewer->settings.scaleIndex);
  MainLayoutInput input;
  input.clientWidth = ClientSide(client.right);
  input.clientHeight = ClientSide(client.bottom);
  input.verticalBarWidth = library.verticalBarWidth;
  input.horizontalBarHeight = library.horizontalBarHeight;
  input.sizeMode = viewer->settings.sizeMode;
  input.scaleIndex = viewer->settings.scaleIndex;
  input.defaultScaleIndex = library.defaultScaleIndex;
  input.pageWidth = page.width;
  input.pageHeight = page.height;
  MainLayout layout = DecideMainLayout(input);
  viewer->view.targetWidth = layout.targetWidth;
  viewer->view.targetHeight = layout.targetHeight;

  ViewState* view = &viewer->view.mainView;
  if (!view->displayBitmap.block || view->renderMethod != kRenderOwnBitmap ||
      view->width != layout.targetWidth || view->height != layout.targetHeight) {
    BuildView(viewer, view);
  }
  if (page.corrected) view->stretch = 1;
  viewer->view.scroll = PlaceScroll(view->width, view->height, layout, viewer->view.scroll, keepRelative,
                                    viewer->view.relativeScroll);

  ++viewer->view.scrollGuard;
  SetBar(window, SB_VERT, view->height - 1, layout.clientHeight, viewer->view.scroll.y, 0);
  SetBar(window, SB_HORZ, view->width - 1, layout.clientWidth, viewer->view.scroll.x, 0);
  --viewer->view.scrollGuard;
  InvalidateRect(window, nullptr, TRUE);
}

int ScrollBar(ViewerInstance* viewer, int bar, int32_t code, int absolute, int32_t position) {
  HWND window = ImageWindowOf(viewer);
  if (!window || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  // A released view keeps the extent of the page it showed; without a page
  // the window holds only the status line and the log, which stay put.
  if (!ShowsPage(viewer)) return 0;
  const bool vertical = bar == SB_VERT;
  RECT client;
  GetClientRect(window, &client);
  int32_t clientExtent = vertical ? client.bottom : client.right;
  int32_t viewExtent = vertical ? viewer->view.mainView.height : viewer->view.mainView.width;
  int32_t current = vertical ? viewer->view.scroll.y : viewer->view.scroll.x;
  int32_t thumb = position;
  if (!absolute && (code == kScrollThumbPosition || code == kScrollThumbTrack)) {
    SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    thumb = info.nTrackPos;
  }
  int32_t next = NextScrollPosition(current, clientExtent, viewExtent, code, thumb);
  if (next == current) return 1;

  SetScrollPos(window, bar, next, TRUE);
  HideBand(viewer);  // drawn at the old position
  if (vertical) {
    viewer->view.scroll.y = next;
  } else {
    viewer->view.scroll.x = next;
  }
  const int32_t shift = current - next;
  ScrollWindowEx(window, vertical ? 0 : shift, vertical ? shift : 0, nullptr, &client, nullptr, nullptr,
                 SW_INVALIDATE);
  ShowBand(viewer);
  if (viewExtent > 0) {
    double relative = static_cast<double>(next) / viewExtent;
    (vertical ? viewer->view.relativeScroll.y : viewer->view.relativeScroll.x) = relative;
  }
  return 1;
}
