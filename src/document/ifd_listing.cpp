// One directory of the structure dump: its entries as columns and their
// contents decoded by type.
#include <bit>
#include <cinttypes>
#include <cstring>

#include "document/tag_dumper.h"

namespace {

constexpr uint64_t kStringShown = 200;
constexpr uint64_t kRationalsShown = 20;
constexpr uint64_t kNumbersShown = 50;

void Separator(DumpOutput* out, uint64_t index) {
  if (index) WriteText(out, 0, ", ");
}

void MoreMark(DumpOutput* out) {
  WriteText(out, 0, ", ");
  WriteMark(out, DumpMark::kEllipsis);
}

// Printable characters in colour 1, other bytes as \xx in colour 2; runs of
// printable characters are written as one piece.
void WriteStringContents(TagDumper* d, const DumpEntry& e, uint64_t bytes) {
  DumpOutput* out = &d->output;
  WriteMark(out, DumpMark::kOpenQuote);
  char run[kStringShown + 1];
  size_t runLength = 0;
  uint64_t shown = 0;
  bool ended = false;
  for (; shown < bytes && shown < kStringShown; ++shown) {
    uint8_t c = DumpRead8(d, SaturatedAdd(e.dataPosition, shown));
    if (d->hasError || c == 0) {
      ended = true;
      break;
    }
    if (c >= 32 && c <= 126) {
      run[runLength++] = static_cast<char>(c);
      continue;
    }
    WriteLiteral(out, 1, run, runLength);
    runLength = 0;
    WriteText(out, 2, "\\%02x", c);
  }
  WriteLiteral(out, 1, run, runLength);
  // A terminator right after the 200th character means nothing was left out.
  if (!ended && bytes > kStringShown && DumpRead8(d, SaturatedAdd(e.dataPosition, kStringShown)) != 0 &&
      !d->hasError) {
    WriteMark(out, DumpMark::kEllipsis);
  }
  WriteMark(out, DumpMark::kCloseQuote);
}

void WriteRationals(TagDumper* d, const DumpEntry& e) {
  DumpOutput* out = &d->output;
  const bool isSigned = e.fieldType->isSigned;
  for (uint64_t i = 0; i < e.count && i < kRationalsShown; ++i) {
    uint64_t at = SaturatedAdd(e.dataPosition, 8 * i);
    uint32_t numerator = DumpRead32(d, at), denominator = DumpRead32(d, SaturatedAdd(at, 4));
    if (d->hasError) return;
    Separator(out, i);
    double quotient;
    if (isSigned) {
      int32_t n = static_cast<int32_t>(numerator), m = static_cast<int32_t>(denominator);
      WriteSigned(out, 1, n);
      WriteText(out, 0, "/");
      WriteSigned(out, 1, m);
      quotient = m ? static_cast<double>(n) / m : 0;
    } else {
      WriteUnsigned(out, 1, numerator);
      WriteText(out, 0, "/");
      WriteUnsigned(out, 1, denominator);
      quotient = denominator ? static_cast<double>(numerator) / denominator : 0;
    }
    if (denominator) WriteText(out, 0, "=%.3f", quotient);
  }
  if (e.count > kRationalsShown) MoreMark(out);
}

void WriteFloats(TagDumper* d, const DumpEntry& e) {
  DumpOutput* out = &d->output;
  for (uint64_t i = 0; i < e.count && i < kNumbersShown; ++i) {
    uint64_t at = SaturatedAdd(e.dataPosition, e.fieldType->itemSize * i);
    // Assembled in the file's byte order, so the bits are the host's float.
    double value = e.type == 11 ? static_cast<double>(std::bit_cast<float>(DumpRead32(d, at)))
                                : std::bit_cast<double>(DumpRead64(d, at));
    if (d->hasError) return;
    Separator(out, i);
    WriteText(out, 1, "%g", value);
  }
  if (e.count > kNumbersShown) MoreMark(out);
}

uint64_t ReadInteger(TagDumper* d, const DumpEntry& e, uint64_t index) {
  uint32_t size = e.fieldType->itemSize;
  uint64_t at = SaturatedAdd(e.dataPosition, SaturatedMultiply(size, index));
  uint64_t raw = size == 1   ? DumpRead8(d, at)
                 : size == 2 ? DumpRead16(d, at)
                 : size == 4 ? DumpRead32(d, at)
                             : DumpRead64(d, at);
  if (e.fieldType->isSigned && size < 8) {
    // Sign extension of the stored width.
    uint64_t sign = uint64_t{1} << (8 * size - 1);
    raw = (raw ^ sign) - sign;
  }
  return raw;
}

void WriteIntegers(TagDumper* d, const DumpEntry& e) {
  DumpOutput* out = &d->output;
  const bool isSigned = e.fieldType->isSigned;
  uint64_t first = 0, second = 0, total = 0, i = 0;
  char meaning[80];
  for (; i < e.count && i < kNumbersShown; ++i) {
    uint64_t value = ReadInteger(d, e, i);
    if (d->hasError) return;
    Separator(out, i);
    if (isSigned) {
      WriteSigned(out, 1, static_cast<int64_t>(value));
    } else {
      WriteUnsigned(out, 1, value);
    }
    ValueMeaning(e.tag, value, meaning, sizeof meaning);
    if (meaning[0]) WriteLiteral(out, 0, meaning, strlen(meaning));
    if (i == 0) first = value;
    if (i == 1) second = value;
    total += value;
  }
  if (e.count > kNumbersShown) MoreMark(out);
  if ((e.tag == kDumpTagStripByteCounts || e.tag == kDumpTagTileByteCounts) && e.count > 1) {
    // Byte counts are summed over every value, not only the ones shown.
    for (; i < e.count && !d->hasError; ++i) total += ReadInteger(d, e, i);
    if (!d->hasError) WriteText(out, 0, " (total=%" PRIu64 ")", total);
  }
  if (e.tag == 297 && e.count == 2) {
    if (second) {
      WriteText(out, 0, " (page %" PRId64 " of %" PRId64 ")", static_cast<int64_t>(first) + 1,
                static_cast<int64_t>(second));
    } else {
      WriteText(out, 0, " (page %" PRId64 ")", static_cast<int64_t>(first) + 1);
    }
  }
}

void WriteContents(TagDumper* d, const DumpEntry& e) {
  if (!e.fieldType) return;
  if (e.tag == kDumpTagXmlPacket || e.type == 2) {
    WriteStringContents(d, e, e.dataSize);
    return;
  }
  switch (e.type) {
    case 5:
    case 10:
      WriteRationals(d, e);
      break;
    case 11:
    case 12:
      WriteFloats(d, e);
      break;
    case 1:
    case 3:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
    case 16:
    case 17:
      WriteIntegers(d, e);
      break;
    default:  // directory offsets, Unicode, complex: no contents
      break;
  }
}

void WriteEntryLine(TagDumper* d, const DumpEntry& e, char kind) {
  DumpOutput* out = &d->output;
  WriteMark(out, DumpMark::kBullet);
  WriteMark(out, DumpMark::kTab);
  if (e.inField) {
    WriteUnsigned(out, 0, e.fieldPosition);
  } else {
    WriteUnsigned(out, 1, e.fieldValue);
  }
  WriteMark(out, DumpMark::kTab);
  WriteUnsigned(out, 1, e.type);
  WriteLiteral(out, 0, ":", 1);
  const char* typeName = e.fieldType ? e.fieldType->name : "?\?";
  WriteLiteral(out, 0, typeName, strlen(typeName));
  WriteMark(out, DumpMark::kTab);
  char name[64];
  ShownTagName(e.tag, kind, name, sizeof name);
  WriteUnsigned(out, 1, e.tag);
  WriteLiteral(out, 0, ":", 1);
  WriteLiteral(out, 0, name, strlen(name));
  WriteMark(out, DumpMark::kTab);
  WriteUnsigned(out, 1, e.count);
  WriteMark(out, DumpMark::kTimes);
  if (e.fieldType) {
    WriteUnsigned(out, 0, e.fieldType->itemSize);
    WriteLiteral(out, 0, "=", 1);
    WriteUnsigned(out, 0, e.dataSize);
  } else {
    WriteText(out, 0, e.count ? "?\?=?\?" : "?\?=0");
  }
  WriteMark(out, DumpMark::kTab);
  WriteContents(d, e);
  WriteMark(out, DumpMark::kParagraph);
}

void WriteTitle(DumpOutput* out, uint64_t offset) {
  WriteMark(out, DumpMark::kBold);
  WriteMark(out, DumpMark::kUnderline);
  WriteText(out, 0, "TIFF image at offset %" PRIu64, offset);
  WriteMark(out, DumpMark::kUnderlineOff);
  WriteMark(out, DumpMark::kBoldOff);
  WriteMark(out, DumpMark::kParagraph);
}

void WriteColumnTitles(DumpOutput* out) {
  WriteMark(out, DumpMark::kBold);
  for (const char* title : {"Offset", "Type", "Tag", "Size", "Contents"}) {
    WriteMark(out, DumpMark::kTab);
    WriteMark(out, DumpMark::kUnderline);
    WriteText(out, 0, "%s", title);
    WriteMark(out, DumpMark::kUnderlineOff);
  }
  WriteMark(out, DumpMark::kBoldOff);
  WriteMark(out, DumpMark::kParagraph);
}

}  // namespace

