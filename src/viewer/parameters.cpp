#include "viewer/parameters.h"

#include <string>
#include <string_view>

#include "common/decimal_text.h"
#include "common/text_format.h"
#include "output/upload_fields.h"
#include "viewer/library.h"
#include "viewer/view_geometry.h"

namespace {

constexpr size_t kQuotedValueMaximum = 64;

struct Word {
  const char16_t* text;
  int32_t code;
};

// The code of the word `value`, or -1.
template <size_t N>
int32_t WordCode(const char16_t* value, const Word (&words)[N]) {
  for (const Word& word : words) {
    if (EqualsNoCase(value, word.text)) return word.code;
  }
  return -1;
}

void Ignored(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  std::u16string_view shown(value);
  if (shown.size() > kQuotedValueMaximum) shown = shown.substr(0, kQuotedValueMaximum);
  LogWarning(&viewer->logs.documentLog, "Ignored parameter %s=\"%s\"", Utf16ToUtf8(name).c_str(),
             Utf16ToUtf8(shown).c_str());
}

const Word kYesNo[] = {{u"yes", 1}, {u"no", 0}};

// Sets `*field` from "yes" or "no"; anything else leaves it.
void YesNo(ViewerInstance* viewer, const char16_t* name, const char16_t* value, int32_t* field) {
  int32_t code = WordCode(value, kYesNo);
  if (code < 0) return Ignored(viewer, name, value);
  *field = code;
}

void Href(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->params.href, value);
  viewer->params.hasLink = 1;
}

void Target(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->params.target, value);
}

void Toolbar(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  static const Word kWords[] = {{u"top", kToolbarTop}, {u"bottom", kToolbarBottom}, {u"off", kToolbarNone}};
  int32_t code = WordCode(value, kWords);
  if (code >= 0) {
    viewer->toolbar.toolbarPosition = code;
  } else if (EqualsNoCase(value, u"on")) {
    // "on" only asks for a toolbar; one already placed stays where it is.
    if (viewer->toolbar.toolbarPosition == kToolbarNone) viewer->toolbar.toolbarPosition = kToolbarTop;
  }
  // Whatever the page said, the user's toolbar setting no longer moves it:
  // even an unknown word is used, so it is not reported as ignored.
  viewer->toolbar.toolbarFollowsSetting = 0;
}

void Fit(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  static const Word kWords[] = {
      {u"best", kSizeBestFit}, {u"width", kSizeFitWidth}, {u"height", kSizeFitHeight}};
  int32_t code = WordCode(value, kWords);
  if (code >= 0) {
    viewer->settings.sizeMode = code;
  } else if (EqualsNoCase(value, u"none")) {
    viewer->settings.sizeMode = kSizeFixed;
    viewer->settings.scaleIndex = Library().defaultScaleIndex;
  } else if (int32_t percent = ReadDecimal(value); percent > 0) {
    viewer->settings.sizeMode = kSizeFixed;
    viewer->settings.scaleIndex = ScaleIndex(percent);
  } else {
    Ignored(viewer, name, value);
  }
}

void Orient(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  static const Word kWords[] = {
      {u"top", kOrientTop}, {u"right", kOrientRight}, {u"bottom", kOrientBottom}, {u"left", kOrientLeft}};
  int32_t code = WordCode(value, kWords);
  if (code < 0) return Ignored(viewer, name, value);
  viewer->settings.orientation = code;
}

void Negative(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  YesNo(viewer, name, value, &viewer->settings.negative);
}

void Smooth(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  YesNo(viewer, name, value, &viewer->settings.raster.resample);
}

void MouseModeParameter(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  static const Word kWords[] = {{u"zoom", kMouseZoom},         {u"pan", kMousePan},
                                {u"none", kMouseNone},         {u"select", kMouseWhiteout},
                                {u"whiteout", kMouseWhiteout}, {u"cropselect", kMouseCrop},
                                {u"draw", kMouseDraw},         {u"erase", kMouseErase}};
  int32_t code = WordCode(value, kWords);
  if (code < 0) return Ignored(viewer, name, value);
  viewer->settings.mouseMode = code;
  if (code == kMouseWhiteout) viewer->input.whiteoutAllowed = 1;
  if (code == kMouseCrop) viewer->input.cropFeature = 1;
}

