#include "document/document_dump.h"

#include <cstring>
#include <memory>

namespace {

// The dumper takes one user pointer for both procedures.
struct DumpContext {
  DumpSource source;
  DumpWriteProc write;
  void* user;
};

int ReadFromContext(void* user, uint64_t offset, void* buffer, uint32_t wanted, uint32_t* got) {
  return ReadDumpSource(&static_cast<DumpContext*>(user)->source, offset, buffer, wanted, got);
}

int WriteFromContext(void* user, const char* text, size_t length) {
  DumpContext* context = static_cast<DumpContext*>(user);
  return context->write(context->user, text, length);
}

}  // namespace

int OpenDumpSource(DumpSource* source, const Document* document, MessageLog* log) {
  source->document = document;
  source->file = nullptr;
  source->size = document->sizeKnown ? document->size : 0;
  if (document->sourceKind == kSourceMemory && document->bytes) {
    source->size = document->size;
    return 1;
  }
  if (document->sourceKind == kSourceFile && !document->fileName.empty()) {
    source->file = OpenFileForReading(document->fileName);
    if (source->file) {
      if (!document->sizeKnown) {
        int64_t size = FileSizeOf(source->file);
        source->size = size > 0 ? static_cast<uint64_t>(size) : 0;
      }
      return 1;
    }
  }
  LogError(log, "Unable to read file");
  return 0;
}

void CloseDumpSource(DumpSource* source) {
  if (source->file) CloseFile(source->file);
  source->file = nullptr;
}

int ReadDumpSource(void* user, uint64_t offset, void* buffer, uint32_t wanted, uint32_t* got) {
  const DumpSource* source = static_cast<const DumpSource*>(user);
  *got = 0;
  if (offset > kDumpHighestOffset || offset >= source->size) return 0;
  uint64_t available = source->size - offset;
  uint32_t count = available < wanted ? static_cast<uint32_t>(available) : wanted;
  const Document* document = source->document;
  if (document->sourceKind == kSourceMemory && document->bytes) {
    memcpy(buffer, document->bytes + offset, count);
  } else if (!source->file ||
             SeekFile(source->file, static_cast<int64_t>(offset), 0) != static_cast<int64_t>(offset) ||
             ReadFromFile(source->file, buffer, count) != count) {
    return 0;
  }
  *got = count;
  return 1;
}

int DumpDocument(const Document* document, int32_t ifdIndex, int32_t mode, DumpWriteProc write, void* user,
                 MessageLog* log) {
  DumpContext context{{}, write, user};
  if (!OpenDumpSource(&context.source, document, log)) return 0;
  // About 10 KB of buffers: kept off the stack of the caller's window procedure.
  std::unique_ptr<TagDumper> dumper(new (std::nothrow) TagDumper);
  int ok = 0;
  if (!dumper) {
    LogError(log, "Out of memory (failed to allocate %u bytes)", static_cast<unsigned>(sizeof(TagDumper)));
  } else {
    InitTagDumper(dumper.get(), mode, ReadFromContext, WriteFromContext, &context, context.source.size);
    if (ifdIndex >= 0 && static_cast<size_t>(ifdIndex) < document->ifds.size()) {
      ok = DumpSinglePage(dumper.get(), document->ifds[ifdIndex].offset);
    } else {
      ok = DumpWholeFile(dumper.get());
    }
  }
  CloseDumpSource(&context.source);
  return ok;
}
