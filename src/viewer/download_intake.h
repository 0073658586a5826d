// How a document reaches the viewer: a browser stream kept in memory or in a
// temporary file, or a local file the user picked; and the release of the
// document again. The status line shows how the download goes.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

// Announced lengths from 1 up to this, exclusive, are collected in memory;
// unknown and larger lengths go to a temporary file.
constexpr uint32_t kMemoryIntakeLimit = 0x200000;

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

// Whatever a download left: the open file, the file itself and the buffer.
void DiscardDownload(ViewerInstance* viewer);
// Reads the page directory of the received data; answers whether it has pages.
int ProcessDocument(ViewerInstance* viewer);
// Frees everything that belongs to the current document, its temporary file included.
void ReleaseDocument(ViewerInstance* viewer);
// Back to idle; refused while a stream arrives.
int UnloadDocument(ViewerInstance* viewer, int refresh);
// A script asked the browser for a document: the stream that answers is the
// one to take, shown from `firstPage` (0-based; the document's range limits it
// when it arrives). Whatever stream was accepted before is forgotten.
void AwaitRequestedDownload(ViewerInstance* viewer, int32_t firstPage);
// Reads and shows a local file in place of the current document; refused
// while a stream arrives.
int OpenLocalFile(ViewerInstance* viewer, const char16_t* path);