void Page(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  int64_t page = int64_t{ReadDecimal(value)} - 1;  // clamped once the page count is known
  viewer->download.initialPage = page < INT32_MIN ? INT32_MIN : static_cast<int32_t>(page);
}

void Access(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  if (viewer->access.miscFlags & kMiscIgnoreAccessParameter) return Ignored(viewer, name, value);
  viewer->access.restrictions |= static_cast<uint32_t>(ReadDecimal(value));
}

void Background(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  uint32_t colour;
  if (!ParsePageColour(value, &colour)) return Ignored(viewer, name, value);
  viewer->params.background = colour;
  viewer->params.backgroundFollowsSetting = 0;
}

void ToolbarItems(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->toolbar.itemsParameter, value);
}

void PrintHack(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  if (!EqualsNoCase(value, u"yes")) return Ignored(viewer, name, value);
  viewer->print.printRouting = 1;
}

void AutoPrint(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  viewer->print.autoPrint = ReadDecimal(value);
}

void AllowSelect(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  YesNo(viewer, name, value, &viewer->input.whiteoutAllowed);
}

void EnableEvents(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  viewer->params.eventMask = ReadDecimal(value);
}

// Cleaned as they are set, so no later reader meets a line break or a quote.
void UploadUrl(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->upload.uploadUrl, CleanUploadUrl(value).c_str());
}

void UploadParamName(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->upload.uploadFieldName, CleanUploadName(value).c_str());
}

void UploadFileName(ViewerInstance* viewer, const char16_t*, const char16_t* value) {
  SetText(&viewer->upload.uploadFileName, CleanUploadName(value).c_str());
}

void SketchButtons(ViewerInstance* viewer, const char16_t* name, const char16_t* value) {
  YesNo(viewer, name, value, &viewer->analysis.sketchButtons);
}

struct Parameter {
  const char16_t* name;
  void (*apply)(ViewerInstance* viewer, const char16_t* name, const char16_t* value);
};

const Parameter kParameters[] = {
    {u"href", Href},
    {u"target", Target},
    {u"toolbar", Toolbar},
    {u"fit", Fit},
    {u"orient", Orient},
    {u"negative", Negative},
    {u"smooth", Smooth},
    {u"mousemode", MouseModeParameter},
    {u"page", Page},
    {u"access", Access},
    {u"bgcolor", Background},
    {u"toolbaritems", ToolbarItems},
    {u"kobprinthack", PrintHack},
    {u"autoprint", AutoPrint},
    {u"allowselect", AllowSelect},
    {u"enableevents", EnableEvents},
    {u"uploadurl", UploadUrl},
    {u"uploadparamname", UploadParamName},
    {u"uploadfilename", UploadFileName},
    {u"enablesketchbuttons", SketchButtons},
};

// The page's digit rule: digits their value, letters 10 and upward from "a".
uint32_t ColourDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 0;
}

}  // namespace

int ParsePageColour(const char16_t* text, uint32_t* colour) {
  if (!text || Utf16Length(text) != 7 || text[0] != u'#') return 0;
  uint32_t value = 0;
  for (int pair = 0; pair < 3; ++pair) {
    uint32_t byte = (ColourDigit(text[1 + 2 * pair]) * 16 + ColourDigit(text[2 + 2 * pair])) & 0xFF;
    value |= byte << (8 * pair);
  }
  *colour = value;
  return 1;
}

void ApplyParameters(ViewerInstance* viewer, int32_t count, const char16_t* const* names,
                     const char16_t* const* values) {
  if (!names || !values) return;
  for (int32_t i = 0; i < count; ++i) {
    if (!names[i]) continue;
    const char16_t* value = values[i] ? values[i] : u"";
    for (const Parameter& parameter : kParameters) {
      if (EqualsNoCase(names[i], parameter.name)) {
        parameter.apply(viewer, names[i], value);
        break;
      }
    }
  }
}
