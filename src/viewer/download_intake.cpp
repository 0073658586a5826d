#include "viewer/download_intake.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "analysis/page_markup.h"
#include "common/diagnostics.h"
#include "output/auto_print.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"
#include "viewer/window_calls.h"

namespace {

constexpr uint32_t kLargestDownload = 0x7FFFFFFF;

void* Owner(const ViewerInstance* viewer) { return viewer->pluginWindow; }

void CloseTempFile(ViewerInstance* viewer) {
  if (viewer->download.tempFile) CloseFile(viewer->download.tempFile);
  viewer->download.tempFile = nullptr;
}

// The end of a download without a usable document. Its reason is in the log
// or was shown; the window shows the log over the empty view. Taking the
// status line and the progress bar away repaints only what they covered, so
// the whole view is invalidated for the log lines beneath.
int32_t FailDownload(ViewerInstance* viewer) {
  DiscardDownload(viewer);
  viewer->download.hasPages = 0;
  SetStatusText(viewer, u"  Download failed");
  SetProgress(viewer, 0, 0);
  Invalidate(viewer, kEraseBackground);
  return 0;
}

// A stream refused after it was taken ends at once: the browser sends no end
// for a stream it could not open, and the viewer must not stay "downloading".
int32_t RefuseTakenStream(ViewerInstance* viewer) {
  viewer->download.streamFailed = 1;
  if (viewer->download.loadState == kLoadDownloading) viewer->download.loadState = kLoadDone;
  FailDownload(viewer);
  return kBeginRefused;
}

int TakesStream(ViewerInstance* viewer, void* stream) {
  if (viewer->download.loadState == kLoadIdle) return 1;
  if (viewer->download.loadState != kLoadAwaiting) return 0;
  return !viewer->download.acceptedStream || viewer->download.acceptedStream == stream;
}

int PrepareMemory(ViewerInstance* viewer) {
  Document& document = viewer->download.document;
  document.size = viewer->download.expectedLength;
  document.sizeKnown = 1;
  document.sourceKind = kSourceMemory;
  viewer->download.memoryBuffer = static_cast<uint8_t*>(calloc(viewer->download.expectedLength, 1));
  if (!viewer->download.memoryBuffer) {
    ShowMessage(Owner(viewer), kIconError, "Unable to allocate memory for TIFF image!");
    return 0;
  }
  document.bytes = viewer->download.memoryBuffer;
  return 1;
}

int PrepareTempFile(ViewerInstance* viewer) {
  viewer->download.document.sizeKnown = 0;
  viewer->download.document.sourceKind = kSourceFile;
  std::u16string name;
  if (!CreateTempFile(Owner(viewer), &name)) return 0;
  SetText(&viewer->download.tempFileName, name.c_str());
  viewer->download.tempFile = CreateFileForWriting(name);
  if (!viewer->download.tempFile) {
    ShowMessage(Owner(viewer), kIconError, "Unable to create temporary file!");
    return 0;
  }
  return 1;
}

int KeepInMemory(ViewerInstance* viewer, int64_t offset, int32_t length, const void* bytes, int64_t end) {
  if (!viewer->download.memoryBuffer) return 0;
  if (end > viewer->download.expectedLength) {
    // The box's modal loop lets the browser deliver further blocks; they must find the stream failed.
    viewer->download.streamFailed = 1;
    ShowMessage(Owner(viewer), kIconWarning,
                "Inconsistent amount of data received (expected %d bytes, received at least %d). This "
                "probably indicates a malfunctioning web server.",
                static_cast<int>(viewer->download.expectedLength), static_cast<int>(end));
    return 0;
  }
  std::memcpy(viewer->download.memoryBuffer + offset, bytes, static_cast<size_t>(length));
  return 1;
}

// The file grows in arrival order: browsers deliver a normal stream in sequence.
int KeepInFile(ViewerInstance* viewer, int32_t length, const void* bytes) {
  if (!viewer->download.tempFile) return 0;
  if (WriteToFile(viewer->download.tempFile, bytes, static_cast<uint32_t>(length)) != length) {
    viewer->download.streamFailed = 1;  // before the box, whose modal loop lets more blocks arrive
    ShowMessage(Owner(viewer), kIconError, "Unable to write to temporary file!");
    return 0;
  }
  return 1;
}

void ShowDownloadProgress(ViewerInstance* viewer, int64_t end) {
  if (viewer->download.expectedLength > 0) {
    const int64_t percent = end * 100 / viewer->download.expectedLength;
    SetTextFormatted(&viewer->status.statusText, "  Downloading\u2026 %d%% of %dK", static_cast<int>(percent),
                     static_cast<int>(viewer->download.expectedLength >> 10));
    SetStatusText(viewer, u"*");
    SetProgress(viewer, end, viewer->download.expectedLength);
  } else {
    SetTextFormatted(&viewer->status.statusText, "  Downloading\u2026 %dK of (unknown)",
                     static_cast<int>(end / 1024));
    SetStatusText(viewer, u"*");
  }
}

// The first two bytes tell the byte order; they are kept as they pass so the
// document need not be read again to recognise it.
void CaptureHeader(Document* document, int32_t offset, int32_t length, const uint8_t* bytes) {
  if (offset == 0) document->header[0] = bytes[0];
  if (offset == 0 && length >= 2) {
    document->header[1] = bytes[1];
    document->headerCaptured = 1;
  } else if (offset == 1) {
    document->header[1] = bytes[0];
    document->headerCaptured = 1;
  }
}

void LogStreamFailure(ViewerInstance* viewer, int32_t reason) {
  if (reason == kReasonNetworkError) {
    LogError(&viewer->logs.documentLog, "Download failed (network error)");
  } else if (reason == kReasonUserBreak) {
    LogWarning(&viewer->logs.documentLog, "Download failed (user break)");
  } else {
    LogError(&viewer->logs.documentLog, "Download failed (reason %d)", static_cast<int>(reason));
  }
}

int32_t FinishDownload(ViewerInstance* viewer) {
  Document& document = viewer->download.document;
  const bool mismatch = viewer->download.expectedLength != 0 &&
                        viewer->download.expectedLength != viewer->download.bytesReceived;
  if (mismatch || !document.sizeKnown) {
    // A server that sends a block twice counts more bytes than a memory
    // buffer holds; the document is never read past what was kept.
    const bool inMemory = document.sourceKind == kSourceMemory;
    document.size = inMemory ? std::min(viewer->download.bytesReceived, viewer->download.expectedLength)
                             : viewer->download.bytesReceived;
    document.sizeKnown = 1;
  }
  RefreshToolbar(viewer, kRefreshNow);
  SetStatusText(viewer, u"  Processing\u2026");
  SetProgress(viewer, 0, 0);
  if (document.sourceKind == kSourceFile)
    SetText(&viewer->download.localFileName, TextOf(&viewer->download.tempFileName));
  ProcessDocument(viewer);
  ShowPage(viewer, viewer->download.currentPage);
  if (mismatch) {
    LogWarning(&viewer->logs.documentLog,
               "Expected %d bytes, received %d. Possible web site or web browser malfunction.",
               static_cast<int>(viewer->download.expectedLength),
               static_cast<int>(viewer->download.bytesReceived));
  }
  RequestAutoPrint(viewer);
  return 0;
}

// The size of a file whose length was not announced; 0 when it cannot be read.
int MeasureFile(ViewerInstance* viewer) {
  FileHandle file = OpenFileForReading(viewer->download.document.fileName);
  const int64_t size = file ? FileSizeOf(file) : -1;
  if (file) CloseFile(file);
  if (size < 0) {
    LogError(&viewer->logs.documentLog, "Unable to read file");
    return 0;
  }
  if (size > 0xFFFFFFFF) {
    LogError(&viewer->logs.documentLog, "File is too large to handle (>=%u bytes)", 0xFFFFFFFFu);
    return 0;
  }
  viewer->download.document.size = static_cast<uint32_t>(size);
  viewer->download.document.sizeKnown = 1;
  return 1;
}

int LocateData(ViewerInstance* viewer) {
  Document& document = viewer->download.document;
  if (document.sourceKind == kSourceMemory) {
    document.bytes = viewer->download.memoryBuffer;
    return viewer->download.memoryBuffer && document.sizeKnown;
  }
  if (document.sourceKind != kSourceFile || viewer->download.localFileName.length == 0) return 0;
  document.fileName = TextOf(&viewer->download.localFileName);
  return document.sizeKnown || MeasureFile(viewer);
}

void ForgetPages(ViewerInstance* viewer) {
  viewer->download.document.ifds.clear();
  viewer->download.document.pageCount = 0;
  ReleaseAllMarkup(viewer);
}

}  // namespace

