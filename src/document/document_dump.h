// The structure dump of a loaded document: its bytes come from memory or from
// its file, and the text goes to a write procedure.
#pragma once

#include <cstdint>

#include "common/message_log.h"
#include "document/page_directory.h"
#include "document/tag_dumper.h"
#include "platform/platform.h"

// Offsets above this are refused as if the file ended there.
constexpr uint64_t kDumpHighestOffset = 100000000;

struct DumpSource {
  const Document* document = nullptr;
  FileHandle file = nullptr;
  uint64_t size = 0;
};

// Opens a file document for shared reading; memory documents need nothing.
int OpenDumpSource(DumpSource* source, const Document* document, MessageLog* log);
void CloseDumpSource(DumpSource* source);
// The dumper's read procedure over a DumpSource: offsets beyond the highest
// offset or the document's size are refused, requests are cut at the size and
// a short file read is a failure.
int ReadDumpSource(void* source, uint64_t offset, void* buffer, uint32_t wanted, uint32_t* got);

// Dumps the whole file (`ifdIndex` below 0) or the one directory with that
// index in the document's IfdTable. 0 when the source could not be read, the
// header was refused or the output failed.
int DumpDocument(const Document* document, int32_t ifdIndex, int32_t mode, DumpWriteProc write, void* user,
                 MessageLog* log);
