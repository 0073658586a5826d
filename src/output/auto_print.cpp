#include "output/auto_print.h"

#include "viewer/window_calls.h"

void RequestAutoPrint(ViewerInstance* viewer) {
  if (viewer->print.autoPrint == 0 || !viewer->prefs.allowScript || viewer->download.streamsAccepted != 1)
    return;
  PostAutoPrint(viewer);
}

int32_t DecideAutoPrint(const ViewerInstance* viewer) {
  if (viewer->print.autoPrint == 0 || !viewer->prefs.allowScript) return kAutoPrintNone;
  switch (viewer->print.autoPrint) {
    case 1:
      return kAutoPrintWithDialog;
    case 4:
      return viewer->prefs.allowAutoPrint ? kAutoPrintDirect : kAutoPrintNone;
    case 5:
      return viewer->prefs.allowAutoPrint ? kAutoPrintDirect : kAutoPrintWithDialog;
    default:
      return kAutoPrintNone;
  }
}