void DiscardDownload(ViewerInstance* viewer) {
  CloseTempFile(viewer);
  if (viewer->download.tempFileName.length > 0) DeleteFileAt(TextOf(&viewer->download.tempFileName));
  ReleaseText(&viewer->download.tempFileName);
  free(viewer->download.memoryBuffer);
  viewer->download.memoryBuffer = nullptr;
  viewer->download.document.bytes = nullptr;
}

int32_t BeginDownload(ViewerInstance* viewer, void* stream, const char16_t* url, const char16_t*,
                      uint32_t expectedLength) {
  if (!viewer) return kBeginRefused;
  if (!TakesStream(viewer, stream)) return kBeginRefused;
  viewer->download.acceptedStream = stream;
  viewer->download.streamsAccepted += 1;
  viewer->download.loadState = kLoadDownloading;
  viewer->download.streamFailed = 1;
  viewer->download.bytesReceived = 0;
  ReleaseDocument(viewer);
  viewer->download.expectedLength = expectedLength;
  if (viewer->download.documentUrl.length == 0 && url) SetText(&viewer->download.documentUrl, url);
  RefreshToolbar(viewer, kRefreshLater);
  ShowLoadStateText(viewer);
  DiscardDownload(viewer);
  const bool inMemory = expectedLength > 0 && expectedLength < kMemoryIntakeLimit;
  if (!(inMemory ? PrepareMemory(viewer) : PrepareTempFile(viewer))) return RefuseTakenStream(viewer);
  if (expectedLength > kLargestDownload) {
    ShowMessage(Owner(viewer), kIconWarning,
                "TIFF file too large (%u bytes). Downloads over 2GB are not supported.", expectedLength);
    return RefuseTakenStream(viewer);
  }
  viewer->download.streamFailed = 0;
  return kBeginAccepted;
}

