#include "plugin/script_values.h"

#include "analysis/sketch_layer.h"
#include "common/colour_text.h"
#include "output/upload_fields.h"
#include "plugin/script_methods.h"
#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"
#include "viewer/window_input.h"

namespace {

// Orientation as the page counts it: 1 upright to 4 rotated left.
constexpr int32_t kTurnClockwise = 5;
constexpr int32_t kTurnAnticlockwise = 6;
constexpr int32_t kTurnHalf = 7;

int32_t PageWidth(const ViewerInstance* v) { return HeaderOf(&v->view.pageBitmap)->width; }
int32_t PageHeight(const ViewerInstance* v) {
  const int32_t height = HeaderOf(&v->view.pageBitmap)->height;
  return height < 0 ? -height : height;
}

int32_t CorrectedWidth(const ViewerInstance* v) { return v->view.correctedWidth; }
int32_t CorrectedHeight(const ViewerInstance* v) { return v->view.correctedHeight; }
int32_t DisplayWidth(const ViewerInstance* v) { return v->view.mainView.width; }
int32_t DisplayHeight(const ViewerInstance* v) { return v->view.mainView.height; }
int32_t ScrollX(const ViewerInstance* v) { return v->view.scroll.x; }
int32_t ScrollY(const ViewerInstance* v) { return v->view.scroll.y; }

// Sizes and positions exist only while a page is shown.
template <int32_t (*Read)(const ViewerInstance*)>
int32_t WhileShown(const ViewerInstance* v) {
  return PageShown(v) ? Read(v) : 0;
}

int32_t AnyPageHasStrokes(const ViewerInstance* v) { return DocumentHasStrokes(v); }

struct ValueCode {
  int32_t code;
  int32_t (*get)(const ViewerInstance* viewer);
  // Null: the code is read-only and SetValue answers 0.
  int32_t (*set)(ViewerInstance* viewer, int32_t value);
};

// The new orientation (0-based) for a page's request, or -1 for none.
int32_t RequestedOrientation(int32_t current, int32_t value) {
  if (value >= 1 && value <= 4) return value - 1;
  if (value == kTurnClockwise) return (current + 1) % 4;
  if (value == kTurnAnticlockwise) return (current + 3) % 4;
  if (value == kTurnHalf) return (current + 2) % 4;
  return -1;
}

int32_t SetOrientationValue(ViewerInstance* v, int32_t value) {
  const int32_t old = v->settings.orientation;
  const int32_t wanted = RequestedOrientation(old, value);
  if (wanted < 0 || wanted == old) return 0;
  SetOrientation(v, wanted);
  return v->settings.orientation != old;
}

int32_t SetNegativeValue(ViewerInstance* v, int32_t value) {
  if ((value == 0 || value == 1) && value != v->settings.negative) ToggleNegative(v);
  if (value == 2) ToggleNegative(v);
  return 1;
}

int32_t SetSmoothValue(ViewerInstance* v, int32_t value) {
  if ((value == 0 || value == 1) && value != v->settings.raster.resample) ToggleSmooth(v);
  return 1;
}

int32_t SetMouseModeValue(ViewerInstance* v, int32_t value) {
  if (value != v->settings.mouseMode) SetMouseMode(v, value);
  return 1;
}

int32_t SetSizeModeValue(ViewerInstance* v, int32_t value) {
  if (value != v->settings.sizeMode) SetSizeMode(v, value);
  return 1;
}

int32_t SetScaleValue(ViewerInstance* v, int32_t value) {
  if (value > 0) SetScaleKeepingMode(v, value);
  return 1;
}

template <int kVertical>
int32_t SetScrollValue(ViewerInstance* v, int32_t value) {
  if (PageShown(v)) ScrollTo(v, kVertical, value);
  return 1;
}

int32_t SetEventMask(ViewerInstance* v, int32_t value) {
  v->params.eventMask = value;
  return 1;
}

int32_t SetPrintRange(ViewerInstance* v, int32_t value) {
  v->prefs.printRange = value;
  return 1;
}

const ValueCode kValueCodes[] = {
    {1, [](const ViewerInstance* v) { return v->settings.orientation + 1; }, SetOrientationValue},
    {2, [](const ViewerInstance* v) { return v->settings.negative; }, SetNegativeValue},
    {3, [](const ViewerInstance* v) { return v->settings.raster.resample; }, SetSmoothValue},
    {4, [](const ViewerInstance* v) { return v->settings.mouseMode; }, SetMouseModeValue},
    {5, [](const ViewerInstance* v) { return v->settings.sizeMode; }, SetSizeModeValue},
    {6, [](const ViewerInstance* v) { return ScalePercent(v->settings.scaleIndex); }, SetScaleValue},
    {9, WhileShown<PageWidth>, nullptr},
    {10, WhileShown<PageHeight>, nullptr},
    {11, WhileShown<CorrectedWidth>, nullptr},
    {12, WhileShown<CorrectedHeight>, nullptr},
    {13, WhileShown<DisplayWidth>, nullptr},
    {14, WhileShown<DisplayHeight>, nullptr},
    {15, WhileShown<ScrollX>, SetScrollValue<0>},
    {16, WhileShown<ScrollY>, SetScrollValue<1>},
    {18,
     [](const ViewerInstance* v) {
       return v->toolbar.toolbarPosition != kToolbarNone ? v->prefs.toolbarHeight : 0;
     },
     nullptr},
    {20, [](const ViewerInstance* v) { return v->params.eventMask; }, SetEventMask},
    {24, [](const ViewerInstance*) { return 1; }, nullptr},
    {25, [](const ViewerInstance* v) { return v->prefs.printRange; }, SetPrintRange},
    {41, AnyPageHasStrokes, nullptr},
};

const ValueCode* FindValueCode(int32_t code) {
  for (const ValueCode& entry : kValueCodes) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

// ---- text codes ----

constexpr size_t kLongestSetText = kScriptResultUnits - 1;

// The image window's brush follows the colour; the settings sheet changes the
// colour only while it still follows the stored setting.
int32_t SetBackground(ViewerInstance* v, const std::u16string& text) {
  uint32_t colour = static_cast<uint32_t>(v->prefs.backgroundColour);
  if (!text.empty() && !ParseColour(text.c_str(), &colour)) return 0;
  v->params.background = colour;
  v->params.backgroundFollowsSetting = text.empty();
  FreeWindowResources(v);
  MakeWindowResources(v);
  Invalidate(v, kEraseBackground);
  return 1;
}

int32_t SetUploadUrl(ViewerInstance* v, const std::u16string& text) {
  SetText(&v->upload.uploadUrl, CleanUploadUrl(text).c_str());
  RefreshToolbar(v, kRefreshLater);
  return 1;
}

int32_t SetUploadFieldName(ViewerInstance* v, const std::u16string& text) {
  SetText(&v->upload.uploadFieldName, CleanUploadName(text).c_str());
  return 1;
}

int32_t SetUploadFileName(ViewerInstance* v, const std::u16string& text) {
  SetText(&v->upload.uploadFileName, CleanUploadName(text).c_str());
  return 1;
}

int32_t SetPenColour(ViewerInstance* v, const std::u16string& text) {
  uint32_t colour = 0;
  if (!ParseColour(text.c_str(), &colour)) return 0;
  v->prefs.penColour = static_cast<int32_t>(colour);
  return 1;
}

struct TextCode {
  int32_t code;
  std::u16string (*get)(const ViewerInstance* viewer);
  int32_t (*set)(ViewerInstance* viewer, const std::u16string& text);
};

const TextCode kTextCodes[] = {
    {19, [](const ViewerInstance* v) { return FormatColour(v->params.background); }, SetBackground},
    {21, [](const ViewerInstance* v) { return std::u16string(TextOf(&v->upload.uploadUrl)); }, SetUploadUrl},
    {22, [](const ViewerInstance* v) { return std::u16string(TextOf(&v->upload.uploadFieldName)); },
     SetUploadFieldName},
    {23, [](const ViewerInstance* v) { return std::u16string(TextOf(&v->upload.uploadFileName)); },
     SetUploadFileName},
    {31, [](const ViewerInstance* v) { return FormatColour(static_cast<uint32_t>(v->prefs.penColour)); },
     SetPenColour},
};

const TextCode* FindTextCode(int32_t code) {
  for (const TextCode& entry : kTextCodes) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

}  // namespace

int DocumentLoaded(const ViewerInstance* viewer) {
  return viewer->download.loadState == kLoadDone && viewer->download.hasPages;
}

int PageShown(const ViewerInstance* viewer) { return DocumentLoaded(viewer) && HasValidPage(viewer); }

int32_t GetViewerValue(ViewerInstance* viewer, int32_t code) {
  const ValueCode* entry = FindValueCode(code);
  return entry ? entry->get(viewer) : 0;
}

int32_t SetViewerValue(ViewerInstance* viewer, int32_t code, int32_t value) {
  CloseMagnifier(viewer);
  const ValueCode* entry = FindValueCode(code);
  return entry && entry->set ? entry->set(viewer, value) : 0;
}

int32_t SetViewerText(ViewerInstance* viewer, int32_t code, const std::u16string* text) {
  CloseMagnifier(viewer);
  const TextCode* entry = FindTextCode(code);
  if (!entry || !text || text->size() > kLongestSetText) return 0;
  return entry->set(viewer, *text);
}

std::u16string GetViewerText(ViewerInstance* viewer, int32_t code) {
  const TextCode* entry = FindTextCode(code);
  return entry ? entry->get(viewer) : std::u16string();
}

int32_t GetPageValue(ViewerInstance* viewer, int32_t page, int32_t code) {
  constexpr int32_t kPenStrokes = 41;
  if (code != kPenStrokes || page < 1 || page > viewer->download.document.pageCount) return 0;
  return PageHasStrokes(viewer, PageToIfd(&viewer->download.document, page - 1));
}
