#include "output/print_plan.h"

#include <algorithm>

#include "viewer/viewer_instance.h"

int32_t PrintModeForKind(const ViewerInstance* viewer, int32_t kind) {
  const int pagesMayPrint = viewer->prefs.allowAutoPrint != 0;
  switch (kind) {
    case 0:
      return kPrintWithDialog;
    case 1:
      return kPrintSilently;
    case 4:
      return pagesMayPrint ? kPrintSilently : kPrintNothing;
    case 5:
      return pagesMayPrint ? kPrintSilently : kPrintWithDialog;
    default:
      return kPrintNothing;
  }
}

int32_t SelectPages(const std::vector<PageRange>& ranges, int32_t pageCount, std::vector<uint8_t>* selected) {
  selected->assign(static_cast<size_t>(std::max(pageCount, 0)), 0);
  int32_t total = 0;
  for (const PageRange& range : ranges) {
    // Clamped first, so a range up to 2^31 does not walk two billion numbers.
    const int32_t from = std::max(range.from, 1), to = std::min(range.to, pageCount);
    for (int32_t page = from; page <= to; ++page) {
      uint8_t& flag = (*selected)[static_cast<size_t>(page - 1)];
      if (!flag) ++total;
      flag = 1;
    }
  }
  return total;
}

CopyPlan PlanCopies(int32_t copies, int collate, int supportMultipleCopies) {
  CopyPlan plan;
  if (!supportMultipleCopies || copies < 1) return plan;
  if (collate)
    plan.sets = copies;
  else
    plan.copiesPerPage = copies;
  return plan;
}

void PrintProgressText(TextBuffer* text, const CopyPlan& plan, int32_t page, int32_t printedInSet,
                       int32_t selectedTotal, int32_t set, int32_t copy) {
  if (plan.copiesPerPage >= 2) {
    SetTextFormatted(text, "  Printing page %d of %d (copy %d of %d)", printedInSet, selectedTotal, copy,
                     plan.copiesPerPage);
  } else if (plan.sets >= 2) {
    SetTextFormatted(text, "  Printing page %d of %d (copy %d of %d)", printedInSet, selectedTotal, set,
                     plan.sets);
  } else {
    SetTextFormatted(text, "  Printing page %d (%d of %d)", page, printedInSet, selectedTotal);
  }
}

int RoutePage(PageRouting* routing, const RoutingTags& tags) {
  if (tags.targetPrinter >= 0) {
    routing->bin = tags.targetPrinter;
    routing->binGiven = 1;
  }
  if (tags.model >= 0) routing->duplex = tags.model != 0 ? 2 : 1;
  return tags.pageName >= 0 && tags.model > 0 && !routing->frontSide;
}

void EndRoutedPage(PageRouting* routing) {
  ++routing->pagesStarted;
  routing->frontSide = routing->duplex == 1 ? 1 : !routing->frontSide;
}
