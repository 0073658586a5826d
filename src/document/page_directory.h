// The document model: where the file's bytes are, its image directories in
// discovery order and the pages they become.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/message_log.h"
#include "common/text_buffer.h"

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

// The image directories in discovery order.
using IfdTable = std::vector<IfdEntry>;

struct Document {
  int32_t sourceKind = kSourceNone;
  const uint8_t* bytes = nullptr;  // memory source, not owned here
  uint32_t size = 0;
  int32_t sizeKnown = 0;
  std::u16string fileName;
  int32_t headerCaptured = 0;
  uint8_t header[2] = {0, 0};
  IfdTable ifds;
  int32_t pageCount = 0;
  // Bit 0: hide reduced-resolution images; bit 1: hide images reached through SubIFDs.
  int32_t ignoreSpecialImages = 0;
};

constexpr int32_t kSoftwareTextMaximum = 128;

// Facts of one loaded page. Width and height are after the orientation tag was
// applied; the resolution is 1.0 by 1.0 with unit 1 unless it was valid.
struct PageInfo {
  int32_t loaded = 0;  // the page was decoded
  int32_t valid = 0;   // the tags were read
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t compression = 0;
  int32_t photometric = 0;  // as stored
  int32_t orientation = 0;  // the orientation tag, 1-8
  TextBuffer software{kSoftwareTextMaximum};
  int32_t bitsPerPixel = 0;  // as stored: samples per pixel times bits per sample
  double xResolution = 1.0;
  double yResolution = 1.0;
  int32_t resolutionUnit = 1;  // 1 none, 2 inch, 3 centimetre
  int32_t resolutionValid = 0;
  uint32_t newSubfileType = 0;
  // PageName, Model and TargetPrinter as numbers, read only for per-page printer control.
  int32_t pageName = -1;
  int32_t model = -1;
  int32_t targetPrinter = -1;
};

void ResetPageInfo(PageInfo* info);
void ReleasePageInfo(PageInfo* info);

// Points the document at bytes held in memory (not copied, not owned) whose
// size is known.
void PointAtMemory(Document* document, const uint8_t* bytes, uint32_t size);

int ValidateTiffHeader(Document* document, MessageLog* log);
int ReadPageDirectory(Document* document, MessageLog* log);
void NumberPages(Document* document, MessageLog* log);
int PageToIfd(const Document* document, int32_t page);
int IfdToPage(const Document* document, int32_t index);
