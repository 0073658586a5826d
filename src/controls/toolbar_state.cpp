#include "controls/toolbar_state.h"

#include "common/text_format.h"
#include "controls/toolbar_items.h"
#include "viewer/page_view.h"
#include "viewer/window_calls.h"

namespace {

// String table entries of the texts made on request.
enum TipString : uint32_t {
  kTipFixedSize = 189,
  kTipPreviousPage = 196,
  kTipNextPage = 197,
  kTipPreviousOf = 208,
  kTipNextOf = 209,
  kTipUploadTo = 333,
  kTipUpload = 334,
};

int DownloadFinished(const ViewerInstance* viewer) { return viewer->download.loadState == kLoadDone; }
int Loaded(const ViewerInstance* viewer) { return DownloadFinished(viewer) && viewer->download.hasPages; }
int PageCount(const ViewerInstance* viewer) { return viewer->download.document.pageCount; }
int Allowed(const ViewerInstance* viewer, uint32_t bit) { return !IsRestricted(viewer, bit); }
int HasUploadAddress(const ViewerInstance* viewer) {
  const char16_t* url = TextOf(&viewer->upload.uploadUrl);
  return url && *url;
}

int EnabledState(const ViewerInstance* viewer, int32_t item) {
  switch (item) {
    case kItemPrint:
    case kItemQuickPrint:
      return Allowed(viewer, kRestrictPrint) && DownloadFinished(viewer) &&
             (HasValidPage(viewer) || PageCount(viewer) > 1);
    case kItemOpen:
      return Allowed(viewer, kRestrictOpenLocal) && viewer->download.loadState != kLoadDownloading;
    case kItemSave:
      return Allowed(viewer, kRestrictSaveImage) && DownloadFinished(viewer);
    case kItemCopy:
      return Allowed(viewer, kRestrictCopyImage) && DownloadFinished(viewer) && HasValidPage(viewer);
    case kItemMail:
      return Allowed(viewer, kRestrictMail) && DownloadFinished(viewer);
    case kItemUpload:
      return HasUploadAddress(viewer) && Allowed(viewer, kRestrictUpload);
    case kItemWhiteoutMode:
    case kItemDrawMode:
    case kItemEraseMode:
      return Allowed(viewer, kRestrictMarks);
    case kItemMenu:
      return Allowed(viewer, kRestrictContextMenu);
    case kItemPreviousPage:
      return Loaded(viewer) && viewer->download.currentPage > 0;
    case kItemNextPage:
      return Loaded(viewer) && viewer->download.currentPage < PageCount(viewer) - 1;
    case kItemPageList:
      return Loaded(viewer) && PageCount(viewer) > 1;
    case kItemZoomStep:
      return viewer->settings.sizeMode == kSizeFixed;
    default:
      return -1;
  }
}

// The items checked while a setting has one value.
struct CheckRule {
  int32_t item;
  int32_t ViewSettings::*setting;
  int32_t value;
};
constexpr CheckRule kCheckRules[] = {
    {kItemNegative, &ViewSettings::negative, 1},      {kItemFitWidth, &ViewSettings::sizeMode, 1},
    {kItemFitHeight, &ViewSettings::sizeMode, 2},     {kItemBestFit, &ViewSettings::sizeMode, 3},
    {kItemUpright, &ViewSettings::orientation, 0},    {kItemRotatedRight, &ViewSettings::orientation, 1},
    {kItemUpsideDown, &ViewSettings::orientation, 2}, {kItemRotatedLeft, &ViewSettings::orientation, 3},
    {kItemZoomMode, &ViewSettings::mouseMode, 0},     {kItemPanMode, &ViewSettings::mouseMode, 1},
    {kItemWhiteoutMode, &ViewSettings::mouseMode, 3}, {kItemDrawMode, &ViewSettings::mouseMode, 5},
    {kItemEraseMode, &ViewSettings::mouseMode, 6},
};

// Puts the numbers into the "%d" places of a text from the string table (our
// own texts, so no other conversions are expected there).
std::u16string FillNumbers(const std::u16string& format, int32_t first, int32_t second) {
  std::u16string out;
  const int32_t numbers[2] = {first, second};
  int used = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd' && used < 2) {
      out += Utf8ToUtf16(std::to_string(numbers[used++]));
      ++i;
    } else if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'%') {
      out += u'%';
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::u16string PageTip(const ViewerInstance* viewer, int forward) {
  const int32_t count = viewer->download.hasPages ? PageCount(viewer) : 0;
  const int32_t page = viewer->download.currentPage;
  const bool atEnd = count == 0 || (forward ? page >= count - 1 : page <= 0);
  if (atEnd) return ResourceString(forward ? kTipNextPage : kTipPreviousPage);
  const int32_t other = forward ? page + 2 : page;  // 1-based number of the page it goes to
  return FillNumbers(ResourceString(forward ? kTipNextOf : kTipPreviousOf), other, count);
}

using ItemAction = void (*)(ViewerInstance*);
struct ItemActionRow {
  int32_t item;
  ItemAction action;
};
const ItemActionRow kItemActions[] = {
    {kItemPrint, [](ViewerInstance* v) { PrintDocument(v, kPrintRequestDialog); }},
    {kItemQuickPrint, [](ViewerInstance* v) { PrintDocument(v, kPrintRequestDefaultPrinter); }},
    {kItemSave, [](ViewerInstance* v) { SaveDocumentCommand(v); }},
    {kItemCopy, [](ViewerInstance* v) { CopyImageCommand(v); }},
    {kItemOpen, [](ViewerInstance* v) { OpenLocalFileCommand(v); }},
    {kItemMail, [](ViewerInstance* v) { SendDocumentCommand(v); }},
    {kItemUpload, [](ViewerInstance* v) { UploadDocumentCommand(v, 0, 0); }},
    {kItemAbout, [](ViewerInstance* v) { ShowInformation(v); }},
    {kItemZoomMode, [](ViewerInstance* v) { SetMouseMode(v, kMouseZoom); }},
    {kItemPanMode, [](ViewerInstance* v) { SetMouseMode(v, kMousePan); }},
    {kItemWhiteoutMode, [](ViewerInstance* v) { SetMouseMode(v, kMouseWhiteout); }},
    {kItemDrawMode, [](ViewerInstance* v) { SetMouseMode(v, kMouseDraw); }},
    {kItemEraseMode, [](ViewerInstance* v) { SetMouseMode(v, kMouseErase); }},
    {kItemBestFit, [](ViewerInstance* v) { PressSizeMode(v, kSizeBestFit); }},
    {kItemFitWidth, [](ViewerInstance* v) { PressSizeMode(v, kSizeFitWidth); }},
    {kItemFitHeight, [](ViewerInstance* v) { PressSizeMode(v, kSizeFitHeight); }},
    {kItemFixedSize, [](ViewerInstance* v) { PressSizeMode(v, kSizeFixed); }},
    {kItemRotatedLeft, [](ViewerInstance* v) { SetOrientation(v, kOrientLeft); }},
    {kItemUpright, [](ViewerInstance* v) { SetOrientation(v, kOrientTop); }},
    {kItemRotatedRight, [](ViewerInstance* v) { SetOrientation(v, kOrientRight); }},
    {kItemUpsideDown, [](ViewerInstance* v) { SetOrientation(v, kOrientBottom); }},
    {kItemTurnLeft, [](ViewerInstance* v) { SetOrientation(v, v->settings.orientation - 1); }},
    {kItemTurnRight, [](ViewerInstance* v) { SetOrientation(v, v->settings.orientation + 1); }},
    {kItemTurnHalf, [](ViewerInstance* v) { SetOrientation(v, (v->settings.orientation + 2) % 4); }},
    {kItemNegative, ToggleNegative},
    {kItemSmooth, ToggleSmooth},
    {kItemPreviousPage, [](ViewerInstance* v) { StepPage(v, kStepPrevious); }},
    {kItemNextPage, [](ViewerInstance* v) { StepPage(v, kStepNext); }},
};

}  // namespace

