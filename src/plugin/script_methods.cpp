#include "plugin/script_methods.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "analysis/page_markup.h"
#include "analysis/sketch_layer.h"
#include "common/decimal_text.h"
#include "common/local_access.h"
#include "common/message_log.h"
#include "common/saturated.h"
#include "common/text_format.h"
#include "output/upload_fields.h"
#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin/np_error_name.h"
#include "plugin/script_events.h"
#include "plugin/script_values.h"
#include "viewer/download_intake.h"
#include "viewer/library.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"
#include "viewer/window_input.h"

namespace {

int32_t Arg(const ScriptCall& call, int i) { return ScriptInteger(call.args[i]); }

// A 1-based page number as a 0-based index, without overflow at INT32_MIN.
int32_t PageIndex(int32_t page) { return page < 1 ? -1 : page - 1; }

// ---- version and state ----

void AboutBox(const ScriptCall& call) {
  // Answers 1 whether or not the dialog could open (a busy instance shows none).
  CloseMagnifier(call.viewer);
  ShowInformation(call.viewer);
  SetIntResult(call.result, 1);
}

void GetVersion(const ScriptCall& call) {
  // 2.0.8.1 as major x 1,000,000 + minor x 10,000 + third x 100 + fourth.
  static constexpr int32_t kAnswers[] = {2000801, kLibraryPlugin, 64, 1};
  const int32_t code = Arg(call, 0);
  SetIntResult(call.result, code >= 0 && code < 4 ? kAnswers[code] : 0);
}

int32_t LoadStatus(const ViewerInstance* v) {
  switch (v->download.loadState) {
    case kLoadAwaiting:
    case kLoadDownloading:
      return 1;
    case kLoadDone:
      return v->download.hasPages ? 3 : 2;
    default:
      return 0;
  }
}

void GetState(const ViewerInstance* v, int32_t code, NPVariant* result) {
  switch (code) {
    case 0:
    case 3:
      return SetIntResult(result, 1);
    case 1:
      return SetIntResult(result, LoadStatus(v));
    case 2:
      return SetIntResult(result, PageShown(v));
    default:
      return SetIntResult(result, 0);
  }
}

void GetStateMethod(const ScriptCall& call) { GetState(call.viewer, Arg(call, 0), call.result); }

void RegisterFileTypes(const ScriptCall& call) {
  Arg(call, 0);
  CloseMagnifier(call.viewer);
}

void Print(const ScriptCall& call) {
  // A page's kind 1 asks for the dialog too; only the quick-print button
  // prints on the default printer without asking.
  const int32_t kind = Arg(call, 0) == kPrintRequestDefaultPrinter ? kPrintRequestDialog : Arg(call, 0);
  const int32_t printed = PrintDocument(call.viewer, kind) ? 1 : 0;
  FirePrintComplete(call.viewer, printed);
  SetIntResult(call.result, printed);
}

void Zoom(const ScriptCall& call) {
  const int32_t mode = Arg(call, 0);
  if (mode == 1 && PageShown(call.viewer)) OpenMagnifier(call.viewer, 0, 0, 1);
  if (mode == 0) DismissMagnifier(call.viewer);
  SetIntResult(call.result, 1);
}

// ---- pages ----

// After a move the magnifier shows the new page; the answer is the page now current.
void AnswerMove(const ScriptCall& call, int moved) {
  if (!moved) return SetIntResult(call.result, 0);
  RefreshMagnifier(call.viewer);
  SetIntResult(call.result, call.viewer->download.currentPage + 1);
}

void GoToPage(const ScriptCall& call) {
  const int32_t page = Arg(call, 0);
  ViewerInstance* v = call.viewer;
  if (!DocumentLoaded(v)) return SetIntResult(call.result, 0);
  const int32_t last = v->download.document.pageCount - 1;
  int32_t index = page < 1 ? 0 : page - 1;
  if (index > last) index = last;
  AnswerMove(call, SetCurrentPage(v, index));
}

void GoToPageSpecial(const ScriptCall& call) {
  const int32_t code = Arg(call, 0);
  if (!DocumentLoaded(call.viewer) || code < kStepFirst || code > kStepNext)
    return SetIntResult(call.result, 0);
  AnswerMove(call, StepPage(call.viewer, code));
}

void GetCurrentPage(const ScriptCall& call) {
  SetIntResult(call.result, DocumentLoaded(call.viewer) ? call.viewer->download.currentPage + 1 : 0);
}

void GetNumberOfPages(const ScriptCall& call) {
  SetIntResult(call.result, DocumentLoaded(call.viewer) ? call.viewer->download.document.pageCount : 0);
}

// ---- loading ----

int LoadImage(ViewerInstance* v, const std::u16string* url, int32_t page) {
  if (v->download.loadState == kLoadDownloading) return 0;
  UnloadDocument(v, kRefreshView);
  if (!url || url->empty()) return 1;
  if (!CheckLocalAccess(v->prefs.localAccess, &v->logs.documentLog, url->c_str())) {
    // The reason is painted over the empty view.
    Invalidate(v, kEraseBackground);
    return 0;
  }
  AwaitRequestedDownload(v, PageIndex(page));
  PluginLinkOf(v)->awaitedStream = nullptr;
  NPP npp = BrowserInstanceOf(v);
  NPError error = NPERR_INVALID_INSTANCE_ERROR;
  if (npp) error = OpenUrl(npp, url->c_str(), nullptr);
  if (error == NPERR_NO_ERROR) return 1;
  v->download.loadState = kLoadIdle;
  SetStatusText(v, u"");
  LogError(&v->logs.documentLog, "Failed to start download (error code=%d, %s).", error, NpErrorName(error));
  Invalidate(v, kEraseBackground);
  return 0;
}

void LoadImageMethod(const ScriptCall& call) {
  bool absent = false;
  const std::optional<std::u16string> url = ScriptText(call.args[0], &absent);
  const int32_t page = Arg(call, 1);
  Arg(call, 2);
  if (!url) return SetIntResult(call.result, 0);
  SetIntResult(call.result, LoadImage(call.viewer, absent ? nullptr : &*url, page));
}

// ---- values ----

void GetValue(const ScriptCall& call) {
  SetIntResult(call.result, GetViewerValue(call.viewer, Arg(call, 0)));
}

void SetValue(const ScriptCall& call) {
  const int32_t code = Arg(call, 0);
  const int32_t value = Arg(call, 1);
  SetIntResult(call.result, SetViewerValue(call.viewer, code, value));
}

void SetValueString(const ScriptCall& call) {
  const int32_t code = Arg(call, 0);
  bool absent = false;
  const std::optional<std::u16string> text = ScriptText(call.args[1], &absent);
  if (!text) return SetIntResult(call.result, 0);
  SetIntResult(call.result, SetViewerText(call.viewer, code, absent ? nullptr : &*text));
}

void GetValueString(const ScriptCall& call) {
  SetTextResult(call.result, GetViewerText(call.viewer, Arg(call, 0)));
}

void SetPageValue(const ScriptCall& call) {
  for (int i = 0; i < 3; ++i) Arg(call, i);
}

void GetPageValueMethod(const ScriptCall& call) {
  const int32_t page = Arg(call, 0);
  const int32_t code = Arg(call, 1);
  SetIntResult(call.result, GetPageValue(call.viewer, page, code));
}

// ---- scrolling and marks ----

// Direction 1 up, 2 right, 3 down, 4 left; amount 1 line, 2 page, 3 to the end.
void Scroll(const ScriptCall& call) {
  static constexpr int32_t kBackCodes[] = {kScrollLineBack, kScrollPageBack, kScrollToStart};
  static constexpr int32_t kForwardCodes[] = {kScrollLineForward, kScrollPageForward, kScrollToEnd};
  const int32_t direction = Arg(call, 0);
  const int32_t amount = Arg(call, 1);
  SetIntResult(call.result, 1);
  if (direction < 1 || direction > 4 || amount < 1 || amount > 3) return;
  const int vertical = direction == 1 || direction == 3;
  const int forward = direction == 2 || direction == 3;
  PostScroll(call.viewer, vertical, (forward ? kForwardCodes : kBackCodes)[amount - 1]);
}

void SetCropSelect(const ScriptCall& call) {
  int32_t a[6];
  for (int i = 0; i < 6; ++i) a[i] = Arg(call, i);
  SetCropByPage(call.viewer, a[0], a[1], a[2], a[3], a[4], a[5]);
  SetIntResult(call.result, 1);
}

void ClearAnnotations(const ScriptCall& call) {
  const int32_t page = Arg(call, 0);
  const int32_t kind = Arg(call, 1);
  ViewerInstance* v = call.viewer;
  CloseMagnifier(v);
  if (IsRestricted(v, kRestrictMarks)) return SetIntResult(call.result, 0);
  // Kind 1 is the pen strokes; the other kinds name nothing to clear.
  if (kind == 1) ClearStrokes(v, PageToIfd(&v->download.document, PageIndex(page)));
  SetIntResult(call.result, 1);
}

// ---- analysis ----

void DetectBarcodesMethod(const ScriptCall& call) {
  int32_t a[4];
  for (int i = 0; i < 4; ++i) a[i] = Arg(call, i);
  ViewerInstance* v = call.viewer;
  DetectBarcodes(&v->analysis.barcodes, &v->view.pageBitmap, a[0], a[1], a[2], a[3], &v->logs.pageLog);
  SetVoidResult(call.result);
}

void GetBarcodeMethod(const ScriptCall& call) {
  SetTextResult(call.result, GetBarcode(&call.viewer->analysis.barcodes));
}

void DetectBlankPageMethod(const ScriptCall& call) {
  ViewerInstance* v = call.viewer;
  SetDoubleResult(call.result, DetectBlankPage(&v->analysis.barcodes, &v->view.pageBitmap, &v->logs.pageLog));
}

void OmrInitMethod(const ScriptCall& call) {
  int32_t a[4];
  for (int i = 0; i < 4; ++i) a[i] = Arg(call, i);
  ViewerInstance* v = call.viewer;
  OMRInit(&v->analysis.omr, &v->view.pageBitmap, a[0], a[1], a[2], a[3], &v->logs.pageLog);
  SetVoidResult(call.result);
}

void OmrCheckMethod(const ScriptCall& call) {
  int32_t a[4];
  for (int i = 0; i < 4; ++i) a[i] = Arg(call, i);
  ViewerInstance* v = call.viewer;
  SetDoubleResult(call.result, OMRCheck(&v->analysis.omr, &v->view.pageBitmap, a[0], a[1], a[2], a[3]));
}

// ---- upload ----

void Upload(const ScriptCall& call) {
  const int32_t tag = Arg(call, 0);
  Arg(call, 1);  // ignored
  SetIntResult(call.result, UploadDocumentCommand(call.viewer, 1, tag));
}

void AddUploadParam(const ScriptCall& call) {
  bool nameAbsent = false;
  bool valueAbsent = false;
  const std::optional<std::u16string> name = ScriptText(call.args[0], &nameAbsent);
  const std::optional<std::u16string> value = ScriptText(call.args[1], &valueAbsent);
  ViewerInstance* v = call.viewer;
  if (!name || !value || nameAbsent || valueAbsent || IsRestricted(v, kRestrictUpload)) {
    return SetIntResult(call.result, 0);
  }
  SetIntResult(call.result, AddFormField(&v->upload.formFields, *name, *value));
}

void DeleteUploadParam(const ScriptCall& call) {
  bool absent = false;
  const std::optional<std::u16string> name = ScriptText(call.args[0], &absent);
  if (!name || absent) return SetIntResult(call.result, 0);
  SetIntResult(call.result, DeleteFormFields(&call.viewer->upload.formFields, *name));
}

constexpr bool SameName(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

// The order is the page's: the identifiers are fetched in it and enumerate lists it.
constexpr ScriptMethod kScriptMethods[kScriptMethodCount] = {
    {"AboutBox", 0, AboutBox},
    {"GetVersion", 1, GetVersion},
    {"GetState", 1, GetStateMethod},
    {"RegisterFileTypes", 1, RegisterFileTypes},
    {"Print", 1, Print},
    {"Zoom", 1, Zoom},
    {"GoToPage", 1, GoToPage},
    {"GoToPageSpecial", 1, GoToPageSpecial},
    {"GetCurrentPage", 0, GetCurrentPage},
    {"GetNumberOfPages", 0, GetNumberOfPages},
    {"LoadImage", 3, LoadImageMethod},
    {"GetValue", 1, GetValue},
    {"SetValue", 2, SetValue},
    {"Scroll", 2, Scroll},
    {"SetCropSelect", 6, SetCropSelect},
    {"DetectBarcodes", 4, DetectBarcodesMethod},
    {"GetBarcode", 0, GetBarcodeMethod},
    {"DetectBlankPage", 0, DetectBlankPageMethod},
    {"OMRInit", 4, OmrInitMethod},
    {"OMRCheck", 4, OmrCheckMethod},
    {"SetValueString", 2, SetValueString},
    {"GetValueString", 1, GetValueString},
    {"SetPageValue", 3, SetPageValue},
    {"GetPageValue", 2, GetPageValueMethod},
    {"Upload", 2, Upload},
    {"ClearAnnotations", 2, ClearAnnotations},
    {"AddUploadParam", 2, AddUploadParam},
    {"DeleteUploadParam", 1, DeleteUploadParam},
};

namespace {

// The table's order is the page-visible one; a row moved or dropped by
// mistake stops the build instead of renumbering the methods.
constexpr const char* kMethodOrder[kScriptMethodCount] = {
    "AboutBox", "GetVersion",       "GetState",       "RegisterFileTypes", "Print",        "Zoom",
    "GoToPage", "GoToPageSpecial",  "GetCurrentPage", "GetNumberOfPages",  "LoadImage",    "GetValue",
    "SetValue", "Scroll",           "SetCropSelect",  "DetectBarcodes",    "GetBarcode",   "DetectBlankPage",
    "OMRInit",  "OMRCheck",         "SetValueString", "GetValueString",    "SetPageValue", "GetPageValue",
    "Upload",   "ClearAnnotations", "AddUploadParam", "DeleteUploadParam"};

}  // namespace

constexpr bool TableMatchesOrder() {
  for (int i = 0; i < kScriptMethodCount; ++i) {
    if (!kScriptMethods[i].name || !kScriptMethods[i].handler) return false;
    if (!SameName(kScriptMethods[i].name, kMethodOrder[i])) return false;
  }
  return true;
}
static_assert(sizeof kScriptMethods / sizeof kScriptMethods[0] == 28);
static_assert(TableMatchesOrder(), "the method table must list every method in the page's order");

int32_t ScriptInteger(const NPVariant& value) {
  switch (value.type) {
    case NPVariantType_Bool:
      return value.value.boolValue ? 1 : 0;
    case NPVariantType_Int32:
      return value.value.intValue;
    case NPVariantType_Double: {
      // The small addition makes 2.9999999999 (the page's 3 after arithmetic) a 3.
      const double d = value.value.doubleValue + 0.00000001;
      if (std::isnan(d)) return 0;
      if (d >= 2147483647.0) return std::numeric_limits<int32_t>::max();
      if (d <= -2147483648.0) return std::numeric_limits<int32_t>::min();
      return static_cast<int32_t>(d);
    }
    case NPVariantType_String: {
      const NPString& s = value.value.stringValue;
      if (s.UTF8Length > kScriptTextLimit || (!s.UTF8Characters && s.UTF8Length)) return 0;
      const std::u16string text =
          Utf8ToUtf16(std::string_view(s.UTF8Characters ? s.UTF8Characters : "", s.UTF8Length));
      return ReadDecimal(text.c_str());
    }
    default:
      return 0;
  }
}

std::optional<std::u16string> ScriptText(const NPVariant& value, bool* absent) {
  *absent = false;
  if (value.type != NPVariantType_String) return std::nullopt;
  const NPString& s = value.value.stringValue;
  if (s.UTF8Length > kScriptTextLimit || (!s.UTF8Characters && s.UTF8Length)) {
    *absent = true;
    return std::u16string();
  }
  std::u16string text = Utf8ToUtf16(std::string_view(s.UTF8Characters ? s.UTF8Characters : "", s.UTF8Length));
  // A text ends at its first NUL, as the operations read it.
  text.resize(Utf16Length(text.c_str()));
  return text;
}

void SetIntResult(NPVariant* result, int32_t value) {
  result->type = NPVariantType_Int32;
  result->value.intValue = value;
}

void SetDoubleResult(NPVariant* result, double value) {
  result->type = NPVariantType_Double;
  result->value.doubleValue = value;
}

void SetVoidResult(NPVariant* result) {
  result->type = NPVariantType_Void;
  result->value.intValue = 0;
}

void SetTextResult(NPVariant* result, std::u16string_view text) {
  result->type = NPVariantType_Null;
  result->value.intValue = 0;
  if (text.size() >= kScriptResultUnits) text = text.substr(0, kScriptResultUnits - 1);
  const std::string utf8 = Utf16ToUtf8(text);
  char* copy = static_cast<char*>(BrowserAllocate(static_cast<uint32_t>(utf8.size() + 1)));
  if (!copy) return;
  std::memcpy(copy, utf8.c_str(), utf8.size() + 1);
  result->type = NPVariantType_String;
  result->value.stringValue.UTF8Characters = copy;
  result->value.stringValue.UTF8Length = static_cast<uint32_t>(utf8.size());
}

int32_t FindScriptMethod(std::string_view name) {
  for (int32_t i = 0; i < kScriptMethodCount; ++i) {
    if (name == kScriptMethods[i].name) return i;
  }
  return -1;
}

int RunScriptMethod(ViewerInstance* viewer, int32_t index, const NPVariant* args, uint32_t argCount,
                    NPVariant* result) {
  if (index < 0 || index >= kScriptMethodCount) return 0;
  const ScriptMethod& method = kScriptMethods[index];
  if (argCount != method.argCount || (argCount && !args)) return 0;
  SetIntResult(result, 0);
  method.handler(ScriptCall{viewer, args, result});
  return 1;
}
