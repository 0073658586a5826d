// The document model: where the file's bytes are, its image directories in
// discovery order and the pages they become.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/message_log.h"

enum SourceKind : int32_t { kSourceNone = 0, kSourceFile = 1, kSourceMemory = 2 };

constexpr uint32_t kReachedThroughSubIfd = 0x10000000;
constexpr size_t kIfdTableInitial = 250;
constexpr size_t kIfdTableMaximum = 32000;

struct IfdEntry {
  uint32_t offset;
  uint32_t flags;  // NewSubfileType bits, plus kReachedThroughSubIfd
  int32_t page;    // 0-based page, or -1 when not shown
};
static_assert(sizeof(IfdEntry) == 12);

struct Document {
  int32_t sourceKind = kSourceNone;
  const uint8_t* bytes = nullptr;  // memory source, not owned here
  uint32_t size = 0;
  int32_t sizeKnown = 0;
  std::u16string fileName;
  int32_t headerCaptured = 0;
  uint8_t header[2] = {0, 0};
  std::vector<IfdEntry> ifds;
  int32_t pageCount = 0;
  // Bit 0: hide reduced-resolution images; bit 1: hide images reached through SubIFDs.
  int32_t ignoreSpecialImages = 0;
};

int ValidateTiffHeader(Document* document, MessageLog* log);
int ReadPageDirectory(Document* document, MessageLog* log);
void NumberPages(Document* document, MessageLog* log);
int PageToIfd(const Document* document, int32_t page);
int IfdToPage(const Document* document, int32_t index);
std::u16string CompressionName(int32_t code);
