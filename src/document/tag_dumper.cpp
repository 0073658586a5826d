#include "document/tag_dumper.h"

#include <bit>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <new>

namespace {

constexpr uint64_t kNoPosition = std::numeric_limits<uint64_t>::max();

void FormatMessage(char* text, const char* format, va_list args) {
  vsnprintf(text, kDumpMessageSize, format, args);
}

// A byte through the 1024-byte window; false once an error is set.
bool FetchByte(TagDumper* d, uint64_t offset, uint8_t* out) {
  if (d->hasError) return false;
  if (offset >= d->cacheOffset && offset - d->cacheOffset < d->cacheValid) {
    *out = d->cache[offset - d->cacheOffset];
    return true;
  }
  if (d->endKnown && offset >= d->endOfFile) {
    SetDumpError(d, "Attempt to read beyond end of file");
    return false;
  }
  uint64_t wanted = kDumpCacheSize;
  if (d->endKnown && d->endOfFile - offset < wanted) wanted = d->endOfFile - offset;
  uint32_t got = 0;
  d->cacheValid = 0;
  if (!d->read(d->user, offset, d->cache, static_cast<uint32_t>(wanted), &got) || got == 0 || got > wanted) {
    SetDumpError(d, "Attempt to read beyond end of file");
    return false;
  }
  d->cacheOffset = offset;
  d->cacheValid = got;
  *out = d->cache[0];
  return true;
}

uint64_t ReadUnsigned(TagDumper* d, uint64_t offset, int bytes) {
  if (offset > kNoPosition - static_cast<uint64_t>(bytes - 1)) {
    SetDumpError(d, "Attempt to read beyond end of file");
    return 0;
  }
  uint64_t value = 0;
  // The common case: the whole value is inside the window. Compared as
  // distances inside it, since offset + bytes wraps for offsets just below 2^64.
  if (!d->hasError && offset >= d->cacheOffset && offset - d->cacheOffset < d->cacheValid &&
      d->cacheValid - (offset - d->cacheOffset) >= static_cast<uint64_t>(bytes)) {
    const uint8_t* p = d->cache + (offset - d->cacheOffset);
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<uint64_t>(p[i]) << (d->byteOrder == kDumpBigEndian ? 8 * (bytes - 1 - i) : 8 * i);
    }
    return value;
  }
  for (int i = 0; i < bytes; ++i) {
    uint8_t b = 0;
    if (!FetchByte(d, offset + static_cast<uint64_t>(i), &b)) return 0;
    int shift = d->byteOrder == kDumpBigEndian ? 8 * (bytes - 1 - i) : 8 * i;
    value |= static_cast<uint64_t>(b) << shift;
  }
  return value;
}

}  // namespace

int ParseDumpHeader(TagDumper* d) {
  uint8_t first = DumpRead8(d, 0), second = DumpRead8(d, 1);
  if (d->hasError) return 0;
  if (first == 'I' && second == 'I') {
    d->fileKind = kDumpFileTiff;
    d->byteOrder = kDumpLittleEndian;
  } else if (first == 'M' && second == 'M') {
    d->fileKind = kDumpFileTiff;
    d->byteOrder = kDumpBigEndian;
  } else if (first == 'E' && second == 'P') {
    d->fileKind = kDumpFileMdi;
    d->byteOrder = kDumpLittleEndian;
  } else {
    SetDumpError(d, "Not a TIFF file");
    return 0;
  }
  uint16_t version = DumpRead16(d, 2);
  if (version == 42) {
    d->bigTiff = 0;
    d->firstIfd = DumpRead32(d, 4);
  } else if (version == 43) {
    d->bigTiff = 1;
    uint16_t byteSize = DumpRead16(d, 4);
    if (!d->hasError && byteSize != 8) {
      SetDumpError(d, "Invalid or unsupported BigTIFF bytesize (%u)", byteSize);
      return 0;
    }
    uint16_t filler = DumpRead16(d, 6);
    if (!d->hasError && filler != 0) {
      SetDumpError(d, "Invalid BigTIFF filler bytes (%u)", filler);
      return 0;
    }
    d->firstIfd = DumpRead64(d, 8);
  } else if (!d->hasError) {
    SetDumpError(d, "Invalid or unsupported TIFF file (bad version number)");
  }
  if (d->hasError) return 0;
  d->headerParsed = 1;
  return 1;
}