std::vector<int32_t> ToolbarItemsOf(const ViewerInstance* viewer) {
  ItemConditions conditions;
  conditions.selectAllowed = viewer->input.whiteoutAllowed;
  conditions.sketchButtons = viewer->analysis.sketchButtons;
  conditions.uploadAddress = HasUploadAddress(viewer);
  return ParseItemList(viewer->toolbar.toolbarItems, conditions);
}

int ItemEnabled(const ViewerInstance* viewer, int32_t item) { return EnabledState(viewer, item); }

int ItemChecked(const ViewerInstance* viewer, int32_t item) {
  if (item == kItemMenu) return 0;
  if (item == kItemSmooth) return viewer->settings.raster.resample != 0;
  if (item == kItemFixedSize)
    return viewer->settings.sizeMode == kSizeFixed && ScalePercent(viewer->settings.scaleIndex) != 100;
  for (const CheckRule& rule : kCheckRules) {
    if (rule.item == item) return viewer->settings.*rule.setting == rule.value;
  }
  return -1;
}

std::u16string ToolbarTipText(const ViewerInstance* viewer, int32_t item) {
  switch (item) {
    case kItemFixedSize:
      return ResourceString(kTipFixedSize) + u" (" +
             Utf8ToUtf16(std::to_string(ScalePercent(viewer->settings.scaleIndex))) + u"%)";
    case kItemPreviousPage:
      return PageTip(viewer, 0);
    case kItemNextPage:
      return PageTip(viewer, 1);
    case kItemUpload:
      if (!HasUploadAddress(viewer)) return ResourceString(kTipUpload);
      return ResourceString(kTipUploadTo) + u" " + TextOf(&viewer->upload.uploadUrl);
    default:
      if (item < 0 || item >= kItemCount || !kToolbarItems[item].tipId) return u"";
      return ResourceString(static_cast<uint32_t>(kToolbarItems[item].tipId));
  }
}

void PressSizeMode(ViewerInstance* viewer, int32_t mode) {
  if (viewer->settings.sizeMode == mode) {
    RefreshToolbar(viewer, kRefreshLater);
    return;
  }
  SetSizeMode(viewer, mode);
}

void StepScale(ViewerInstance* viewer, int32_t direction) {
  bool changed = viewer->settings.sizeMode != kSizeFixed;
  viewer->settings.sizeMode = kSizeFixed;
  const int32_t index = viewer->settings.scaleIndex;
  // Index 0 is the largest size; a step past either end is ignored.
  const int32_t next = direction == kZoomIn ? index - 1 : direction == kZoomOut ? index + 1 : index;
  if (next >= 0 && next < kScaleCount && next != index) {
    viewer->settings.scaleIndex = next;
    changed = true;
  }
  if (changed) LayoutMainView(viewer, kKeepRelativeScroll);
  RefreshToolbar(viewer, kRefreshLater);
  if (viewer->events.sizeModeChange)
    viewer->events.sizeModeChange(viewer, kSizeFixed, ScalePercent(viewer->settings.scaleIndex));
}

int RunToolbarItem(ViewerInstance* viewer, int32_t item) {
  for (const ItemActionRow& row : kItemActions) {
    if (row.item != item) continue;
    row.action(viewer);
    return 1;
  }
  return 0;
}