int DumpIfdAt(TagDumper* d, uint64_t offset, char kind) {
  DumpOutput* out = &d->output;
  WriteTitle(out, offset);
  // The layout of entries depends on the header.
  if (!d->headerParsed && !ParseDumpHeader(d)) {
    PrintPendingMessages(d);
    return 0;
  }
  if (offset & 1) SetDumpWarning(d, "Offset should be an even number.");
  PrintPendingMessages(d);
  uint64_t count = ReadEntryCount(d, offset);
  if (d->hasError) {
    PrintPendingMessages(d);
    return 0;
  }
  WriteText(out, 0, "Number of tags: ");
  WriteUnsigned(out, 1, count);
  WriteMark(out, DumpMark::kParagraph);
  if (count == 0) SetDumpWarning(d, "Every image directory must have at least one tag.");
  if (count > kDumpEntriesShown)
    SetDumpWarning(d, "Excessive number of tags. Only displaying the first 200.");
  PrintPendingMessages(d);
  WriteColumnTitles(out);
  bool orderWarned = false;
  uint32_t previous = 0;
  for (uint64_t i = 0; i < count && i < kDumpEntriesShown && !out->writeFailed; ++i) {
    DumpEntry e;
    if (ReadDumpEntry(d, offset, i, &e)) {
      if (i && e.tag < previous && !orderWarned) {
        SetDumpWarning(d, "Tags not in ascending numerical order.");
        orderWarned = true;
      }
      previous = e.tag;
      WriteEntryLine(d, e, kind);
    }
    PrintPendingMessages(d);
  }
  uint64_t next = ReadNextIfdOffset(d, offset, count);
  if (d->hasError) {
    PrintPendingMessages(d);
    return 1;
  }
  WriteText(out, 0, "Next image offset: ");
  if (next) {
    WriteUnsigned(out, 1, next);
  } else {
    WriteText(out, 0, "none");
  }
  WriteMark(out, DumpMark::kParagraph);
  return 1;
}
