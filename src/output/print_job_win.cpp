#include "output/print_job_win.h"

// clang-format off
// The extended print dialog is declared only after COM.
#include <objbase.h>
#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "analysis/stroke_paint_win.h"
#include "common/diagnostics.h"
#include "output/print_page.h"
#include "output/print_placement.h"
#include "output/print_plan.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"

namespace {

constexpr int32_t kMaximumDialogRanges = 20;
constexpr size_t kDeviceNameMaximum = 199;
constexpr size_t kPortNameMaximum = 299;
constexpr LONG kSmallestDeviceMode = 220;

// Process-wide: once the extended dialog has failed it is not tried again.
int g_extendedDialog = 1;

struct PrintJob {
  ViewerInstance* viewer = nullptr;
  HWND owner = nullptr;
  HDC dc = nullptr;
  HGLOBAL devMode = nullptr;
  HGLOBAL devNames = nullptr;
  std::vector<PageRange> ranges;
  CopyPlan plan;
  std::vector<uint8_t> selected;
  int32_t selectedTotal = 0;
  int32_t printedInSet = 0;
  MessageLog pageLog;
  TextBuffer progress{kStatusTextMaximum};
  int docStarted = 0;
  HCURSOR previousCursor = nullptr;
  int cursorShown = 0;
  // Per-page printer control.
  int routed = 0;
  PageRouting routing;
  std::wstring device;
  int16_t copies = 1;
  int16_t collate = 0;
};

int32_t PageCount(const ViewerInstance* viewer) { return viewer->download.document.pageCount; }
int32_t CurrentPage(const ViewerInstance* viewer) { return viewer->download.currentPage; }

void TakeDialogHandles(PrintJob* job, HDC dc, HGLOBAL devMode, HGLOBAL devNames) {
  job->dc = dc;
  job->devMode = devMode;
  job->devNames = devNames;
}

int ObtainDefaultPrinter(PrintJob* job) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!PrintDlgW(&pd)) {
    const DWORD error = CommDlgExtendedError();
    if (error == PDERR_NODEFAULTPRN)
      ShowMessage(job->owner, 0, "Unable to print. Your computer has no default printer.");
    else if (error != 0)
      ShowMessage(job->owner, 0, "Unable to print. (error code %d)", static_cast<int>(error));
    return 0;
  }
  TakeDialogHandles(job, pd.hDC, pd.hDevMode, pd.hDevNames);
  job->ranges = {{1, PageCount(job->viewer)}};
  return job->dc != nullptr;
}

DWORD DialogFlags(const ViewerInstance* viewer) {
  DWORD flags = PD_RETURNDC | PD_NOSELECTION;
  if (viewer->prefs.printRange == 2) flags |= PD_CURRENTPAGE;
  if (!viewer->prefs.supportMultipleCopies) flags |= PD_USEDEVMODECOPIESANDCOLLATE;
  return flags;
}

// What the dialog's own range choice leaves; ranges typed as numbers are taken by the caller.
int RangesFromChoice(PrintJob* job, DWORD flags) {
  const int32_t current = CurrentPage(job->viewer) + 1;
  if (flags & PD_SELECTION) return 0;
  if (flags & PD_CURRENTPAGE)
    job->ranges = {{current, current}};
  else
    job->ranges = {{1, PageCount(job->viewer)}};
  return 1;
}

// -1 when the extended dialog itself failed, so the classic one can take over.
int RunExtendedDialog(PrintJob* job) {
  PRINTPAGERANGE ranges[kMaximumDialogRanges]{};
  PRINTDLGEXW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = job->owner;
  pd.Flags = DialogFlags(job->viewer);
  pd.nMinPage = 1;
  pd.nMaxPage = static_cast<DWORD>(PageCount(job->viewer));
  pd.nCopies = 1;
  pd.nMaxPageRanges = kMaximumDialogRanges;
  pd.lpPageRanges = ranges;
  pd.nStartPage = START_PAGE_GENERAL;
  if (FAILED(PrintDlgExW(&pd))) return -1;
  TakeDialogHandles(job, pd.hDC, pd.hDevMode, pd.hDevNames);
  if (pd.dwResultAction != PD_RESULT_PRINT || !job->dc) return 0;
  if (pd.Flags & PD_PAGENUMS) {
    const DWORD count = std::min<DWORD>(pd.nPageRanges, kMaximumDialogRanges);
    job->ranges.clear();
    for (DWORD i = 0; i < count; ++i) {
      job->ranges.push_back({static_cast<int32_t>(std::min<DWORD>(ranges[i].nFromPage, INT32_MAX)),
                             static_cast<int32_t>(std::min<DWORD>(ranges[i].nToPage, INT32_MAX))});
    }
  } else if (!RangesFromChoice(job, pd.Flags)) {
    return 0;
  }
  job->plan = PlanCopies(static_cast<int32_t>(std::min<DWORD>(pd.nCopies, INT32_MAX)),
                         (pd.Flags & PD_COLLATE) != 0, job->viewer->prefs.supportMultipleCopies);
  return 1;
}

