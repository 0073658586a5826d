// What a print run does before any printer is touched: how a request is
// printed, which pages and how many times, and what the status line says.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text_buffer.h"

struct ViewerInstance;

enum PrintMode : int32_t { kPrintNothing = 0, kPrintWithDialog = 1, kPrintSilently = 2 };

// The print request kinds: 0 the dialog, 1 the default printer at once (the
// quick-print button), 4 and 5 as a page asks, which print silently only when
// the user allowed pages to do that; otherwise 4 prints nothing and 5 shows
// the dialog. Any other kind prints nothing.
int32_t PrintModeForKind(const ViewerInstance* viewer, int32_t kind);

// A dialog's page range, 1-based and inclusive.
struct PageRange {
  int32_t from = 0;
  int32_t to = 0;
};

// One flag per page (0-based); pages outside the document and reversed
// ranges mark nothing. A page named by two ranges prints once. Answers the
// number of pages selected.
int32_t SelectPages(const std::vector<PageRange>& ranges, int32_t pageCount, std::vector<uint8_t>* selected);

// Sets of the whole selection and copies of each page in a row.
struct CopyPlan {
  int32_t sets = 1;
  int32_t copiesPerPage = 1;
};
// Collated copies print the selection again and again, uncollated ones each
// page several times in a row. Without multiple-copy support the driver
// makes the copies, so the program prints everything once. A count below 1
// (a damaged device mode) prints once.
CopyPlan PlanCopies(int32_t copies, int collate, int supportMultipleCopies);

// The status text while copy `copy` (1-based) of a page prints: `page` is the
// page number, `printedInSet` its place among the `selectedTotal` pages of
// set `set` (1-based).
void PrintProgressText(TextBuffer* text, const CopyPlan& plan, int32_t page, int32_t printedInSet,
                       int32_t selectedTotal, int32_t set, int32_t copy);

// Per-page printer control: the paper tray, duplex and sheet breaks a page's
// PageName, Model and TargetPrinter tags ask for (-1 when absent).
struct PageRouting {
  int32_t canDuplex = 0;
  int32_t bin = 7;  // automatic selection
  int32_t binGiven = 0;
  int32_t duplex = 2;  // long-edge binding
  int32_t frontSide = 1;
  int32_t pagesStarted = 0;
};
struct RoutingTags {
  int32_t pageName = -1;
  int32_t model = -1;
  int32_t targetPrinter = -1;
};
// Takes the page's tags into the state; non-zero when the page must begin a
// new sheet, that is, an empty back side has to be printed first on a duplex
// printer.
int RoutePage(PageRouting* routing, const RoutingTags& tags);
// After the page: a simplex page always leaves the next one on a front side.
void EndRoutedPage(PageRouting* routing);
