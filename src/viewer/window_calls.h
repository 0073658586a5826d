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
inline int OpenMagnifier(ViewerInstance* viewer, int32_t x, int32_t y, int centred) {
  return viewer->hooks.openMagnifier ? viewer->hooks.openMagnifier(viewer, x, y, centred) : 0;
}
inline void RefreshMagnifier(ViewerInstance* viewer) {
  if (viewer->input.magnifierOpen && viewer->hooks.refreshMagnifier) viewer->hooks.refreshMagnifier(viewer);
}
inline void DismissMagnifier(ViewerInstance* viewer) {
  if (viewer->input.magnifierOpen && viewer->hooks.dismissMagnifier) viewer->hooks.dismissMagnifier(viewer);
}
inline void CaptureMouse(ViewerInstance* viewer, int capture) {
  if (viewer->hooks.captureMouse) viewer->hooks.captureMouse(viewer, capture);
}
inline void DrawBand(ViewerInstance* viewer, IntRect band) {
  if (viewer->hooks.drawBand) viewer->hooks.drawBand(viewer, band);
}
inline void ScrollLine(ViewerInstance* viewer, int vertical, int forward) {
  if (viewer->hooks.scrollLine) viewer->hooks.scrollLine(viewer, vertical, forward);
}
inline int PostScroll(ViewerInstance* viewer, int vertical, int32_t code) {
  return viewer->hooks.postScroll ? viewer->hooks.postScroll(viewer, vertical, code) : 0;
}
inline void ScrollTo(ViewerInstance* viewer, int vertical, int32_t position) {
  if (viewer->hooks.scrollTo) viewer->hooks.scrollTo(viewer, vertical, position);
}
inline void StatusChanged(ViewerInstance* viewer) {
  if (viewer->hooks.statusChanged) viewer->hooks.statusChanged(viewer);
}
// The print request kinds of the toolbar and the menu; a page's own kinds 4
// and 5 print as the user allowed pages to print.
enum PrintRequest : int32_t { kPrintRequestDialog = 0, kPrintRequestDefaultPrinter = 1 };
inline int PrintDocument(ViewerInstance* viewer, int32_t kind) {
  return viewer->hooks.printDocument ? viewer->hooks.printDocument(viewer, kind) : 0;
}
inline int DrawEmbeddedPrint(ViewerInstance* viewer, void* dc, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
  return viewer->hooks.drawEmbeddedPrint ? viewer->hooks.drawEmbeddedPrint(viewer, dc, x, y, width, height)
                                         : 0;
}
// The desktop background's three styles.
enum DesktopStyle : int32_t { kDesktopCentred = 0, kDesktopTiled = 1, kDesktopStretched = 2 };

// The window-side commands: 0 while no window side has filled the hook.
inline int SaveDocumentCommand(ViewerInstance* viewer) {
  return viewer->hooks.saveDocument ? viewer->hooks.saveDocument(viewer) : 0;
}
inline int OpenLocalFileCommand(ViewerInstance* viewer) {
  return viewer->hooks.openLocalFile ? viewer->hooks.openLocalFile(viewer) : 0;
}
inline int CopyImageCommand(ViewerInstance* viewer) {
  return viewer->hooks.copyImage ? viewer->hooks.copyImage(viewer) : 0;
}
inline int CopyTextCommand(ViewerInstance* viewer, const char16_t* text) {
  return viewer->hooks.copyText ? viewer->hooks.copyText(viewer, text) : 0;
}
inline int SetDesktopCommand(ViewerInstance* viewer, int32_t style) {
  return viewer->hooks.setDesktop ? viewer->hooks.setDesktop(viewer, style) : 0;
}
inline int SendDocumentCommand(ViewerInstance* viewer) {
  return viewer->hooks.sendDocument ? viewer->hooks.sendDocument(viewer) : 0;
}
inline int ChoosePenColourCommand(ViewerInstance* viewer) {
  return viewer->hooks.choosePenColour ? viewer->hooks.choosePenColour(viewer) : 0;
}
inline int UploadDocumentCommand(ViewerInstance* viewer, int confirm, int32_t tag) {
  return viewer->hooks.uploadDocument ? viewer->hooks.uploadDocument(viewer, confirm, tag) : 0;
}
inline int ShowSettingsSheet(ViewerInstance* viewer) {
  return viewer->hooks.showSettingsSheet ? viewer->hooks.showSettingsSheet(viewer) : 0;
}
inline int ShowInformation(ViewerInstance* viewer) {
  return viewer->hooks.showInformation ? viewer->hooks.showInformation(viewer) : 0;
}
inline int ShowErrorLog(ViewerInstance* viewer) {
  return viewer->hooks.showErrorLog ? viewer->hooks.showErrorLog(viewer) : 0;
}
inline int CheckVersionCommand(ViewerInstance* viewer, int manual) {
  return viewer->hooks.checkVersion ? viewer->hooks.checkVersion(viewer, manual) : 0;
}
inline int ShowTagViewer(ViewerInstance* viewer, int allPages) {
  return viewer->hooks.showTagViewer ? viewer->hooks.showTagViewer(viewer, allPages) : 0;
}
inline int ShowMenu(ViewerInstance* viewer, int32_t x, int32_t y, int fromToolbar) {
  return viewer->hooks.showMenu ? viewer->hooks.showMenu(viewer, x, y, fromToolbar) : 0;
}
inline void PostAutoPrint(ViewerInstance* viewer) {
  if (viewer->hooks.postAutoPrint) viewer->hooks.postAutoPrint(viewer);
}
inline void MakeWindowResources(ViewerInstance* viewer) {
  if (viewer->hooks.createWindowResources) viewer->hooks.createWindowResources(viewer);
}
inline void FreeWindowResources(ViewerInstance* viewer) {
  if (viewer->hooks.releaseWindowResources) viewer->hooks.releaseWindowResources(viewer);
}

// Without a window side (the engine alone, in tests) the browser's window is
// only remembered.
inline int HasWindowSide(const ViewerInstance* viewer) { return viewer->hooks.attachWindow != nullptr; }
inline int AttachViewerWindow(ViewerInstance* viewer, void* window) {
  return viewer->hooks.attachWindow ? viewer->hooks.attachWindow(viewer, window) : 0;
}
inline void RefreshViewerWindow(ViewerInstance* viewer) {
  if (viewer->hooks.refreshWindow) viewer->hooks.refreshWindow(viewer);
}
inline void DetachViewerWindow(ViewerInstance* viewer) {
  if (viewer->hooks.detachWindow) viewer->hooks.detachWindow(viewer);
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
