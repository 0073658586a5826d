// The seam between libtiff and the viewer: opening over the document's bytes
// and routing libtiff's messages into the right log.
#pragma once

#include <tiffio.h>

#include <cstdint>

#include "common/message_log.h"

// Bytes stay owned by the caller; the returned handle is closed with TIFFClose.
TIFF* OpenTiffFromMemory(const uint8_t* bytes, uint32_t size);

// Points libtiff's process-wide error and warning handlers at `log`.
void InstallLogHandlers(MessageLog* log);
// Handlers that drop every message (used while writing output).
void InstallSilentHandlers();
// The routing rules applied to one libtiff message; exposed for tests.
void RouteTiffMessage(MessageLog* log, LogKind kind, const char* module, const char* message);
