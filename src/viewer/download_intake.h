// How a document reaches the viewer: a browser stream kept in memory or in a
// temporary file, or a local file the user picked; the status text and the
// progress shown while it arrives; and the release of the document again.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

// Announced lengths from 1 up to this, exclusive, are collected in memory;
// unknown and larger lengths go to a temporary file.
constexpr uint32_t kMemoryIntakeLimit = 0x200000;
constexpr uint32_t kAutoPrintMessage = 0x82C2;

// Load states are the record's own (LoadState in viewer_instance.h).
enum StreamReason : int32_t { kReasonDone = 0, kReasonNetworkError = 1, kReasonUserBreak = 2 };
enum BeginResult : int32_t { kBeginAccepted = 0, kBeginRefused = 1, kBeginNoInstance = 2 };

// A stream starts; `stream` only identifies it. Answers a BeginResult.
int32_t BeginDownload(ViewerInstance* viewer, void* stream, const char16_t* url, const char16_t* mimeType,
                    uint32_t expectedLength);
// One block: the count taken, the length itself when it is 0 or less, or -1
// to abort the stream.
int32_t ReceiveData(ViewerInstance* viewer, int32_t offset, int32_t length, const void* bytes);
// The stream ended for `reason`; the document is read and shown when the
// data is usable. Always 0, 2 without instance.
int32_t EndDownload(ViewerInstance* viewer, int32_t reason);

// An empty text removes the status; "*" shows the stored text again.
void SetStatusText(ViewerInstance* viewer, const char16_t* text);
// The text of load states 0 to 2; 0 for any other state.
int ShowLoadStateText(ViewerInstance* viewer);
// A total of 0 or less removes the progress bar.
void SetProgress(ViewerInstance* viewer, int64_t done, int64_t total);

// Whatever a download left: the open file, the file itself and the buffer.
void DiscardDownload(ViewerInstance* viewer);
// Reads the page directory of the received data; answers whether it has pages.
int ProcessDocument(ViewerInstance* viewer);
// Frees everything that belongs to the current document, its temporary file included.
void ReleaseDocument(ViewerInstance* viewer);
// Back to idle; refused while a stream arrives.
int UnloadDocument(ViewerInstance* viewer, int refresh);
// Reads and shows a local file in place of the current document; refused
// while a stream arrives.
int OpenLocalFile(ViewerInstance* viewer, const char16_t* path);

enum AutoPrintAction : int32_t { kAutoPrintNone = 0, kAutoPrintWithDialog = 1, kAutoPrintDirect = 2 };
// What the automatic-print message asks for now, from `autoprint`,
// `allowscript` and `allowautoprint`.
int32_t DecideAutoPrint(const ViewerInstance* viewer);
