#include "analysis/page_markup.h"

#include <algorithm>
#include <new>

#include "common/saturated.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

int32_t PageOfDirectory(const ViewerInstance* viewer, int32_t directory) {
  return IfdToPage(&viewer->download.document, directory) + 1;
}

}  // namespace

PageMarkup* MarkupOf(ViewerInstance* viewer, int32_t directory, int create) {
  size_t directories = viewer->download.document.ifds.size();
  if (directory < 0 || static_cast<size_t>(directory) >= directories) return nullptr;
  MarkupTable& table = viewer->analysis.markup;
  if (table.size() < directories) {
    if (!create) return nullptr;
    try {
      table.resize(directories);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  std::unique_ptr<PageMarkup>& slot = table[static_cast<size_t>(directory)];
  if (!slot && create) slot.reset(new (std::nothrow) PageMarkup);
  return slot.get();
}

const PageMarkup* FindMarkup(const ViewerInstance* viewer, int32_t directory) {
  if (directory < 0 || static_cast<size_t>(directory) >= viewer->analysis.markup.size()) return nullptr;
  if (static_cast<size_t>(directory) >= viewer->download.document.ifds.size()) return nullptr;
  return viewer->analysis.markup[static_cast<size_t>(directory)].get();
}

void ReleaseAllMarkup(ViewerInstance* viewer) {
  MarkupTable().swap(viewer->analysis.markup);
  viewer->analysis.marksPresent = 0;
}

int AddWhiteout(ViewerInstance* viewer, IntRect rect) {
  if (IsRestricted(viewer, kRestrictMarks)) return 0;
  PageMarkup* markup = MarkupOf(viewer, viewer->download.currentDirectory, 1);
  if (!markup) return 0;
  try {
    markup->whiteouts.push_back({kMarkWhiteout, NormalizeRect(rect)});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  viewer->analysis.marksPresent = 1;
  return 1;
}

int RemoveAllWhiteouts(ViewerInstance* viewer, int32_t directory) {
  PageMarkup* markup = MarkupOf(viewer, directory, 0);
  if (!markup || markup->whiteouts.empty()) return 0;
  std::vector<WhiteoutMark>().swap(markup->whiteouts);
  Invalidate(viewer, kEraseBackground);
  return 1;
}

int RemoveLastWhiteout(ViewerInstance* viewer, int32_t directory) {
  PageMarkup* markup = MarkupOf(viewer, directory, 0);
  if (!markup || markup->whiteouts.empty()) return 0;
  if (markup->whiteouts.size() == 1) return RemoveAllWhiteouts(viewer, directory);
  markup->whiteouts.pop_back();
  Invalidate(viewer, kEraseBackground);
  return 1;
}

int HasWhiteouts(const ViewerInstance* viewer, int32_t directory) {
  const PageMarkup* markup = FindMarkup(viewer, directory);
  return markup && !markup->whiteouts.empty();
}

int SetCrop(ViewerInstance* viewer, int32_t directory, IntRect rect, int fire) {
  if (IsRestricted(viewer, kRestrictMarks)) return 0;
  viewer->analysis.marksPresent = 1;
  PageMarkup* markup = MarkupOf(viewer, directory, 1);
  if (!markup) return 0;
  markup->cropActive = 1;
  markup->crop = NormalizeRect(rect);
  if (directory == viewer->download.currentDirectory) Invalidate(viewer, kKeepBackground);
  if (fire && viewer->events.cropSelect) {
    const IntRect& c = markup->crop;
    viewer->events.cropSelect(viewer, 1, PageOfDirectory(viewer, directory), c.left, c.top,
                              Saturated(int64_t{c.right} - c.left + 1),
                              Saturated(int64_t{c.bottom} - c.top + 1));
  }
  return 1;
}

int ClearCrop(ViewerInstance* viewer, int32_t directory, int fire) {
  viewer->analysis.marksPresent = 1;
  if (directory < 0 || static_cast<size_t>(directory) >= viewer->download.document.ifds.size()) return 0;
  PageMarkup* markup = MarkupOf(viewer, directory, 0);
  if (!markup || !markup->cropActive) return 1;
  markup->cropActive = 0;
  if (directory == viewer->download.currentDirectory) Invalidate(viewer, kKeepBackground);
  if (fire && viewer->events.cropSelect) {
    viewer->events.cropSelect(viewer, 0, PageOfDirectory(viewer, directory), 0, 0,
                              Saturated(viewer->view.pageInfo.width),
                              Saturated(viewer->view.pageInfo.height));
  }
  return 1;
}

int SetCropByPage(ViewerInstance* viewer, int32_t action, int32_t page, int32_t x, int32_t y, int32_t width,
                  int32_t height) {
  CloseMagnifier(viewer);
  if (IsRestricted(viewer, kRestrictMarks)) return 0;
  viewer->input.cropFeature = 1;
  // A page below 1 names none; subtracting first would overflow at the bottom of the range.
  int32_t index = page == 0 ? viewer->download.currentPage : (page < 1 ? -1 : page - 1);
  if (index < 0 || index >= viewer->download.document.pageCount) return 0;
  int32_t directory = PageToIfd(&viewer->download.document, index);
  if (directory < 0) return 0;
  if (action == 0) return ClearCrop(viewer, directory, 0);
  if (action != 1) return 0;
  // An empty or reversed size would turn into some other rectangle; refuse it.
  if (width < 1 || height < 1) {
    LogWarning(&viewer->logs.documentLog, "Crop rectangle of %d x %d pixels ignored", width, height);
    return 0;
  }
  IntRect rect{x, y, Saturated(int64_t{x} + width - 1), Saturated(int64_t{y} + height - 1)};
  return SetCrop(viewer, directory, rect, 0);
}
