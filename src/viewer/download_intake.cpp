#include "viewer/download_intake.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "output/auto_print.h"
#include "analysis/page_markup.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"
#include "viewer/window_calls.h"

namespace {

constexpr uint32_t kLargestDownload = 0x7FFFFFFF;

void* Owner(const ViewerInstance* viewer) { return viewer->pluginWindow; }

void CloseTempFile(ViewerInstance* viewer) {
  if (viewer->tempFile) CloseFile(viewer->tempFile);
  viewer->tempFile = nullptr;
}

// Whatever a download left: the open file, the file itself and the buffer.
void DiscardDownload(ViewerInstance* viewer) {
  CloseTempFile(viewer);
  if (viewer->tempFileName.length > 0) DeleteFileAt(TextOf(&viewer->tempFileName));
  ReleaseText(&viewer->tempFileName);
  free(viewer->memoryBuffer);
  viewer->memoryBuffer = nullptr;
  viewer->document.bytes = nullptr;
}

// The end of a download without a usable document. Its reason is in the log
// or was shown; the window shows the log over the empty view. Taking the
// status line and the progress bar away repaints only what they covered, so
// the whole view is invalidated for the log lines beneath.
int32_t FailDownload(ViewerInstance* viewer) {
  DiscardDownload(viewer);
  viewer->hasPages = 0;
  SetStatusText(viewer, u"  Download failed");
  SetProgress(viewer, 0, 0);
  Invalidate(viewer, 1);
  return 0;
}

// A stream refused after it was taken ends at once: the browser sends no end
// for a stream it could not open, and the viewer must not stay "downloading".
int32_t RefuseTakenStream(ViewerInstance* viewer) {
  viewer->streamFailed = 1;
  if (viewer->loadState == kLoadDownloading) viewer->loadState = kLoadDone;
  FailDownload(viewer);
  return kBeginRefused;
}

int TakesStream(ViewerInstance* viewer, void* stream) {
  if (viewer->loadState == kLoadIdle) return 1;
  if (viewer->loadState != kLoadAwaiting) return 0;
  return !viewer->acceptedStream || viewer->acceptedStream == stream;
}

int PrepareMemory(ViewerInstance* viewer) {
  Document& document = viewer->document;
  document.size = viewer->expectedLength;
  document.sizeKnown = 1;
  document.sourceKind = kSourceMemory;
  viewer->memoryBuffer = static_cast<uint8_t*>(calloc(viewer->expectedLength, 1));
  if (!viewer->memoryBuffer) {
    ShowMessage(Owner(viewer), kIconError, "Unable to allocate memory for TIFF image!");
    return 0;
  }
  document.bytes = viewer->memoryBuffer;
  return 1;
}

int PrepareTempFile(ViewerInstance* viewer) {
  viewer->document.sizeKnown = 0;
  viewer->document.sourceKind = kSourceFile;
  std::u16string name;
  if (!CreateTempFile(Owner(viewer), &name)) return 0;
  SetText(&viewer->tempFileName, name.c_str());
  viewer->tempFile = CreateFileForWriting(name);
  if (!viewer->tempFile) {
    ShowMessage(Owner(viewer), kIconError, "Unable to create temporary file!");
    return 0;
  }
  return 1;
}

int KeepInMemory(ViewerInstance* viewer, int64_t offset, int32_t length, const void* bytes, int64_t end) {
  if (!viewer->memoryBuffer) return 0;
  if (end > viewer->expectedLength) {
    // The box's modal loop lets the browser deliver further blocks; they must find the stream failed.
    viewer->streamFailed = 1;
    ShowMessage(Owner(viewer), kIconWarning,
                "Inconsistent amount of data received (expected %d bytes, received at least %d). This "
                "probably indicates a malfunctioning web server.",
                static_cast<int>(viewer->expectedLength), static_cast<int>(end));
    return 0;
  }
  std::memcpy(viewer->memoryBuffer + offset, bytes, static_cast<size_t>(length));
  return 1;
}

// The file grows in arrival order: browsers deliver a normal stream in sequence.
int KeepInFile(ViewerInstance* viewer, int32_t length, const void* bytes) {
  if (!viewer->tempFile) return 0;
  if (WriteToFile(viewer->tempFile, bytes, static_cast<uint32_t>(length)) != length) {
    viewer->streamFailed = 1;  // before the box, whose modal loop lets more blocks arrive
    ShowMessage(Owner(viewer), kIconError, "Unable to write to temporary file!");
    return 0;
  }
  return 1;
}

void ShowDownloadProgress(ViewerInstance* viewer, int64_t end) {
  if (viewer->expectedLength > 0) {
    const int64_t percent = end * 100 / viewer->expectedLength;
    SetTextFormatted(&viewer->statusText, "  Downloading\u2026 %d%% of %dK", static_cast<int>(percent),
                     static_cast<int>(viewer->expectedLength >> 10));
    SetStatusText(viewer, u"*");
    SetProgress(viewer, end, viewer->expectedLength);
  } else {
    SetTextFormatted(&viewer->statusText, "  Downloading\u2026 %dK of (unknown)",
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
    LogError(&viewer->documentLog, "Download failed (network error)");
  } else if (reason == kReasonUserBreak) {
    LogWarning(&viewer->documentLog, "Download failed (user break)");
  } else {
    LogError(&viewer->documentLog, "Download failed (reason %d)", static_cast<int>(reason));
  }
}

int32_t FinishDownload(ViewerInstance* viewer) {
  Document& document = viewer->document;
  const bool mismatch = viewer->expectedLength != 0 && viewer->expectedLength != viewer->bytesReceived;
  if (mismatch || !document.sizeKnown) {
    // A server that sends a block twice counts more bytes than a memory
    // buffer holds; the document is never read past what was kept.
    const bool inMemory = document.sourceKind == kSourceMemory;
    document.size = inMemory ? std::min(viewer->bytesReceived, viewer->expectedLength) : viewer->bytesReceived;
    document.sizeKnown = 1;
  }
  RefreshToolbar(viewer, 1);
  SetStatusText(viewer, u"  Processing\u2026");
  SetProgress(viewer, 0, 0);
  if (document.sourceKind == kSourceFile) SetText(&viewer->localFileName, TextOf(&viewer->tempFileName));
  ProcessDocument(viewer);
  ShowPage(viewer, viewer->currentPage);
  if (mismatch) {
    LogWarning(&viewer->documentLog,
               "Expected %d bytes, received %d. Possible web site or web browser malfunction.",
               static_cast<int>(viewer->expectedLength), static_cast<int>(viewer->bytesReceived));
  }
  RequestAutoPrint(viewer);
  return 0;
}

// The size of a file whose length was not announced; 0 when it cannot be read.
int MeasureFile(ViewerInstance* viewer) {
  FileHandle file = OpenFileForReading(viewer->document.fileName);
  const int64_t size = file ? FileSizeOf(file) : -1;
  if (file) CloseFile(file);
  if (size < 0) {
    LogError(&viewer->documentLog, "Unable to read file");
    return 0;
  }
  if (size > 0xFFFFFFFF) {
    LogError(&viewer->documentLog, "File is too large to handle (>=%u bytes)", 0xFFFFFFFFu);
    return 0;
  }
  viewer->document.size = static_cast<uint32_t>(size);
  viewer->document.sizeKnown = 1;
  return 1;
}

int LocateData(ViewerInstance* viewer) {
  Document& document = viewer->document;
  if (document.sourceKind == kSourceMemory) {
    document.bytes = viewer->memoryBuffer;
    return viewer->memoryBuffer && document.sizeKnown;
  }
  if (document.sourceKind != kSourceFile || viewer->localFileName.length == 0) return 0;
  document.fileName = TextOf(&viewer->localFileName);
  return document.sizeKnown || MeasureFile(viewer);
}

void ForgetPages(ViewerInstance* viewer) {
  viewer->document.ifds.clear();
  viewer->document.pageCount = 0;
  ReleaseAllMarkup(viewer);
}

}  // namespace

int32_t BeginStream(ViewerInstance* viewer, void* stream, const char16_t* url, const char16_t*,
                    uint32_t expectedLength) {
  if (!viewer) return kBeginRefused;
  if (!TakesStream(viewer, stream)) return kBeginRefused;
  viewer->acceptedStream = stream;
  viewer->streamsAccepted += 1;
  viewer->loadState = kLoadDownloading;
  viewer->streamFailed = 1;
  viewer->bytesReceived = 0;
  ReleaseDocument(viewer);
  viewer->expectedLength = expectedLength;
  if (viewer->documentUrl.length == 0 && url) SetText(&viewer->documentUrl, url);
  RefreshToolbar(viewer, 0);
  ShowLoadStateText(viewer);
  DiscardDownload(viewer);
  const bool inMemory = expectedLength > 0 && expectedLength < kMemoryIntakeLimit;
  if (!(inMemory ? PrepareMemory(viewer) : PrepareTempFile(viewer))) return RefuseTakenStream(viewer);
  if (expectedLength > kLargestDownload) {
    ShowMessage(Owner(viewer), kIconWarning,
                "TIFF file too large (%u bytes). Downloads over 2GB are not supported.", expectedLength);
    return RefuseTakenStream(viewer);
  }
  viewer->streamFailed = 0;
  return kBeginAccepted;
}

int32_t WriteData(ViewerInstance* viewer, int32_t offset, int32_t length, const void* bytes) {
  if (!viewer) return -1;
  if (length <= 0) return length;
  if (offset < 0 || viewer->streamFailed || !bytes) return -1;
  const uint64_t received = uint64_t{viewer->bytesReceived} + static_cast<uint32_t>(length);
  viewer->bytesReceived = static_cast<uint32_t>(received);
  if (received > kLargestDownload) {
    LogError(&viewer->documentLog, "File is too large to handle (>=%u bytes)", viewer->bytesReceived);
    viewer->streamFailed = 1;
    return -1;
  }
  const int64_t end = int64_t{offset} + length;
  const int kept = viewer->document.sourceKind == kSourceMemory
                       ? KeepInMemory(viewer, offset, length, bytes, end)
                       : KeepInFile(viewer, length, bytes);
  if (!kept) {
    viewer->streamFailed = 1;
    return -1;
  }
  ShowDownloadProgress(viewer, end);
  CaptureHeader(&viewer->document, offset, length, static_cast<const uint8_t*>(bytes));
  return length;
}

int32_t EndStream(ViewerInstance* viewer, int32_t reason) {
  if (!viewer) return 2;
  if (viewer->loadState == kLoadDownloading) viewer->loadState = kLoadDone;
  CloseTempFile(viewer);
  if (!viewer->streamFailed) {
    if (reason != kReasonDone) {
      LogStreamFailure(viewer, reason);
    } else if (viewer->tempFileName.length > 0 || viewer->memoryBuffer) {
      return FinishDownload(viewer);
    }
  }
  return FailDownload(viewer);
}

int ProcessDocument(ViewerInstance* viewer) {
  BusyCursor busy(viewer);
  viewer->hasPages = 0;
  ResetLog(&viewer->documentLog);
  ForgetPages(viewer);
  if (!LocateData(viewer)) return 0;
  Document& document = viewer->document;
  document.ignoreSpecialImages = viewer->prefs.ignoreSpecialImages;
  ReadPageDirectory(&document, &viewer->documentLog);
  NumberPages(&document, &viewer->documentLog);
  viewer->loadState = kLoadDone;
  if (document.pageCount > 0) {
    const int32_t last = document.pageCount - 1;
    viewer->currentPage =
        viewer->initialPage < 0 ? 0 : (viewer->initialPage > last ? last : viewer->initialPage);
    viewer->hasPages = 1;
  } else {
    // The toolbar and the page's scripts count the empty view as one page, the current one.
    document.pageCount = 1;
    viewer->currentPage = 0;
    viewer->pageInfo.valid = 0;
    CloseMagnifier(viewer);
    ReleaseViewBitmap(&viewer->mainView);
    ReleaseViewBitmap(&viewer->magnifierView);
    ReleasePageBitmap(&viewer->pageBitmap);
    RefreshToolbar(viewer, 0);
    LayoutMainView(viewer, 0);
  }
  if (viewer->currentPage < 0) viewer->currentPage = 0;
  RefreshToolbar(viewer, 0);
  return viewer->hasPages;
}

void ReleaseDocument(ViewerInstance* viewer) {
  CloseMagnifier(viewer);
  ReleaseViewBitmap(&viewer->mainView);
  ReleaseViewBitmap(&viewer->magnifierView);
  ReleasePageBitmap(&viewer->pageBitmap);
  ResetLog(&viewer->documentLog);
  ResetLog(&viewer->pageLog);
  DiscardDownload(viewer);
  ForgetPages(viewer);
  viewer->pageInfo.valid = 0;
  Document& document = viewer->document;
  document.headerCaptured = 0;
  document.sizeKnown = 0;
  document.size = 0;
  document.sourceKind = kSourceNone;
  document.fileName.clear();
  ReleaseText(&viewer->localFileName);
}

int UnloadDocument(ViewerInstance* viewer, int refresh) {
  if (viewer->loadState == kLoadDownloading) return 0;
  ReleaseDocument(viewer);
  ReleaseText(&viewer->documentUrl);
  viewer->loadState = kLoadIdle;
  viewer->hasPages = 0;
  SetStatusText(viewer, u"");
  if (refresh) {
    LayoutMainView(viewer, 1);
    RefreshToolbar(viewer, 0);
  }
  return 1;
}

int OpenLocalFile(ViewerInstance* viewer, const char16_t* path) {
  if (!path || !*path) return 0;
  SetStatusText(viewer, u"");
  // A document still arriving keeps its place; the user can open the file afterwards.
  if (!UnloadDocument(viewer, 0)) return 0;
  SetText(&viewer->localFileName, path);
  Document& document = viewer->document;
  document.sourceKind = kSourceFile;
  document.sizeKnown = 0;
  document.headerCaptured = 0;
  ProcessDocument(viewer);
  ShowPage(viewer, viewer->currentPage);
  return 1;
}
