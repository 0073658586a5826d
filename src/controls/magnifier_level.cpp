#include "controls/magnifier_level.h"

#include "controls/magnifier_geometry.h"
#include "viewer/build_view.h"
#include "viewer/library.h"
#include "viewer/settings.h"

int SetMagnifierLevel(ViewerInstance* viewer, int32_t level) {
  level = ClampZoomIndex(level);
  if (level == viewer->settings.zoomIndex) return 0;
  viewer->settings.zoomIndex = level;
  ReleaseViewBitmap(&viewer->view.magnifierView);
  BuildView(viewer, &viewer->view.magnifierView);
  return 1;
}

int StoreMagnifierLevel(ViewerInstance* viewer, int32_t levelAtOpening) {
  const int32_t level = viewer->settings.zoomIndex;
  if (!ShouldStoreMagnifierLevel(levelAtOpening, level, IsRestricted(viewer, kRestrictSaveSettings)))
    return 0;
  SettingsStore* store = Library().store.get();
  return store && WriteUserDword(store, u"zscalepct", static_cast<uint32_t>(ZoomPercent(level)));
}