int32_t ReceiveData(ViewerInstance* viewer, int32_t offset, int32_t length, const void* bytes) {
  if (!viewer) return -1;
  if (length <= 0) return length;
  if (offset < 0 || viewer->download.streamFailed || !bytes) return -1;
  const uint64_t received = uint64_t{viewer->download.bytesReceived} + static_cast<uint32_t>(length);
  viewer->download.bytesReceived = static_cast<uint32_t>(received);
  if (received > kLargestDownload) {
    LogError(&viewer->logs.documentLog, "File is too large to handle (>=%u bytes)",
             viewer->download.bytesReceived);
    viewer->download.streamFailed = 1;
    return -1;
  }
  const int64_t end = int64_t{offset} + length;
  const int kept = viewer->download.document.sourceKind == kSourceMemory
                       ? KeepInMemory(viewer, offset, length, bytes, end)
                       : KeepInFile(viewer, length, bytes);
  if (!kept) {
    viewer->download.streamFailed = 1;
    return -1;
  }
  ShowDownloadProgress(viewer, end);
  CaptureHeader(&viewer->download.document, offset, length, static_cast<const uint8_t*>(bytes));
  return length;
}

int32_t EndDownload(ViewerInstance* viewer, int32_t reason) {
  if (!viewer) return 2;
  if (viewer->download.loadState == kLoadDownloading) viewer->download.loadState = kLoadDone;
  CloseTempFile(viewer);
  if (!viewer->download.streamFailed) {
    if (reason != kReasonDone) {
      LogStreamFailure(viewer, reason);
    } else if (viewer->download.tempFileName.length > 0 || viewer->download.memoryBuffer) {
      return FinishDownload(viewer);
    }
  }
  return FailDownload(viewer);
}