namespace {

// Appends a directory to a list; false ends the building of the lists.
bool AddToList(TagDumper* d, int32_t list, uint64_t offset, uint32_t flags) {
  std::vector<DumpIfdRef>& refs = d->lists[list];
  if (refs.size() >= kDumpListMaximum) {
    SetDumpError(d, "Too many IFDs");
    return false;
  }
  try {
    if (!d->listed.insert(offset).second) {
      SetDumpError(d, "IFD loop or cross-link detected");
      return false;
    }
    if (refs.size() == refs.capacity()) refs.reserve(refs.size() + kDumpListInitial);
    refs.push_back({offset, flags});
  } catch (const std::bad_alloc&) {
    SetDumpError(d, "Out of memory");
    return false;
  }
  return true;
}

// The kind of child directory an entry points to: 0 for none.
uint32_t ChildKind(uint32_t tag) {
  switch (tag) {
    case kDumpTagSubIfds:
    case kDumpTagGlobalParametersIfd:
      return 1;
    case kDumpTagExifIfd:
    case kDumpTagGpsIfd:
    case kDumpTagInteroperabilityIfd:
      return 2;
    default:
      return 0;
  }
}

// Appends the directories that the one at `offset` points to; false ends the
// building. Unreadable directories are left for their own dump to report.
bool CollectChildren(TagDumper* d, uint64_t offset) {
  uint64_t count = ReadEntryCount(d, offset);
  uint32_t found = 0;
  for (uint64_t i = 0; i < count && !d->hasError && found < kDumpMaximumChildren; ++i) {
    DumpEntry e;
    if (!ReadDumpEntry(d, offset, i, &e)) break;
    uint32_t kind = ChildKind(e.tag);
    if (!kind || e.count < 1 || e.count > 1000) continue;
    int width = e.type == 4 || e.type == 13 ? 4 : e.type == 16 || e.type == 18 ? 8 : 0;
    if (!width) continue;
    for (uint64_t k = 0; k < e.count && found < kDumpMaximumChildren; ++k) {
      uint64_t child = ReadUnsigned(d, SaturatedAdd(e.dataPosition, k * static_cast<uint64_t>(width)), width);
      if (d->hasError) break;
      if (child == 0) continue;
      ++found;
      if (!AddToList(d, kDumpSubList, child, kind == 2 ? kDumpIfdIsExif : 0)) return false;
    }
  }
  ClearDumpError(d);
  return true;
}

void BuildIfdLists(TagDumper* d) {
  if (d->listsBuilt) return;
  d->listsBuilt = 1;
  if (!d->headerParsed && !ParseDumpHeader(d)) {
    ClearDumpError(d);
    return;
  }
  bool going = true;
  for (uint64_t offset = d->firstIfd; offset != 0;) {
    going = AddToList(d, kDumpMainList, offset, 0) && CollectChildren(d, offset);
    if (!going) break;
    uint64_t next = ReadNextIfdOffset(d, offset, ReadEntryCount(d, offset));
    if (d->hasError) {
      ClearDumpError(d);
      break;
    }
    offset = next;
  }
  // The list grows while it is walked: children of children join its end.
  for (size_t i = 0; going && i < d->lists[kDumpSubList].size(); ++i) {
    going = CollectChildren(d, d->lists[kDumpSubList][i].offset);
  }
  PrintPendingMessages(d);
}

void PrintMessage(TagDumper* d, const char* label, const char* text) {
  WriteText(&d->output, 3, "%s: %s", label, text);
  SetDumpColour(&d->output, 0);
  WriteMark(&d->output, DumpMark::kParagraph);
}

}  // namespace