int RunClassicDialog(PrintJob* job) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = job->owner;
  pd.Flags = DialogFlags(job->viewer);
  pd.nMinPage = 1;
  pd.nMaxPage = static_cast<WORD>(std::min(PageCount(job->viewer), 0xFFFF));
  pd.nFromPage = pd.nToPage = static_cast<WORD>(std::min(CurrentPage(job->viewer) + 1, 0xFFFF));
  pd.nCopies = 1;
  const BOOL chosen = PrintDlgW(&pd);
  // A cancelled dialog may still have made the device handles: they are freed with the job.
  TakeDialogHandles(job, pd.hDC, pd.hDevMode, pd.hDevNames);
  if (!chosen || !job->dc) return 0;
  if (pd.Flags & PD_PAGENUMS)
    job->ranges = {{pd.nFromPage, pd.nToPage}};
  else if (!RangesFromChoice(job, pd.Flags))
    return 0;
  job->plan = PlanCopies(pd.nCopies, (pd.Flags & PD_COLLATE) != 0, job->viewer->prefs.supportMultipleCopies);
  return 1;
}

int ObtainPrinterByDialog(PrintJob* job) {
  if (g_extendedDialog) {
    const int result = RunExtendedDialog(job);
    if (result >= 0) return result;
    g_extendedDialog = 0;
  }
  return RunClassicDialog(job);
}

int StartDocument(PrintJob* job) {
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = L"Mervane printout";
  if (StartDocW(job->dc, &info) <= 0) {
    ShowMessage(job->owner, 0, "Unable to print. (error code %d)", static_cast<int>(GetLastError()));
    return 0;
  }
  job->docStarted = 1;
  return 1;
}

// Per-page printer control ------------------------------------------------

int PrinterCanDuplex(const std::wstring& device) {
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &count);
  if (needed == 0) return 0;
  std::vector<BYTE> buffer(needed);
  DWORD written = 0;
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &written, &count)) return 0;
  if (written != needed || uint64_t{count} * 32 > needed) return 0;
  const auto* printers = reinterpret_cast<const PRINTER_INFO_5W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (!printers[i].pPrinterName || device != printers[i].pPrinterName) continue;
    const std::wstring port =
        printers[i].pPortName
            ? std::wstring(printers[i].pPortName, wcsnlen(printers[i].pPortName, kPortNameMaximum))
            : std::wstring();
    const int answer = DeviceCapabilitiesW(device.c_str(), port.c_str(), DC_DUPLEX, nullptr, nullptr);
    return answer != 0 && answer != -1;
  }
  return 0;
}

int PrepareRouting(PrintJob* job) {
  const auto* names = static_cast<const DEVNAMES*>(job->devNames ? GlobalLock(job->devNames) : nullptr);
  if (!names) {
    ShowMessage(job->owner, 0, "Can\u2019t get printer name");
    return 0;
  }
  const wchar_t* device = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
  job->device.assign(device, wcsnlen(device, kDeviceNameMaximum));
  GlobalUnlock(job->devNames);
  if (const auto* mode = static_cast<const DEVMODEW*>(job->devMode ? GlobalLock(job->devMode) : nullptr)) {
    // A device mode asking for no copies at all still prints one.
    job->copies = std::max<int16_t>(mode->dmCopies, 1);
    job->collate = mode->dmCollate;
    GlobalUnlock(job->devMode);
  }
  job->routing = PageRouting{};
  job->routing.canDuplex = PrinterCanDuplex(job->device);
  return 1;
}

