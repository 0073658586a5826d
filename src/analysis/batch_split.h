// Splitting a scanned batch into documents: a page whose barcode begins with
// the separator prefix starts a new document, nearly blank pages are dropped,
// and each document gets a file name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the analysis found on one page.
struct BatchPage {
  int32_t readable = 0;
  std::vector<std::u16string> barcodes;  // in reading order
  double inkFraction = 0;
};

struct SplitOptions {
  std::u16string separatorPrefix;  // empty: any symbol marks a separator
  double dropBelow = -1;           // pages with less ink are dropped; negative keeps every page
  int32_t keepSeparators = 0;      // the separator page opens the document it starts
};

struct SplitDocument {
  std::vector<int32_t> pages;    // 0-based source pages
  std::u16string separatorText;  // the barcode that started it; empty for the batch's start
};

struct SplitPlan {
  std::vector<SplitDocument> documents;  // none empty
  std::vector<int32_t> unreadable;       // 0-based pages that could not be read
  int32_t separators = 0;
  int32_t blanks = 0;
};

SplitPlan PlanSplit(const std::vector<BatchPage>& pages, const SplitOptions& options);

constexpr size_t kSplitNameMaximum = 100;
// "0001.tif" onwards, or with `fromBarcode` the separator's text made safe for
// a file name (no separators, control characters or leading dots, at most
// kSplitNameMaximum characters, "-2", "-3" ... added to repeats) plus ".tif";
// a document without separator text keeps its number.
std::vector<std::u16string> SplitFileNames(const SplitPlan& plan, int fromBarcode);