uint64_t SaturatedAdd(uint64_t a, uint64_t b) {
  uint64_t sum;
  return __builtin_add_overflow(a, b, &sum) ? kNoPosition : sum;
}

uint64_t SaturatedMultiply(uint64_t a, uint64_t b) {
  uint64_t product;
  return __builtin_mul_overflow(a, b, &product) ? kNoPosition : product;
}

void InitTagDumper(TagDumper* d, int32_t mode, DumpReadProc read, DumpWriteProc write, void* user,
                   uint64_t endOfFile) {
  InitDumpOutput(&d->output, mode, write, user);
  d->read = read;
  d->user = user;
  d->endOfFile = endOfFile;
  d->endKnown = endOfFile != 0;
  d->cacheOffset = 0;
  d->cacheValid = 0;
  d->hostOrder = std::endian::native == std::endian::big ? kDumpBigEndian : kDumpLittleEndian;
  d->headerParsed = 0;
  d->listsBuilt = 0;
  d->hasError = d->hasWarning = 0;
  d->errorText[0] = d->warningText[0] = 0;
  d->lists[0].clear();
  d->lists[1].clear();
  d->listed.clear();
}

void SetDumpError(TagDumper* d, const char* format, ...) {
  if (d->hasError) return;  // the first cause is the one worth showing
  va_list args;
  va_start(args, format);
  FormatMessage(d->errorText, format, args);
  va_end(args);
  d->hasError = 1;
}

void SetDumpWarning(TagDumper* d, const char* format, ...) {
  if (d->hasWarning) return;
  va_list args;
  va_start(args, format);
  FormatMessage(d->warningText, format, args);
  va_end(args);
  d->hasWarning = 1;
}

void ClearDumpError(TagDumper* d) {
  d->hasError = 0;
  d->errorText[0] = 0;
}

void PrintPendingMessages(TagDumper* d) {
  if (d->hasError) PrintMessage(d, "Error", d->errorText);
  ClearDumpError(d);
  if (d->hasWarning) PrintMessage(d, "Warning", d->warningText);
  d->hasWarning = 0;
  d->warningText[0] = 0;
}

uint8_t DumpRead8(TagDumper* d, uint64_t offset) { return static_cast<uint8_t>(ReadUnsigned(d, offset, 1)); }
uint16_t DumpRead16(TagDumper* d, uint64_t offset) {
  return static_cast<uint16_t>(ReadUnsigned(d, offset, 2));
}
uint32_t DumpRead32(TagDumper* d, uint64_t offset) {
  return static_cast<uint32_t>(ReadUnsigned(d, offset, 4));
}
uint64_t DumpRead64(TagDumper* d, uint64_t offset) { return ReadUnsigned(d, offset, 8); }

uint64_t EntryCountSize(const TagDumper* d) { return d->bigTiff ? 8 : 2; }
uint64_t EntrySize(const TagDumper* d) { return d->bigTiff ? 20 : 12; }
uint64_t ValueFieldSize(const TagDumper* d) { return d->bigTiff ? 8 : 4; }

uint64_t ReadEntryCount(TagDumper* d, uint64_t ifdOffset) {
  return d->bigTiff ? DumpRead64(d, ifdOffset) : DumpRead16(d, ifdOffset);
}

int ReadDumpEntry(TagDumper* d, uint64_t ifdOffset, uint64_t index, DumpEntry* e) {
  uint64_t at =
      SaturatedAdd(SaturatedAdd(ifdOffset, EntryCountSize(d)), SaturatedMultiply(index, EntrySize(d)));
  e->tag = DumpRead16(d, at);
  e->type = DumpRead16(d, SaturatedAdd(at, 2));
  e->count = d->bigTiff ? DumpRead64(d, SaturatedAdd(at, 4)) : DumpRead32(d, SaturatedAdd(at, 4));
  e->fieldPosition = SaturatedAdd(at, d->bigTiff ? 12 : 8);
  e->fieldValue = d->bigTiff ? DumpRead64(d, e->fieldPosition) : DumpRead32(d, e->fieldPosition);
  if (d->hasError) return 0;
  e->fieldType = DumpFieldTypeOf(e->type);
  e->dataSize = e->fieldType ? SaturatedMultiply(e->fieldType->itemSize, e->count) : 0;
  e->inField = e->dataSize <= ValueFieldSize(d);
  e->dataPosition = e->inField ? e->fieldPosition : e->fieldValue;
  return 1;
}

