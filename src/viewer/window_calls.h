// The engine's side of the window hooks: each call does nothing while no
// window has filled its hook, so the viewer works the same without a screen.
#pragma once

#include "viewer/viewer_instance.h"

inline void Invalidate(ViewerInstance* viewer, int erase) {
  if (viewer->hooks.invalidate) viewer->hooks.invalidate(viewer, erase);
}
inline void LayoutMainView(ViewerInstance* viewer, int keepRelative) {
  if (viewer->hooks.layoutMainView) viewer->hooks.layoutMainView(viewer, keepRelative);
}
inline void RebuildMainView(ViewerInstance* viewer) {
  if (viewer->hooks.rebuildMainView) viewer->hooks.rebuildMainView(viewer);
}
inline void RefreshToolbar(ViewerInstance* viewer, int now) {
  if (viewer->hooks.refreshToolbar) viewer->hooks.refreshToolbar(viewer, now);
}
inline void CloseMagnifier(ViewerInstance* viewer) {
  if (viewer->input.magnifierOpen && viewer->hooks.closeMagnifier) viewer->hooks.closeMagnifier(viewer);
}

// The wait cursor for the lifetime of the object.
class BusyCursor {
 public:
  explicit BusyCursor(ViewerInstance* viewer) : viewer_(viewer) {
    if (viewer_->hooks.busy) viewer_->hooks.busy(viewer_, kBusyOn);
  }
  ~BusyCursor() {
    if (viewer_->hooks.busy) viewer_->hooks.busy(viewer_, kBusyOff);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  ViewerInstance* viewer_;
};
