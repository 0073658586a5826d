// The seam between libtiff and the viewer: opening over the document's bytes
// and routing libtiff's messages into the right log.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>

#include "common/message_log.h"
#include "document/page_directory.h"
#include "platform/platform.h"

// Bytes stay owned by the caller; the returned handle is closed with TIFFClose.
TIFF* OpenTiffFromMemory(const uint8_t* bytes, uint32_t size);

// An existing file opened for shared reading, never memory-mapped.
TIFF* OpenTiffFromFile(const std::u16string& name);
// Over the document's bytes or its file; null when it has neither or libtiff
// refuses it (libtiff has then reported why).
TIFF* OpenTiffForDocument(const Document* document);

// Writing into a file the caller opened and closes; libtiff's offsets count
// from the position the file had when writing began.
struct WritingTarget {
  FileHandle file = nullptr;
  uint32_t baseOffset = 0;
};
TIFF* OpenTiffForWriting(WritingTarget* target);

// Points libtiff's process-wide error and warning handlers at `log`.
void InstallLogHandlers(MessageLog* log);
// Handlers that drop every message (used while writing output).
void InstallSilentHandlers();
// The routing rules applied to one libtiff message; exposed for tests.
void RouteTiffMessage(MessageLog* log, LogKind kind, const char* module, const char* message);
