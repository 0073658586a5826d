// Names the structure dump gives to field types, tags and the values of a few
// well-known tags.
#pragma once

#include <cstddef>
#include <cstdint>

// The tags the dump itself acts on. The dump reads files without libtiff, so
// it names them itself.
constexpr uint32_t kDumpTagSubfileType = 254;
constexpr uint32_t kDumpTagCompression = 259;
constexpr uint32_t kDumpTagPhotometric = 262;
constexpr uint32_t kDumpTagStripByteCounts = 279;
constexpr uint32_t kDumpTagTileByteCounts = 325;
constexpr uint32_t kDumpTagSubIfds = 330;
constexpr uint32_t kDumpTagGlobalParametersIfd = 400;
constexpr uint32_t kDumpTagXmlPacket = 700;
constexpr uint32_t kDumpTagExifIfd = 34665;
constexpr uint32_t kDumpTagGpsIfd = 34853;
constexpr uint32_t kDumpTagInteroperabilityIfd = 40965;

struct DumpFieldType {
  const char* name;
  uint32_t itemSize;
  int32_t isSigned;
};

struct TagNameRow {
  uint32_t tag;
  const char* name;  // "T:" for TIFF and private tags, "E:" for Exif tags
};

// Null for type numbers without a row (shown as "??" with size 0).
const DumpFieldType* DumpFieldTypeOf(uint32_t type);
// "Unknown" for codes without a row.
const char* DumpCompressionName(uint32_t code);
const char* DumpPhotometricName(uint32_t code);

// The rows in ascending tag order, ended by a row with tag 0.
const TagNameRow* TagNameRows();
// The stored name with its prefix, or null.
const char* StoredTagName(uint32_t tag);
// The name shown for `tag` in a directory of kind 'T', 'E' or '*'.
void ShownTagName(uint32_t tag, char kind, char* out, size_t size);
// What is written after an integer value of `tag`: ":" and the meaning, or
// ":unknown" for a value without one; empty for tags whose values have none.
void ValueMeaning(uint32_t tag, uint64_t value, char* out, size_t size);
