#include "viewer/build_view.h"

#include "document/scale_for_display.h"
#include "viewer/library.h"
#include "viewer/view_layout.h"

namespace {

int32_t AtLeastOne(int32_t value) { return value < 1 ? 1 : value; }

}  // namespace

int BuildView(ViewerInstance* viewer, ViewState* view) {
  view->renderMethod = kRenderPage;
  view->orientation = viewer->settings.orientation;
  const PageBitmap* page = &viewer->view.pageBitmap;
  if (!viewer->view.pageInfo.valid || !page->block) return 0;
  ReleaseViewBitmap(view);

  int32_t width = 1, height = 1;
  if (view->kind == kViewMagnifier) {
    viewer->settings.zoomIndex = ClampZoomIndex(viewer->settings.zoomIndex);
    AspectResult size = MagnifierTargetSize(page, viewer->settings.zoomIndex, viewer->prefs.fixRatio);
    width = size.width;
    height = size.height;
    view->stretch = size.corrected;
  } else {
    width = viewer->view.targetWidth;
    height = viewer->view.targetHeight;
  }
  view->width = width = AtLeastOne(width);
  view->height = height = AtLeastOne(height);

  RenderInput input;
  input.kind = view->kind;
  input.targetWidth = width;
  input.targetHeight = height;
  input.bitmapWidth = HeaderOf(page)->width;
  input.bitmapHeight = HeaderOf(page)->height;
  input.sizeMode = viewer->settings.sizeMode;
  input.scaleIndex = viewer->settings.scaleIndex;
  input.defaultScaleIndex = Library().defaultScaleIndex;
  input.zoomIndex = viewer->settings.zoomIndex;
  RenderChoice choice = ChooseRenderMethod(input);
  view->renderMethod = choice.method;
  if (choice.stretch) view->stretch = 1;
  if (choice.method != kRenderOwnBitmap) return 1;

  // The magnifier always smooths: it shows detail the user asked to see.
  const int force = view->kind == kViewMagnifier;
  if (!ScaleForDisplay(&viewer->settings.raster, &viewer->logs.pageLog, page, &view->displayBitmap, width,
                       height, force)) {
    view->width = view->height = 0;
    return 0;
  }
  view->width = HeaderOf(&view->displayBitmap)->width;
  view->height = HeaderOf(&view->displayBitmap)->height;
  return 1;
}
