#include "document/page_directory.h"

#include <tiffio.h>

#include <algorithm>
#include <new>

#include "common/text_format.h"
#include "document/tiff_adapter.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kHighestOffset = 0x80000000u;

bool IsByteOrderMark(const uint8_t* b) {
  return (b[0] == 'I' && b[1] == 'I') || (b[0] == 'M' && b[1] == 'M');
}

// Appends an offset found in the directory at `current`; false ends the walk
// (the table is full or memory ran out).
bool AddOffset(Document* document, MessageLog* log, uint64_t offset, uint32_t flags, uint32_t current,
               bool fromSubIfds) {
  if (offset == 0) return true;
  if (offset >= kHighestOffset) {
    LogWarning(log, "IFD offsets over 0x80000000 are not supported");
    return true;
  }
  auto& ifds = document->ifds;
  // Forward links on the main chain cannot repeat an earlier directory.
  if (offset <= current || fromSubIfds) {
    for (const IfdEntry& e : ifds) {
      if (e.offset == offset) {
        LogWarning(log, "IFD loop or duplicate IFD detected");
        return true;
      }
    }
  }
  if (ifds.size() >= kIfdTableMaximum) return false;
  if (ifds.size() == ifds.capacity()) {
    size_t grown = std::min(kIfdTableMaximum, std::max(kIfdTableInitial, 2 * ifds.capacity()));
    try {
      ifds.reserve(grown);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  ifds.push_back({static_cast<uint32_t>(offset), flags, 0});
  return true;
}

// Reads the document's bytes at any offset, from memory or from its file, for
// the few values libtiff does not hand out.
class ByteReader {
 public:
  explicit ByteReader(const Document* document) : document_(document) {
    if (document->sourceKind == kSourceFile && !document->fileName.empty()) {
      file_ = OpenFileForReading(document->fileName);
    }
  }
  ~ByteReader() {
    if (file_) CloseFile(file_);
  }
  ByteReader(const ByteReader&) = delete;
  ByteReader& operator=(const ByteReader&) = delete;

  bool IsOpen() const { return file_ || (document_->sourceKind == kSourceMemory && document_->bytes); }

  // True when all `count` bytes at `offset` arrived.
  bool Read(uint64_t offset, uint8_t* out, uint32_t count) {
    if (document_->sourceKind == kSourceMemory && document_->bytes) {
      if (offset + count > document_->size) return false;
      std::copy_n(document_->bytes + offset, count, out);
      return true;
    }
    return file_ && SeekFile(file_, static_cast<int64_t>(offset), 0) == static_cast<int64_t>(offset) &&
           ReadFromFile(file_, out, count) == count;
  }

 private:
  const Document* document_;
  FileHandle file_ = nullptr;
};

// libtiff keeps a directory's successor to itself, so the link is read from the
// bytes: the entry count, the entries, then the next offset (2, 12 and 4 bytes
// in classic TIFF; 8, 20 and 8 bytes in BigTIFF).
struct Layout {
  bool bigEndian = false;
  bool bigTiff = false;
};

uint64_t ReadNumber(const uint8_t* p, bool bigEndian, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint64_t{p[bigEndian ? i : bytes - 1 - i]} << (8 * (bytes - 1 - i));
  return v;
}

uint64_t NextIfdOffset(ByteReader* reader, Layout layout, uint32_t offset) {
  const int countSize = layout.bigTiff ? 8 : 2, entrySize = layout.bigTiff ? 20 : 12;
  const int linkSize = layout.bigTiff ? 8 : 4;
  uint8_t count[8], link[8];
  if (!reader->Read(offset, count, countSize)) return 0;
  uint64_t entries = ReadNumber(count, layout.bigEndian, countSize);
  // libtiff refuses directories of more entries than this anyway.
  if (entries > 0xFFFF) return 0;
  if (!reader->Read(uint64_t{offset} + countSize + entrySize * entries, link, linkSize)) return 0;
  return ReadNumber(link, layout.bigEndian, linkSize);
}

// Reads the current directory's NewSubfileType, SubIFDs and successor.
bool ExamineIfd(Document* document, MessageLog* log, TIFF* tiff, ByteReader* reader, Layout layout,
                size_t index) {
  uint32_t subfileType = 0;
  if (TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &subfileType)) document->ifds[index].flags |= subfileType;
  const IfdEntry entry = document->ifds[index];
  uint16_t count = 0;
  uint64_t* subIfds = nullptr;
  if (TIFFGetField(tiff, TIFFTAG_SUBIFD, &count, &subIfds) && subIfds) {
    for (uint16_t i = 0; i < count; ++i) {
      if (!AddOffset(document, log, subIfds[i] & 0xFFFFFFFFu, kReachedThroughSubIfd, entry.offset, true)) {
        return false;
      }
    }
  }
  uint64_t next = NextIfdOffset(reader, layout, entry.offset);
  return AddOffset(document, log, next, entry.flags & kReachedThroughSubIfd, entry.offset, false);
}

}  // namespace

