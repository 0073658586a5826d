// Reads the raw structure of a TIFF, BigTIFF or MDI file without libtiff and
// writes every directory, entry and value as text, with the problems found on
// the way (loops, bad offsets, unsorted tags) reported inside the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "document/dump_output.h"
#include "document/tag_tables.h"

// Non-zero when the read worked; `got` says how many bytes arrived.
using DumpReadProc = int (*)(void* user, uint64_t offset, void* buffer, uint32_t wanted, uint32_t* got);

enum DumpFileKind : int32_t { kDumpFileTiff = 1, kDumpFileMdi = 2 };
enum DumpByteOrder : int32_t { kDumpLittleEndian = 1, kDumpBigEndian = 2 };
enum DumpList : int32_t { kDumpMainList = 0, kDumpSubList = 1 };

// The directory is an Exif, GPS or Interoperability directory.
constexpr uint32_t kDumpIfdIsExif = 0x40000000;

constexpr size_t kDumpCacheSize = 1024;
constexpr size_t kDumpMessageSize = 200;
constexpr size_t kDumpListInitial = 100;
constexpr size_t kDumpListMaximum = 50000;
constexpr uint32_t kDumpMaximumChildren = 31;
constexpr uint64_t kDumpEntriesShown = 200;

struct DumpIfdRef {
  uint64_t offset;
  uint32_t flags;
};
static_assert(sizeof(DumpIfdRef) == 16);

struct TagDumper {
  DumpOutput output;
  DumpReadProc read = nullptr;
  void* user = nullptr;
  uint64_t endOfFile = 0;
  int32_t endKnown = 0;
  uint8_t cache[kDumpCacheSize];
  uint64_t cacheOffset = 0;
  uint32_t cacheValid = 0;
  int32_t fileKind = 0;
  int32_t byteOrder = 0;
  int32_t hostOrder = kDumpLittleEndian;
  int32_t bigTiff = 0;
  uint64_t firstIfd = 0;
  int32_t headerParsed = 0;
  int32_t listsBuilt = 0;
  char errorText[kDumpMessageSize] = {0};
  int32_t hasError = 0;  // sticky: every read yields 0 until cleared
  char warningText[kDumpMessageSize] = {0};
  int32_t hasWarning = 0;
  std::vector<DumpIfdRef> lists[2];
  std::unordered_set<uint64_t> listed;  // offsets in either list, for loop detection
};

// `endOfFile` 0 means the end is not known.
void InitTagDumper(TagDumper* dumper, int32_t mode, DumpReadProc read, DumpWriteProc write, void* user,
                   uint64_t endOfFile);

// Document start and end; both print a pending error.
void StartDump(TagDumper* dumper);
void FinishDump(TagDumper* dumper);

// Reads the header without printing; 0 with the error set when refused.
int ParseDumpHeader(TagDumper* dumper);
// The file header; 0 (after printing the reason) when it is not a TIFF file.
int DumpFileInfo(TagDumper* dumper);
// One directory; `kind` is 'T', 'E' (Exif-style names) or '*'. 0 when its
// entry count could not be read.
int DumpIfdAt(TagDumper* dumper, uint64_t offset, char kind);
// The number of directories in a list; the lists are built on the first call.
size_t CountIfds(TagDumper* dumper, int32_t list);
int DumpIfdOfList(TagDumper* dumper, int32_t list, size_t index);

// File information, every directory of the main chain, then every directory
// reached through SubIFDs, GlobalParametersIFD and the Exif tags. 0 when the
// header was refused or the output could not be written.
int DumpWholeFile(TagDumper* dumper);
// File information and the one directory at `offset`.
int DumpSinglePage(TagDumper* dumper, uint64_t offset);

// Errors are sticky until printed; warnings are printed after the entry that
// raised them.
void SetDumpError(TagDumper* dumper, const char* format, ...) __attribute__((format(printf, 2, 3)));
void SetDumpWarning(TagDumper* dumper, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ClearDumpError(TagDumper* dumper);
void PrintPendingMessages(TagDumper* dumper);

// One directory entry as stored, with where its data lies.
struct DumpEntry {
  uint32_t tag = 0;
  uint32_t type = 0;
  uint64_t count = 0;
  uint64_t fieldPosition = 0;                // file offset of the entry's value field
  uint64_t fieldValue = 0;                   // the value field read as an offset
  const DumpFieldType* fieldType = nullptr;  // null for an unknown type
  uint64_t dataSize = 0;                     // item size times count, saturated
  int32_t inField = 0;                       // the data is the value field itself
  uint64_t dataPosition = 0;
};

// Sizes of the directory layout: 2-byte count and 12-byte entries with 4-byte
// values (classic), or 8, 20 and 8 (BigTIFF).
uint64_t EntryCountSize(const TagDumper* dumper);
uint64_t EntrySize(const TagDumper* dumper);
uint64_t ValueFieldSize(const TagDumper* dumper);
uint64_t ReadEntryCount(TagDumper* dumper, uint64_t ifdOffset);
// 0 (with the error set) when the entry could not be read.
int ReadDumpEntry(TagDumper* dumper, uint64_t ifdOffset, uint64_t index, DumpEntry* entry);
uint64_t ReadNextIfdOffset(TagDumper* dumper, uint64_t ifdOffset, uint64_t entryCount);
// Offset arithmetic saturates, so that an overflowing position is a failed read.
uint64_t SaturatedAdd(uint64_t a, uint64_t b);
uint64_t SaturatedMultiply(uint64_t a, uint64_t b);

// Values in the file's byte order through the read cache; 0 once an error is set.
uint8_t DumpRead8(TagDumper* dumper, uint64_t offset);
uint16_t DumpRead16(TagDumper* dumper, uint64_t offset);
uint32_t DumpRead32(TagDumper* dumper, uint64_t offset);
uint64_t DumpRead64(TagDumper* dumper, uint64_t offset);
