// Printing on a Windows printer: the print dialog or the default printer,
// every selected page in every set and copy, and the page drawn into a
// browser's own print context for an embedded print.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// The whole run; 1 when the document went to the printer. Refused while
// printing is restricted, without a document, or while a run or an upload of
// this instance is under way.
int PrintDocumentRun(ViewerInstance* viewer, int silent);

// The current page with its marks into the rectangle of `dc`, keeping the
// page's shape unless `printstretched` is on; 0 when there is nothing to draw.
int DrawForEmbeddedPrint(ViewerInstance* viewer, HDC dc, int32_t x, int32_t y, int32_t width, int32_t height);

// The extended print dialog is tried first until it fails once in this
// process; tests turn it off to reach the classic dialog.
void UseExtendedPrintDialog(int use);

void InstallPrintHooks(ViewerHooks* hooks);
