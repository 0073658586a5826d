#include "output/page_image.h"

#include "analysis/annotated_page.h"
#include "analysis/page_markup.h"
#include "analysis/sketch_layer.h"
#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"

int PackCurrentPage(ViewerInstance* viewer, PackedPageImage* image) {
  if (!HasValidPage(viewer)) return 0;
  const int32_t directory = viewer->download.currentDirectory;
  if (!HasWhiteouts(viewer, directory) && !PageHasStrokes(viewer, directory)) {
    image->bitmap = &viewer->view.pageBitmap;
    return 1;
  }
  // The shown bitmap is already turned; the marks are merged the same way.
  if (!BuildAnnotatedPage(&viewer->view.pageBitmap, &viewer->view.pageInfo, FindMarkup(viewer, directory),
                          viewer->settings.orientation, &image->merged, &viewer->logs.pageLog))
    return 0;
  image->bitmap = &image->merged;
  return 1;
}