uint64_t ReadNextIfdOffset(TagDumper* d, uint64_t ifdOffset, uint64_t entryCount) {
  if (d->hasError) return 0;
  uint64_t at =
      SaturatedAdd(SaturatedAdd(ifdOffset, EntryCountSize(d)), SaturatedMultiply(entryCount, EntrySize(d)));
  return d->bigTiff ? DumpRead64(d, at) : DumpRead32(d, at);
}

void StartDump(TagDumper* d) {
  WriteDocumentStart(&d->output);
  if (d->hasError) PrintMessage(d, "Error", d->errorText);
  ClearDumpError(d);
}

void FinishDump(TagDumper* d) {
  if (d->hasError) PrintMessage(d, "Error", d->errorText);
  ClearDumpError(d);
  WriteDocumentEnd(&d->output);
}

int DumpFileInfo(TagDumper* d) {
  DumpOutput* out = &d->output;
  WriteMark(out, DumpMark::kBold);
  WriteMark(out, DumpMark::kUnderline);
  WriteText(out, 0, "TIFF file information");
  WriteMark(out, DumpMark::kUnderlineOff);
  WriteMark(out, DumpMark::kBoldOff);
  WriteMark(out, DumpMark::kParagraph);
  if (!ParseDumpHeader(d)) {
    PrintPendingMessages(d);
    return 0;
  }
  if (d->fileKind == kDumpFileMdi) {
    WriteText(out, 0, "File format: MDI");
    WriteMark(out, DumpMark::kParagraph);
  }
  if (d->bigTiff) {
    WriteText(out, 0, "File format: BigTIFF");
    WriteMark(out, DumpMark::kParagraph);
  }
  WriteText(out, 0, "Byte order: %s-endian", d->byteOrder == kDumpBigEndian ? "big" : "little");
  WriteMark(out, DumpMark::kParagraph);
  WriteText(out, 0, "First image offset: ");
  WriteUnsigned(out, 1, d->firstIfd);
  WriteMark(out, DumpMark::kParagraph);
  return 1;
}

size_t CountIfds(TagDumper* d, int32_t list) {
  BuildIfdLists(d);
  return list == kDumpMainList || list == kDumpSubList ? d->lists[list].size() : 0;
}

int DumpIfdOfList(TagDumper* d, int32_t list, size_t index) {
  if (index >= CountIfds(d, list)) return 0;
  const DumpIfdRef ref = d->lists[list][index];
  return DumpIfdAt(d, ref.offset, ref.flags & kDumpIfdIsExif ? 'E' : 'T');
}

int DumpWholeFile(TagDumper* d) {
  StartDump(d);
  int ok = DumpFileInfo(d);
  if (ok) {
    WriteMark(&d->output, DumpMark::kParagraph);
    for (int32_t list : {kDumpMainList, kDumpSubList}) {
      for (size_t i = 0; i < CountIfds(d, list) && !d->output.writeFailed; ++i) {
        DumpIfdOfList(d, list, i);
        WriteMark(&d->output, DumpMark::kParagraph);
      }
    }
  }
  FinishDump(d);
  return ok && !d->output.writeFailed;
}

int DumpSinglePage(TagDumper* d, uint64_t offset) {
  StartDump(d);
  int ok = DumpFileInfo(d);
  if (ok) {
    WriteMark(&d->output, DumpMark::kParagraph);
    DumpIfdAt(d, offset, '*');
  }
  FinishDump(d);
  return ok && !d->output.writeFailed;
}