int ProcessDocument(ViewerInstance* viewer) {
  BusyCursor busy(viewer);
  viewer->download.hasPages = 0;
  ResetLog(&viewer->logs.documentLog);
  ForgetPages(viewer);
  if (!LocateData(viewer)) return 0;
  Document& document = viewer->download.document;
  document.ignoreSpecialImages = viewer->prefs.ignoreSpecialImages;
  ReadPageDirectory(&document, &viewer->logs.documentLog);
  NumberPages(&document, &viewer->logs.documentLog);
  viewer->download.loadState = kLoadDone;
  if (document.pageCount > 0) {
    const int32_t last = document.pageCount - 1;
    viewer->download.currentPage =
        viewer->download.initialPage < 0
            ? 0
            : (viewer->download.initialPage > last ? last : viewer->download.initialPage);
    viewer->download.hasPages = 1;
  } else {
    // The toolbar and the page's scripts count the empty view as one page, the current one.
    document.pageCount = 1;
    viewer->download.currentPage = 0;
    viewer->view.pageInfo.valid = 0;
    CloseMagnifier(viewer);
    ReleaseBitmaps(&viewer->view);
    RefreshToolbar(viewer, kRefreshLater);
    LayoutMainView(viewer, kResetScroll);
  }
  if (viewer->download.currentPage < 0) viewer->download.currentPage = 0;
  RefreshToolbar(viewer, kRefreshLater);
  return viewer->download.hasPages;
}

void ReleaseDocument(ViewerInstance* viewer) {
  CloseMagnifier(viewer);
  ReleaseBitmaps(&viewer->view);
  ResetLog(&viewer->logs.documentLog);
  ResetLog(&viewer->logs.pageLog);
  DiscardDownload(viewer);
  ForgetPages(viewer);
  viewer->view.pageInfo.valid = 0;
  Document& document = viewer->download.document;
  document.headerCaptured = 0;
  document.sizeKnown = 0;
  document.size = 0;
  document.sourceKind = kSourceNone;
  document.fileName.clear();
  ReleaseText(&viewer->download.localFileName);
}

int UnloadDocument(ViewerInstance* viewer, int refresh) {
  if (viewer->download.loadState == kLoadDownloading) return 0;
  ReleaseDocument(viewer);
  ReleaseText(&viewer->download.documentUrl);
  viewer->download.loadState = kLoadIdle;
  viewer->download.hasPages = 0;
  SetStatusText(viewer, u"");
  if (refresh) {
    LayoutMainView(viewer, kKeepRelativeScroll);
    RefreshToolbar(viewer, kRefreshLater);
  }
  return 1;
}

void AwaitRequestedDownload(ViewerInstance* viewer, int32_t firstPage) {
  viewer->download.loadState = kLoadAwaiting;
  viewer->download.acceptedStream = nullptr;
  viewer->download.initialPage = firstPage;
  ShowLoadStateText(viewer);
}

int OpenLocalFile(ViewerInstance* viewer, const char16_t* path) {
  if (!path || !*path) return 0;
  SetStatusText(viewer, u"");
  // A document still arriving keeps its place; the user can open the file afterwards.
  if (!UnloadDocument(viewer, kLeaveView)) return 0;
  SetText(&viewer->download.localFileName, path);
  Document& document = viewer->download.document;
  document.sourceKind = kSourceFile;
  document.sizeKnown = 0;
  document.headerCaptured = 0;
  ProcessDocument(viewer);
  ShowPage(viewer, viewer->download.currentPage);
  return 1;
}
