#include "controls/context_menu.h"

#include "analysis/page_markup.h"
#include "analysis/sketch_layer.h"
#include "common/text_buffer.h"
#include "controls/home_page.h"
#include "plugin/browser_services.h"
#include "viewer/library.h"
#include "viewer/page_view.h"
#include "viewer/settings.h"
#include "viewer/window_calls.h"

namespace {

using Rule = int (*)(const ViewerInstance* viewer, int32_t value);
using Action = void (*)(ViewerInstance* viewer, int32_t value);

struct MenuItem {
  int32_t command;
  uint32_t stringId;
  uint32_t restriction;  // a set bit in the instance's mask removes the item
  Rule present;          // besides the restriction; null: always
  Rule greyed;           // null: never
  Rule checked;          // null: never
  Action action;
  int32_t value;  // the percentage, mode or style the rules and the action use
};

// ---- the state the rules read

int32_t Directory(const ViewerInstance* v) { return v->download.currentDirectory; }
int32_t Pages(const ViewerInstance* v) { return v->download.hasPages ? v->download.document.pageCount : 0; }
int Loaded(const ViewerInstance* v) { return v->download.loadState == kLoadDone; }
int NotLoaded(const ViewerInstance* v, int32_t) { return !Loaded(v); }
int NotLoadedOrNotShown(const ViewerInstance* v, int32_t) { return !Loaded(v) || !HasValidPage(v); }
int PrintGreyed(const ViewerInstance* v, int32_t) {
  return !Loaded(v) || (!HasValidPage(v) && Pages(v) <= 1);
}
int Downloading(const ViewerInstance* v, int32_t) { return v->download.loadState == kLoadDownloading; }
int HasText(const TextBuffer* text) { return TextOf(text) && *TextOf(text); }
int NoAddress(const ViewerInstance* v, int32_t) { return !HasText(&v->download.documentUrl); }
int HasLink(const ViewerInstance* v, int32_t) { return HasText(&v->params.href); }
int HasUploadUrl(const ViewerInstance* v, int32_t) { return HasText(&v->upload.uploadUrl); }
int MarksPresent(const ViewerInstance* v, int32_t) { return HasWhiteouts(v, Directory(v)); }
int SelectAllowed(const ViewerInstance* v, int32_t) { return v->input.whiteoutAllowed; }
int CropAllowed(const ViewerInstance* v, int32_t) { return v->input.cropFeature; }
int OnFirstPage(const ViewerInstance* v, int32_t) { return v->download.currentPage <= 0; }
int OnLastPage(const ViewerInstance* v, int32_t) { return v->download.currentPage >= Pages(v) - 1; }
int LogsEmpty(const ViewerInstance* v, int32_t) {
  const MessageLog* logs[] = {&v->logs.documentLog, &v->logs.pageLog};
  for (const MessageLog* log : logs) {
    if (HasText(&log->text)) return 0;
  }
  return 1;
}
int Smoothing(const ViewerInstance* v, int32_t) { return v->settings.raster.resample != 0; }
int NegativeOn(const ViewerInstance* v, int32_t) { return v->settings.negative != 0; }
int OrientationIs(const ViewerInstance* v, int32_t code) { return v->settings.orientation == code; }
int SizeModeIs(const ViewerInstance* v, int32_t mode) { return v->settings.sizeMode == mode; }
int FixedAt(const ViewerInstance* v, int32_t percent) {
  return v->settings.sizeMode == kSizeFixed && v->settings.scaleIndex == ScaleIndex(percent);
}
int MagnifierAt(const ViewerInstance* v, int32_t percent) {
  return v->settings.zoomIndex == ZoomIndex(percent);
}
int MouseModeIs(const ViewerInstance* v, int32_t mode) { return v->settings.mouseMode == mode; }

// ---- what the commands do

void RemoveLastMark(ViewerInstance* v, int32_t) { RemoveLastWhiteout(v, Directory(v)); }
void RemoveAllMarks(ViewerInstance* v, int32_t) { RemoveAllWhiteouts(v, Directory(v)); }
void Print(ViewerInstance* v, int32_t) { PrintDocument(v, kPrintRequestDialog); }
void OpenLocal(ViewerInstance* v, int32_t) { OpenLocalFileCommand(v); }
void SaveAs(ViewerInstance* v, int32_t) { SaveDocumentCommand(v); }
void CopyImage(ViewerInstance* v, int32_t) { CopyImageCommand(v); }
void CopyLocation(ViewerInstance* v, int32_t) { CopyTextCommand(v, TextOf(&v->download.documentUrl)); }
void CopyLink(ViewerInstance* v, int32_t) { CopyTextCommand(v, TextOf(&v->params.href)); }
void Send(ViewerInstance* v, int32_t) { SendDocumentCommand(v); }
void PenColour(ViewerInstance* v, int32_t) { ChoosePenColourCommand(v); }
void ClearPage(ViewerInstance* v, int32_t) { ClearStrokes(v, Directory(v)); }
void Upload(ViewerInstance* v, int32_t) { UploadDocumentCommand(v, 0, 0); }
void Smooth(ViewerInstance* v, int32_t) { ToggleSmooth(v); }
void Negate(ViewerInstance* v, int32_t) { ToggleNegative(v); }
void Turn(ViewerInstance* v, int32_t by) { SetOrientation(v, (v->settings.orientation + by) % 4); }
void Orient(ViewerInstance* v, int32_t code) { SetOrientation(v, code); }
void Fit(ViewerInstance* v, int32_t mode) { SetSizeMode(v, mode); }
void FixedZoom(ViewerInstance* v, int32_t percent) { SetScalePercent(v, percent); }
void MagnifierLevel(ViewerInstance* v, int32_t percent) { SetZoomPercent(v, percent); }
void Step(ViewerInstance* v, int32_t kind) { StepPage(v, kind); }
void Mode(ViewerInstance* v, int32_t mode) { SetMouseMode(v, mode); }
void Settings(ViewerInstance* v, int32_t) { ShowSettingsSheet(v); }
void SaveAll(ViewerInstance* v, int32_t) {
  SaveSettings(v, Library().store.get(), kGroupView | kGroupPreferences);
}
void ErrorLog(ViewerInstance* v, int32_t) { ShowErrorLog(v); }
void Tags(ViewerInstance* v, int32_t allPages) { ShowTagViewer(v, allPages); }
void CheckVersion(ViewerInstance* v, int32_t) { CheckVersionCommand(v, 1); }
void Desktop(ViewerInstance* v, int32_t style) { SetDesktopCommand(v, style); }
void ViewImage(ViewerInstance* v, int32_t) { OpenAddress(v, TextOf(&v->download.documentUrl), u"_self"); }
void NewWindow(ViewerInstance* v, int32_t) { OpenAddress(v, TextOf(&v->download.documentUrl), u"_blank"); }
void HomePage(ViewerInstance* v, int32_t) { OpenAddress(v, kMakerHomePage, u"_self"); }
void About(ViewerInstance* v, int32_t) { ShowInformation(v); }

// clang-format off
const MenuItem kItems[] = {
  // command  text restriction           present        greyed               checked       action          value
  {49076, 309, 0,                     MarksPresent,  nullptr,             nullptr,      RemoveLastMark, 0},
  {49077, 310, 0,                     MarksPresent,  nullptr,             nullptr,      RemoveAllMarks, 0},
  {49001, 265, kRestrictPrint,        nullptr,       PrintGreyed,         nullptr,      Print,          0},
  {49022, 266, kRestrictOpenLocal,    nullptr,       Downloading,         nullptr,      OpenLocal,      0},
  {49002, 267, kRestrictSaveImage,    nullptr,       NotLoaded,           nullptr,      SaveAs,         0},
  {40016, 268, kRestrictCopyImage,    nullptr,       NotLoadedOrNotShown, nullptr,      CopyImage,      0},
  {49023, 269, kRestrictCopyLink,     nullptr,       NoAddress,           nullptr,      CopyLocation,   0},
  {49026, 285, kRestrictCopyLink,     HasLink,       nullptr,             nullptr,      CopyLink,       0},
  {49069, 286, kRestrictMail,         nullptr,       NotLoaded,           nullptr,      Send,           0},
  {49116, 339, 0,                     nullptr,       nullptr,             nullptr,      PenColour,      0},
  {49117, 340, 0,                     nullptr,       nullptr,             nullptr,      ClearPage,      0},
  {49115, 337, kRestrictUpload,       HasUploadUrl,  NotLoaded,           nullptr,      Upload,         0},
  {49003, 270, 0,                     nullptr,       nullptr,             Smoothing,    Smooth,         0},
  {49004, 271, 0,                     nullptr,       nullptr,             NegativeOn,   Negate,         0},
  {49010, 331, 0,                     nullptr,       nullptr,             nullptr,      Turn,           3},
  {49009, 332, 0,                     nullptr,       nullptr,             nullptr,      Turn,           1},
  {49011, 338, 0,                     nullptr,       nullptr,             nullptr,      Turn,           2},
  {49005, 215, 0,                     nullptr,       nullptr,             OrientationIs, Orient,        kOrientTop},
  {49006, 216, 0,                     nullptr,       nullptr,             OrientationIs, Orient,        kOrientRight},
  {49007, 217, 0,                     nullptr,       nullptr,             OrientationIs, Orient,        kOrientBottom},
  {49008, 218, 0,                     nullptr,       nullptr,             OrientationIs, Orient,        kOrientLeft},
  {49037, 220, 0,                     nullptr,       nullptr,             SizeModeIs,   Fit,            kSizeFitWidth},
  {49038, 221, 0,                     nullptr,       nullptr,             SizeModeIs,   Fit,            kSizeFitHeight},
  {49039, 222, 0,                     nullptr,       nullptr,             SizeModeIs,   Fit,            kSizeBestFit},
  {49040, 229, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      5},
  {49041, 228, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      10},
  {49042, 227, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      17},
  {49043, 226, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      25},
  {49044, 225, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      33},
  {49045, 224, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      50},
  {49046, 223, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      70},
  {49036, 219, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      100},
  {49100, 315, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      200},
  {49101, 316, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      300},
  {49102, 317, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      400},
  {49103, 318, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      800},
  {49104, 319, 0,                     nullptr,       nullptr,             FixedAt,      FixedZoom,      1600},
  {49059, 239, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 10},
  {49058, 238, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 20},
  {49057, 237, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 30},
  {49056, 236, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 40},
  {49055, 235, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 50},
  {49054, 234, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 60},
  {49053, 233, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 70},
  {49052, 232, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 80},
  {49051, 231, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 90},
  {49050, 230, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 100},
  {49110, 315, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 200},
  {49111, 316, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 300},
  {49112, 317, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 400},
  {49113, 318, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 800},
  {49114, 319, 0,                     nullptr,       nullptr,             MagnifierAt,  MagnifierLevel, 1600},
  {49015, 240, 0,                     nullptr,       OnFirstPage,         nullptr,      Step,           kStepPrevious},
  {49014, 241, 0,                     nullptr,       OnLastPage,          nullptr,      Step,           kStepNext},
  {49016, 242, 0,                     nullptr,       OnFirstPage,         nullptr,      Step,           kStepFirst},
  {49017, 243, 0,                     nullptr,       OnLastPage,          nullptr,      Step,           kStepLast},
  {49081, 244, 0,                     nullptr,       nullptr,             MouseModeIs,  Mode,           kMouseZoom},
  {49082, 245, 0,                     nullptr,       nullptr,             MouseModeIs,  Mode,           kMousePan},
  {49085, 335, kRestrictMarks,        nullptr,       nullptr,             MouseModeIs,  Mode,           kMouseDraw},
  {49086, 336, kRestrictMarks,        nullptr,       nullptr,             MouseModeIs,  Mode,           kMouseErase},
  {49083, 247, kRestrictMarks,        SelectAllowed, nullptr,             MouseModeIs,  Mode,           kMouseWhiteout},
  {49084, 314, kRestrictMarks,        CropAllowed,   nullptr,             MouseModeIs,  Mode,           kMouseCrop},
  {49080, 246, 0,                     nullptr,       nullptr,             MouseModeIs,  Mode,           kMouseNone},
  {49071, 289, 0,                     nullptr,       nullptr,             nullptr,      Settings,       0},
  {49024, 279, kRestrictSaveSettings, nullptr,       nullptr,             nullptr,      SaveAll,        0},
  {49074, 304, 0,                     nullptr,       LogsEmpty,           nullptr,      ErrorLog,       0},
  {49078, 312, kRestrictShowTags,     nullptr,       NotLoaded,           nullptr,      Tags,           0},
  {49079, 313, kRestrictShowTags,     nullptr,       NotLoaded,           nullptr,      Tags,           1},
  {49034, 262, kRestrictUpdateCheck,  nullptr,       nullptr,             nullptr,      CheckVersion,   0},
  {49027, 263, kRestrictDesktop,      nullptr,       NotLoadedOrNotShown, nullptr,      Desktop,        kDesktopCentred},
  {49028, 264, kRestrictDesktop,      nullptr,       NotLoadedOrNotShown, nullptr,      Desktop,        kDesktopTiled},
  {49029, 302, kRestrictDesktop,      nullptr,       NotLoadedOrNotShown, nullptr,      Desktop,        kDesktopStretched},
  {49020, 280, kRestrictCopyLink,     nullptr,       NoAddress,           nullptr,      ViewImage,      0},
  {49021, 281, kRestrictCopyLink,     nullptr,       NoAddress,           nullptr,      NewWindow,      0},
  {40025, 283, 0,                     nullptr,       nullptr,             nullptr,      HomePage,       0},
  {49013, 284, 0,                     nullptr,       nullptr,             nullptr,      About,          0},
};

// The order of each popup's lines. A separator row names the command whose
// presence it depends on (0: always there); a popup row names its submenu.
enum RowKind : int32_t { kRowCommand, kRowSeparator, kRowPopup };
struct LayoutRow {
  int32_t popup;
  int32_t kind;
  int32_t id;
};
constexpr uint32_t kPopupStrings[kPopupCount] = {0, 277, 272, 273, 274, 275, 276, 303};

const LayoutRow kLayout[] = {
  {kPopupMain, kRowCommand, 49076}, {kPopupMain, kRowCommand, 49077}, {kPopupMain, kRowSeparator, 49076},
  {kPopupMain, kRowCommand, 49001}, {kPopupMain, kRowCommand, 49022}, {kPopupMain, kRowCommand, 49002},
  {kPopupMain, kRowCommand, 40016}, {kPopupMain, kRowCommand, 49023}, {kPopupMain, kRowCommand, 49026},
  {kPopupMain, kRowCommand, 49069}, {kPopupMain, kRowPopup, kPopupSketch}, {kPopupMain, kRowSeparator, 0},
  {kPopupMain, kRowCommand, 49003}, {kPopupMain, kRowCommand, 49004},
  {kPopupMain, kRowPopup, kPopupOrientation}, {kPopupMain, kRowPopup, kPopupSize},
  {kPopupMain, kRowPopup, kPopupZoom}, {kPopupMain, kRowPopup, kPopupPage}, {kPopupMain, kRowPopup, kPopupMouse},
  {kPopupMain, kRowCommand, 49071}, {kPopupMain, kRowSeparator, 0},
  {kPopupMain, kRowCommand, 49024}, {kPopupMain, kRowSeparator, 49024},
  {kPopupMain, kRowPopup, kPopupTools}, {kPopupMain, kRowSeparator, 0},
  {kPopupMain, kRowCommand, 49020}, {kPopupMain, kRowCommand, 49021},
  {kPopupMain, kRowCommand, 40025}, {kPopupMain, kRowCommand, 49013},

  {kPopupSketch, kRowCommand, 49116}, {kPopupSketch, kRowCommand, 49117}, {kPopupSketch, kRowCommand, 49115},

  {kPopupOrientation, kRowCommand, 49010}, {kPopupOrientation, kRowCommand, 49009},
  {kPopupOrientation, kRowCommand, 49011}, {kPopupOrientation, kRowSeparator, 0},
  {kPopupOrientation, kRowCommand, 49005}, {kPopupOrientation, kRowCommand, 49006},
  {kPopupOrientation, kRowCommand, 49007}, {kPopupOrientation, kRowCommand, 49008},

  {kPopupSize, kRowCommand, 49037}, {kPopupSize, kRowCommand, 49038}, {kPopupSize, kRowCommand, 49039},
  {kPopupSize, kRowSeparator, 0},
  {kPopupSize, kRowCommand, 49040}, {kPopupSize, kRowCommand, 49041}, {kPopupSize, kRowCommand, 49042},
  {kPopupSize, kRowCommand, 49043}, {kPopupSize, kRowCommand, 49044}, {kPopupSize, kRowCommand, 49045},
  {kPopupSize, kRowCommand, 49046}, {kPopupSize, kRowCommand, 49036}, {kPopupSize, kRowCommand, 49100},
  {kPopupSize, kRowCommand, 49101}, {kPopupSize, kRowCommand, 49102}, {kPopupSize, kRowCommand, 49103},
  {kPopupSize, kRowCommand, 49104},

  {kPopupZoom, kRowCommand, 49059}, {kPopupZoom, kRowCommand, 49058}, {kPopupZoom, kRowCommand, 49057},
  {kPopupZoom, kRowCommand, 49056}, {kPopupZoom, kRowCommand, 49055}, {kPopupZoom, kRowCommand, 49054},
  {kPopupZoom, kRowCommand, 49053}, {kPopupZoom, kRowCommand, 49052}, {kPopupZoom, kRowCommand, 49051},
  {kPopupZoom, kRowCommand, 49050}, {kPopupZoom, kRowCommand, 49110}, {kPopupZoom, kRowCommand, 49111},
  {kPopupZoom, kRowCommand, 49112}, {kPopupZoom, kRowCommand, 49113}, {kPopupZoom, kRowCommand, 49114},

  {kPopupPage, kRowCommand, 49015}, {kPopupPage, kRowCommand, 49014}, {kPopupPage, kRowSeparator, 0},
  {kPopupPage, kRowCommand, 49016}, {kPopupPage, kRowCommand, 49017},

  {kPopupMouse, kRowCommand, 49081}, {kPopupMouse, kRowCommand, 49082}, {kPopupMouse, kRowCommand, 49085},
  {kPopupMouse, kRowCommand, 49086}, {kPopupMouse, kRowCommand, 49083}, {kPopupMouse, kRowCommand, 49084},
  {kPopupMouse, kRowCommand, 49080},

  {kPopupTools, kRowCommand, 49074}, {kPopupTools, kRowCommand, 49078}, {kPopupTools, kRowCommand, 49079},
  {kPopupTools, kRowCommand, 49034}, {kPopupTools, kRowSeparator, 49027},
  {kPopupTools, kRowCommand, 49027}, {kPopupTools, kRowCommand, 49028}, {kPopupTools, kRowCommand, 49029},
};
// clang-format on

const MenuItem* ItemOf(int32_t command) {
  for (const MenuItem& item : kItems) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

// The restriction mask is applied here and nowhere else.
int Present(const ViewerInstance* viewer, const MenuItem& item) {
  if (item.restriction && IsRestricted(viewer, item.restriction)) return 0;
  return !item.present || item.present(viewer, item.value);
}

int Greyed(const ViewerInstance* viewer, const MenuItem& item) {
  return item.greyed && item.greyed(viewer, item.value);
}

}  // namespace

std::vector<MenuEntry> MenuEntries(const ViewerInstance* viewer, int32_t popup) {
  std::vector<MenuEntry> entries;
  for (const LayoutRow& row : kLayout) {
    if (row.popup != popup) continue;
    MenuEntry entry;
    if (row.kind == kRowSeparator) {
      const MenuItem* after = row.id ? ItemOf(row.id) : nullptr;
      if (after && !Present(viewer, *after)) continue;
      entry.kind = kEntrySeparator;
    } else if (row.kind == kRowPopup) {
      entry.kind = kEntryPopup;
      entry.popup = row.id;
      entry.stringId = kPopupStrings[row.id];
    } else {
      const MenuItem* item = ItemOf(row.id);
      if (!item || !Present(viewer, *item)) continue;
      entry.command = item->command;
      entry.stringId = item->stringId;
      entry.greyed = Greyed(viewer, *item);
      entry.checked = item->checked && item->checked(viewer, item->value);
    }
    entries.push_back(entry);
  }
  return entries;
}

int RunMenuCommand(ViewerInstance* viewer, int32_t command) {
  const MenuItem* item = ItemOf(command);
  if (!item || !Present(viewer, *item) || Greyed(viewer, *item)) return 0;
  item->action(viewer, item->value);
  return 1;
}

void OpenAddress(ViewerInstance* v, const char16_t* url, const char16_t* target) {
  if (url && *url && v->browserInstance) OpenUrl(static_cast<NPP>(v->browserInstance), url, target);
}