int ValidateTiffHeader(Document* document, MessageLog* log) {
  if (!document->sizeKnown) {
    LogError(log, "Unexpected error: Can\u2019t determine file size");
    return 0;
  }
  if (document->size <= 7) {
    LogError(log, "File is too small to be a TIFF file (%d byte%s)", static_cast<int>(document->size),
             document->size == 1 ? "" : "s");
    return 0;
  }
  if (document->headerCaptured && IsByteOrderMark(document->header)) return 1;
  std::string shown;
  if (document->sourceKind == kSourceMemory || document->sourceKind == kSourceFile) {
    uint32_t taken = std::min<uint32_t>(document->size, 1000);
    uint8_t first[1000];
    ByteReader reader(document);
    if (!reader.Read(0, first, taken)) {
      LogError(log, "File read error");
      return 0;
    }
    if (!document->headerCaptured) {
      document->header[0] = first[0];
      document->header[1] = first[1];
      document->headerCaptured = 1;
      if (IsByteOrderMark(document->header)) return 1;
    }
    for (uint32_t i = 0; i < taken; ++i) {
      uint8_t c = first[i];
      shown.push_back(c < 32 || c > 126 ? ' ' : static_cast<char>(c));
    }
  }
  LogError(log, "Not a TIFF file. File contents: %s", shown.c_str());
  return 0;
}

void PointAtMemory(Document* document, const uint8_t* bytes, uint32_t size) {
  document->sourceKind = kSourceMemory;
  document->bytes = bytes;
  document->size = size;
  document->sizeKnown = 1;
}

int ReadPageDirectory(Document* document, MessageLog* log) {
  InstallLogHandlers(log);
  document->ifds.clear();
  document->ifds.shrink_to_fit();
  document->pageCount = 0;
  try {
    document->ifds.reserve(kIfdTableInitial);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (!ValidateTiffHeader(document, log)) return 0;
  TIFF* tiff = OpenTiffForDocument(document);
  if (!tiff) {
    if (log && log->errorCount == 0) LogError(log, "*** Unable to process this TIFF file ***");
    return 0;
  }
  document->ifds.push_back({static_cast<uint32_t>(TIFFCurrentDirOffset(tiff)), 0, 0});
  ByteReader reader(document);
  Layout layout;
  uint8_t header[4];
  if (reader.Read(0, header, 4)) {
    layout.bigEndian = header[0] == 'M';
    layout.bigTiff = ReadNumber(header + 2, layout.bigEndian, 2) == 43;
  }
  bool positioned = true;
  for (size_t index = 0; index < document->ifds.size(); ++index) {
    if (!positioned) {
      uint32_t offset = document->ifds[index].offset;
      if (!TIFFSetSubDirectory(tiff, offset)) {
        LogWarning(log, "Unreadable IFD at %lu", static_cast<unsigned long>(offset));
        continue;
      }
    }
    positioned = false;
    if (!ExamineIfd(document, log, tiff, &reader, layout, index)) break;
  }
  TIFFClose(tiff);
  return document->ifds.empty() ? 0 : 1;
}

void NumberPages(Document* document, MessageLog* log) {
  int32_t counter = 0;
  for (IfdEntry& e : document->ifds) {
    bool hidden = (e.flags & 4) || ((document->ignoreSpecialImages & 1) && (e.flags & 1)) ||
                  ((document->ignoreSpecialImages & 2) && (e.flags & kReachedThroughSubIfd));
    e.page = hidden ? -1 : counter++;
  }
  document->pageCount = counter;
  if (counter == 0 && log && log->errorCount == 0) LogWarning(log, "No images found");
}

int PageToIfd(const Document* document, int32_t page) {
  if (page < 0) return -1;
  for (size_t i = static_cast<size_t>(page); i < document->ifds.size(); ++i) {
    if (document->ifds[i].page == page) return static_cast<int>(i);
  }
  return -1;
}

int IfdToPage(const Document* document, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= document->ifds.size()) return -1;
  return document->ifds[static_cast<size_t>(index)].page;
}

void ResetPageInfo(PageInfo* info) {
  ReleaseText(&info->software);
  info->loaded = info->valid = 0;
  info->width = info->height = 0;
  info->compression = info->photometric = info->orientation = 0;
  InitText(&info->software, kSoftwareTextMaximum);
  info->bitsPerPixel = 0;
  info->xResolution = info->yResolution = 1.0;
  info->resolutionUnit = 1;
  info->resolutionValid = 0;
  info->newSubfileType = 0;
  info->pageName = info->model = info->targetPrinter = -1;
}

void ReleasePageInfo(PageInfo* info) {
  ResetPageInfo(info);
  ReleaseText(&info->software);
}