// The tray, duplex and copies for the next page; on any failure the page
// prints with the settings it had.
void ApplyDeviceMode(PrintJob* job) {
  HANDLE printer = nullptr;
  wchar_t* device = job->device.data();
  if (!OpenPrinterW(device, &printer, nullptr)) {
    ShowMessage(job->owner, 0, "Error changing Page settings. Error Code: %u",
                static_cast<unsigned>(GetLastError()));
    return;
  }
  const LONG size = DocumentPropertiesW(job->owner, printer, device, nullptr, nullptr, 0);
  if (size < kSmallestDeviceMode) {
    ShowMessage(job->owner, 0, "internal error: DEVMODE too small (%d)", static_cast<int>(size));
    ClosePrinter(printer);
    return;
  }
  std::vector<BYTE> current(static_cast<size_t>(size)), merged(static_cast<size_t>(size));
  auto* mode = reinterpret_cast<DEVMODEW*>(current.data());
  if (DocumentPropertiesW(job->owner, printer, device, mode, nullptr, DM_OUT_BUFFER) == IDOK) {
    mode->dmFields = DM_COPIES | DM_COLLATE;
    mode->dmCopies = job->copies;
    mode->dmCollate = job->collate;
    if (job->routing.binGiven) {
      mode->dmDefaultSource = static_cast<short>(job->routing.bin);
      mode->dmFields |= DM_DEFAULTSOURCE;
    }
    if (job->routing.canDuplex) {
      mode->dmDuplex = static_cast<short>(job->routing.duplex);
      mode->dmFields |= DM_DUPLEX;
    }
    auto* result = reinterpret_cast<DEVMODEW*>(merged.data());
    if (DocumentPropertiesW(job->owner, printer, device, result, mode, DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK)
      ResetDCW(job->dc, result);
  }
  ClosePrinter(printer);
}

int StartRoutedPage(PrintJob* job, const PageInfo* info) {
  const int newSheet = RoutePage(&job->routing, {info->pageName, info->model, info->targetPrinter});
  ApplyDeviceMode(job);
  if (!job->docStarted && !StartDocument(job)) return 0;
  if (newSheet) {
    // The page must begin a sheet: its would-be front side stays empty.
    if (job->routing.canDuplex && (StartPage(job->dc) <= 0 || EndPage(job->dc) <= 0)) return 0;
    job->routing.frontSide = 1;
  }
  return StartPage(job->dc) > 0;
}

int StartJobPage(PrintJob* job, const PageInfo* info) {
  return job->routed ? StartRoutedPage(job, info) : StartPage(job->dc) > 0;
}

int EndJobPage(PrintJob* job) {
  if (EndPage(job->dc) <= 0) return 0;
  if (job->routed) EndRoutedPage(&job->routing);
  return 1;
}

// Drawing ------------------------------------------------------------------

// The page's pen strokes over it, the same as on the screen.
void DrawPrintedStrokes(HDC dc, const ViewerInstance* viewer, const PrintedPage& page,
                        const ViewState& view) {
  DrawStrokes(dc, FindMarkup(viewer, page.directory), &view, page.info, view.originX, view.originY);
}

void FillMarks(HDC dc, const std::vector<MarkFill>& fills) {
  for (const MarkFill& fill : fills) {
    RECT r{fill.left, fill.top, fill.right, fill.bottom};
    HBRUSH brush = CreateSolidBrush(fill.colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
}

void DrawWholeBitmap(HDC dc, const PageBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height) {
  const BitmapHeader* header = HeaderOf(bitmap);
  StretchDIBits(dc, x, y, width, height, 0, 0, header->width, std::abs(header->height), bitmap->pixels,
                reinterpret_cast<const BITMAPINFO*>(bitmap->block), DIB_RGB_COLORS, SRCCOPY);
}

DeviceMetrics ReadMetrics(HDC dc) {
  return {GetDeviceCaps(dc, HORZRES),         GetDeviceCaps(dc, VERTRES),
          GetDeviceCaps(dc, PHYSICALWIDTH),   GetDeviceCaps(dc, PHYSICALHEIGHT),
          GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
          GetDeviceCaps(dc, LOGPIXELSX),      GetDeviceCaps(dc, LOGPIXELSY)};
}

PlacedPrint PlacePage(const ViewerInstance* viewer, const PrintedPage& page, HDC dc) {
  const BitmapHeader* header = HeaderOf(page.bitmap);
  const PrintLayout layout{viewer->prefs.printFull, viewer->prefs.printCenter, viewer->prefs.printAutoRotate};
  return PrintPlacement(header->width, std::abs(header->height), header->xPixelsPerMetre,
                        header->yPixelsPerMetre, page.info->resolutionUnit, ReadMetrics(dc), layout);
}

void ShowProgress(PrintJob* job, int32_t set, int32_t position, int32_t copy) {
  PrintProgressText(&job->progress, job->plan, position + 1, job->printedInSet, job->selectedTotal, set + 1,
                    copy);
  SetStatusText(job->viewer, TextOf(&job->progress));
}

// 0 only when the printer failed; a page that cannot be had is skipped.
int PrintOnePage(PrintJob* job, int32_t set, int32_t position) {
  if (!job->selected[static_cast<size_t>(position)]) return 1;
  ++job->printedInSet;
  PrintedPage page;
  const int loaded = LoadPrintedPage(job->viewer, position, &job->pageLog, &page);
  ResetLog(&job->pageLog);
  if (!loaded) return 1;
  const PlacedPrint place = PlacePage(job->viewer, page, job->dc);
  const int turned = place.rotated && TurnPrintedPage(&page, &job->pageLog);
  ResetLog(&job->pageLog);
  if (place.rotated && !turned) return 1;
  for (int32_t copy = 1; copy <= job->plan.copiesPerPage; ++copy) {
    ShowProgress(job, set, position, copy);
    if (!StartJobPage(job, page.info)) return 0;
    SetStretchBltMode(job->dc, COLORONCOLOR);
    DrawWholeBitmap(job->dc, page.bitmap, place.x, place.y, place.width, place.height);
    FillMarks(job->dc,
              PrintOverlay(job->viewer, page, place.x, place.y, place.width, place.height, place.rotated));
    DrawPrintedStrokes(job->dc, job->viewer, page,
                       PrintedView(job->viewer, place.x, place.y, place.width, place.height, place.rotated));
    if (!EndJobPage(job)) return 0;
  }
  return 1;
}

int PrintSets(PrintJob* job) {
  for (int32_t set = 0; set < job->plan.sets; ++set) {
    job->printedInSet = 0;
    for (int32_t position = 0; position < PageCount(job->viewer); ++position) {
      if (!PrintOnePage(job, set, position)) return 0;
    }
  }
  return 1;
}

int RunJob(PrintJob* job, int silent) {
  if (!(silent ? ObtainDefaultPrinter(job) : ObtainPrinterByDialog(job))) return 0;
  job->selectedTotal = SelectPages(job->ranges, PageCount(job->viewer), &job->selected);
  job->routed = job->viewer->print.printRouting != 0;
  if (job->routed ? !PrepareRouting(job) : !StartDocument(job)) return 0;
  job->previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  job->cursorShown = 1;
  if (!PrintSets(job)) return 0;
  // A routed run whose pages were all skipped never started its document.
  if (job->docStarted && EndDoc(job->dc) > 0) {
    job->docStarted = 0;
    return 1;
  }
  return 0;
}

void FinishJob(PrintJob* job) {
  if (job->docStarted) AbortDoc(job->dc);
  if (job->dc) DeleteDC(job->dc);
  if (job->devMode) GlobalFree(job->devMode);
  if (job->devNames) GlobalFree(job->devNames);
  SetStatusText(job->viewer, u"");
  if (job->cursorShown) SetCursor(job->previousCursor);
  job->viewer->output.busy = 0;
}

int PrintHook(ViewerInstance* viewer, int32_t kind) {
  const int32_t mode = PrintModeForKind(viewer, kind);
  return mode == kPrintNothing ? 0 : PrintDocumentRun(viewer, mode == kPrintSilently);
}

int DrawEmbeddedHook(ViewerInstance* viewer, void* dc, int32_t x, int32_t y, int32_t width, int32_t height) {
  return DrawForEmbeddedPrint(viewer, static_cast<HDC>(dc), x, y, width, height);
}

}  // namespace

int PrintDocumentRun(ViewerInstance* viewer, int silent) {
  if (IsRestricted(viewer, kRestrictPrint) || !viewer->download.hasPages || PageCount(viewer) < 1 ||
      viewer->output.busy)
    return 0;
  viewer->output.busy = 1;
  PrintJob job;
  job.viewer = viewer;
  job.owner = static_cast<HWND>(viewer->pluginWindow);
  const int result = RunJob(&job, silent);
  FinishJob(&job);
  return result;
}

int DrawForEmbeddedPrint(ViewerInstance* viewer, HDC dc, int32_t x, int32_t y, int32_t width,
                         int32_t height) {
  if (IsRestricted(viewer, kRestrictPrint) || !HasValidPage(viewer) || !dc) return 0;
  PrintedPage page;
  if (!LoadPrintedPage(viewer, CurrentPage(viewer), &viewer->logs.pageLog, &page)) return 0;
  const int64_t bw = HeaderOf(page.bitmap)->width, bh = std::abs(HeaderOf(page.bitmap)->height);
  int64_t w = std::max(width, 1), h = std::max(height, 1);
  if (!viewer->prefs.printStretched) {
    if (h * bw > bh * w)
      h = std::max<int64_t>(w * bh / bw, 1);
    else if (h * bw < bh * w)
      w = std::max<int64_t>(h * bw / bh, 1);
  }
  const int previous = SetStretchBltMode(dc, COLORONCOLOR);
  DrawWholeBitmap(dc, page.bitmap, x, y, static_cast<int32_t>(w), static_cast<int32_t>(h));
  FillMarks(dc, PrintOverlay(viewer, page, x, y, static_cast<int32_t>(w), static_cast<int32_t>(h), 0));
  DrawPrintedStrokes(dc, viewer, page,
                     PrintedView(viewer, x, y, static_cast<int32_t>(w), static_cast<int32_t>(h), 0));
  SetStretchBltMode(dc, previous);
  return 1;
}

void UseExtendedPrintDialog(int use) { g_extendedDialog = use; }

void InstallPrintHooks(ViewerHooks* hooks) {
  hooks->printDocument = PrintHook;
  hooks->drawEmbeddedPrint = DrawEmbeddedHook;
}
