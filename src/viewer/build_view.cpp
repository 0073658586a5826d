#include "viewer/build_view.h"

#include "document/scale_for_display.h"
#include "viewer/library.h"
#include "viewer/view_layout.h"

namespace {

int32_t AtLeastOne(int32_t value) { return value < 1 ? 1 : value; }

}  // namespace

int BuildView(ViewerInstance* viewer, ViewState* view) {
  view->renderMethod = kRenderPage;
  view->orientation = viewer->orientation;
  const PageBitmap* page = &viewer->pageBitmap;
  if (!viewer->pageInfo.valid || !page->block) return 0;
  ReleaseViewBitmap(view);

  int32_t width = 1, height = 1;
  if (view->kind == kViewMagnifier) {
    viewer->zoomIndex = ClampZoomIndex(viewer->zoomIndex);
    AspectResult size = MagnifierTargetSize(page, viewer->zoomIndex, viewer->prefs.fixRatio);
    width = size.width;
    height = size.height;
    view->stretch = size.corrected;
  } else {
    width = viewer->targetWidth;
    height = viewer->targetHeight;
  }
  view->width = width = AtLeastOne(width);
  view->height = height = AtLeastOne(height);

  RenderInput input;
  input.kind = view->kind;
  input.targetWidth = width;
  input.targetHeight = height;
  input.bitmapWidth = HeaderOf(page)->width;
  input.bitmapHeight = HeaderOf(page)->height;
  input.sizeMode = viewer->sizeMode;
  input.scaleIndex = viewer->scaleIndex;
  input.defaultScaleIndex = Library().defaultScaleIndex;
  input.zoomIndex = viewer->zoomIndex;
  RenderChoice choice = ChooseRenderMethod(input);
  view->renderMethod = choice.method;
  if (choice.stretch) view->stretch = 1;
  if (choice.method != kRenderOwnBitmap) return 1;

  // The magnifier always smooths: it shows detail the user asked to see.
  const int force = view->kind == kViewMagnifier;
  if (!ScaleForDisplay(&viewer->raster, &viewer->pageLog, page, &view->displayBitmap, width, height, force)) {
    view->width = view->height = 0;
    return 0;
  }
  view->width = HeaderOf(&view->displayBitmap)->width;
  view->height = HeaderOf(&view->displayBitmap)->height;
  return 1;
}
