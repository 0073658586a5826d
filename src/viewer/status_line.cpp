#include "viewer/status_line.h"

#include "viewer/window_calls.h"

void SetStatusText(ViewerInstance* viewer, const char16_t* text) {
  if (!text || !*text) {
    ReleaseText(&viewer->status.statusText);
    viewer->status.progressPercent = -1;
  } else if (!(text[0] == u'*' && text[1] == 0)) {
    SetText(&viewer->status.statusText, text);
  }
  StatusChanged(viewer);
}

int ShowLoadStateText(ViewerInstance* viewer) {
  switch (viewer->download.loadState) {
    case kLoadIdle:
      SetStatusText(viewer, u"");
      return 1;
    case kLoadAwaiting:
      SetStatusText(viewer, u"  Waiting for download to start\u2026");
      return 1;
    case kLoadDownloading:
      SetStatusText(viewer, u"  Downloading\u2026");
      return 1;
    default:
      return 0;
  }
}

void SetProgress(ViewerInstance* viewer, int64_t done, int64_t total) {
  viewer->status.progressPercent =
      total <= 0 ? -1 : static_cast<int32_t>(static_cast<double>(done) / total * 100);
  StatusChanged(viewer);
}
