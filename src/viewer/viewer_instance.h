// One viewer: the record that every operation of the plug-in instance works on,
// with its creation from defaults, settings and page parameters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "analysis/page_markup.h"
#include "analysis/rubber_band.h"
#include "common/message_log.h"
#include "common/text_buffer.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"
#include "output/upload_fields.h"
#include "platform/platform.h"
#include "plugin/plugin_link.h"
#include "viewer/view_geometry.h"

enum ViewerMode : int32_t { kModeEmbedded = 1, kModeFullPage = 2 };

// Status codes of instance creation and destruction, the browser's own.
enum ViewerStatus : int32_t {
  kStatusDone = 0,
  kStatusFailed = 1,
  kStatusNoInstance = 2,
  kStatusOutOfMemory = 5,
};

// Restriction bits: a set bit takes the feature away.
enum Restriction : uint32_t {
  kRestrictFullPageAll = 0x1,  // viewed full page: everything is taken away
  kRestrictSaveSettings = 0x2,
  kRestrictPrint = 0x4,
  kRestrictSaveImage = 0x8,
  kRestrictOpenLocal = 0x10,
  kRestrictDesktop = 0x20,
  kRestrictCopyImage = 0x40,
  kRestrictCopyLink = 0x80,
  kRestrictScript = 0x100,
  kRestrictContextMenu = 0x200,
  kRestrictMail = 0x400,
  kRestrictMarks = 0x800,
  kRestrictShowTags = 0x1000,
  kRestrictUpdateCheck = 0x2000,
  kRestrictUpload = 0x4000,
};
constexpr uint32_t kRestrictEverything = 0x7FFFFFFF;

enum MiscFlag : uint32_t {
  kMiscWhiteoutAllowed = 0x1,
  kMiscLocalAccessAll = 0x2,
  kMiscIgnoreWheel = 0x4,
  kMiscIgnoreAccessParameter = 0x8,
};

// Where the document is: 1 a requested stream is awaited, 2 one arrives.
enum LoadState : int32_t { kLoadIdle = 0, kLoadAwaiting = 1, kLoadDownloading = 2, kLoadDone = 3 };

enum ToolbarPosition : int32_t { kToolbarNone = 0, kToolbarTop = 1, kToolbarBottom = 2 };

constexpr int32_t kDefaultEventMask = 0x2003;
constexpr int32_t kPathMaximum = 260;
constexpr int32_t kUrlMaximum = 2048;
constexpr int32_t kTargetMaximum = 64;
constexpr int32_t kUploadNameMaximum = 1024;
constexpr int32_t kItemListMaximum = 200;
constexpr int32_t kStatusTextMaximum = 100;
constexpr int32_t kOutputPathMaximum = 360;

struct ViewerInstance;

// The meaning of the flags the window hooks and their callers pass.
enum EraseFlag : int { kKeepBackground = 0, kEraseBackground = 1 };
enum ScrollFlag : int { kResetScroll = 0, kKeepRelativeScroll = 1 };
enum RefreshFlag : int { kRefreshLater = 0, kRefreshNow = 1 };
enum CaptureFlag : int { kReleaseMouse = 0, kCaptureMouse = 1 };
enum BusyFlag : int { kBusyOff = 0, kBusyOn = 1 };
enum ViewRefresh : int { kLeaveView = 0, kRefreshView = 1 };
enum BandEnd : int { kBandDone = 0, kBandCancelled = 1 };

// The window side of the viewer. The engine asks for these; the image window
// fills them when it attaches, and an empty hook does nothing.
struct ViewerHooks {
  void (*invalidate)(ViewerInstance* viewer, int erase) = nullptr;
  void (*captureMouse)(ViewerInstance* viewer, int capture) = nullptr;
  // An inverting rectangle with exclusive right and bottom, in scrolled view coordinates.
  void (*drawBand)(ViewerInstance* viewer, IntRect band) = nullptr;
  // One line: vertical or horizontal, forward (down, right) or back.
  void (*scrollLine)(ViewerInstance* viewer, int vertical, int forward) = nullptr;
  // Queues one scroll bar message (a ScrollCode) for the image window, so that
  // it is carried out as the user's own would be; 0 without an image window.
  int (*postScroll)(ViewerInstance* viewer, int vertical, int32_t code) = nullptr;
  // Scrolls the main view to a position in display pixels at once.
  void (*scrollTo)(ViewerInstance* viewer, int vertical, int32_t position) = nullptr;
  void (*closeMagnifier)(ViewerInstance* viewer) = nullptr;
  // Opens the magnifier at a click in image-window client coordinates, or
  // centred (the coordinates ignored); 0 when it could not be opened.
  int (*openMagnifier)(ViewerInstance* viewer, int32_t x, int32_t y, int centred) = nullptr;
  // After a page change: rebuilt for the new page, or closed when none is shown.
  void (*refreshMagnifier)(ViewerInstance* viewer) = nullptr;
  // Asks the open magnifier to close through its own message queue, as a click would.
  void (*dismissMagnifier)(ViewerInstance* viewer) = nullptr;
  // The browser's window: taken over, shown again after a move or size, given back.
  int (*attachWindow)(ViewerInstance* viewer, void* window) = nullptr;
  void (*refreshWindow)(ViewerInstance* viewer) = nullptr;
  void (*detachWindow)(ViewerInstance* viewer) = nullptr;
  // The instance's own cursor and brush, made once the settings are known.
  void (*createWindowResources)(ViewerInstance* viewer) = nullptr;
  void (*releaseWindowResources)(ViewerInstance* viewer) = nullptr;
  // The status text or the progress percentage changed: the status window
  // and the progress bar are made, updated or removed to match them.
  void (*statusChanged)(ViewerInstance* viewer) = nullptr;
  // Lays out the main view for the size mode and sets the scroll bars,
  // optionally keeping the relative scroll position.
  void (*layoutMainView)(ViewerInstance* viewer, int keepRelative) = nullptr;
  // Builds the main view's display bitmap again at its current size.
  void (*rebuildMainView)(ViewerInstance* viewer) = nullptr;
  // The toolbar shows the page, zoom and button states again; `now` repaints at once.
  void (*refreshToolbar)(ViewerInstance* viewer, int now) = nullptr;
  // The wait cursor on (1) and off (0) around long work.
  void (*busy)(ViewerInstance* viewer, int on) = nullptr;
  // Prints by kind (0 dialog, 1 silent, 4 and 5 as the page asked); 1 when printed.
  int (*printDocument)(ViewerInstance* viewer, int32_t kind) = nullptr;
  // Posts the automatic-print message to the plug-in window.
  void (*postAutoPrint)(ViewerInstance* viewer) = nullptr;
  // Draws the current page into the browser's print context `dc` at the
  // rectangle given in device units; 1 when drawn.
  int (*drawEmbeddedPrint)(ViewerInstance* viewer, void* dc, int32_t x, int32_t y, int32_t width,
                           int32_t height) = nullptr;
  // The commands whose work is done on the window side: dialogs, the
  // clipboard, other programs and the network. The toolbar, the context menu
  // and the script object reach them only through these, so that each has one
  // way in; each answers 1 when it did its work and 0 otherwise.
  int (*saveDocument)(ViewerInstance* viewer) = nullptr;                    // "Save As" with its dialog
  int (*openLocalFile)(ViewerInstance* viewer) = nullptr;                   // the open dialog, then the load
  int (*copyImage)(ViewerInstance* viewer) = nullptr;                       // the current page as CF_DIB
  int (*copyText)(ViewerInstance* viewer, const char16_t* text) = nullptr;  // CF_UNICODETEXT
  int (*setDesktop)(ViewerInstance* viewer, int32_t style) = nullptr;       // a DesktopStyle
  int (*sendDocument)(ViewerInstance* viewer) = nullptr;                    // by e-mail
  int (*choosePenColour)(ViewerInstance* viewer) = nullptr;                 // the colour chooser for the pen
  // `confirm` 1 asks the user first (the script's call); `tag` is the page's upload id.
  int (*uploadDocument)(ViewerInstance* viewer, int confirm, int32_t tag) = nullptr;
  int (*showSettingsSheet)(ViewerInstance* viewer) = nullptr;
  int (*showInformation)(ViewerInstance* viewer) = nullptr;  // the about dialog
  int (*showErrorLog)(ViewerInstance* viewer) = nullptr;
  int (*checkVersion)(ViewerInstance* viewer, int manual) = nullptr;
  int (*showTagViewer)(ViewerInstance* viewer, int allPages) = nullptr;
  // The context menu at screen coordinates (-1, -1 from the keyboard).
  int (*showMenu)(ViewerInstance* viewer, int32_t x, int32_t y, int fromToolbar) = nullptr;
};

// What the page hears of the viewer's changes. The browser boundary fills the
// table at library start; without it nothing is told.
struct ViewerEvents {
  void (*pageChange)(ViewerInstance* viewer, int32_t page) = nullptr;  // 1-based
  void (*mouseModeChange)(ViewerInstance* viewer, int32_t mouseMode) = nullptr;
  void (*sizeModeChange)(ViewerInstance* viewer, int32_t sizeMode, int32_t percent) = nullptr;
  void (*orientationChange)(ViewerInstance* viewer, int32_t orientation) = nullptr;  // 1 to 4
  void (*negativeChange)(ViewerInstance* viewer, int32_t negative) = nullptr;
  // State 1: a crop rectangle was drawn (its page, left, top, width and height
  // in image pixels); 0: it was removed (the page and its whole size).
  void (*cropSelect)(ViewerInstance* viewer, int32_t state, int32_t page, int32_t left, int32_t top,
                     int32_t width, int32_t height) = nullptr;
  // A page's pen strokes changed (1-based page).
  void (*annotationChange)(ViewerInstance* viewer, int32_t page) = nullptr;
  void (*printComplete)(ViewerInstance* viewer, int32_t printed) = nullptr;  // 1 printed, 0 not
  // Not an event: what the browser calls itself, for the information report.
  void (*userAgent)(ViewerInstance* viewer, char16_t* buffer, size_t length) = nullptr;
  // An upload started, told one header line of the reply, or ended with its outcome.
  void (*uploadStart)(ViewerInstance* viewer, int32_t tag) = nullptr;
  void (*uploadHeader)(ViewerInstance* viewer, int32_t tag, const char16_t* name,
                       const char16_t* value) = nullptr;
  void (*uploadComplete)(ViewerInstance* viewer, int32_t tag, int32_t code, const char16_t* text) = nullptr;
};

// The persistent preferences besides the view settings.
struct Preferences {
  int32_t toolbar = kToolbarTop;
  int32_t zoomSize = 2;
  int32_t panSensitivity = 2;
  int32_t toolbarHeight = 26;  // button size plus 4
  int32_t backgroundColour = 0x404040;
  int32_t toolTips = 1;
  int32_t zoomMonitor = 0;
  IntPoint zoomLocation;
  int32_t fixRatio = 1;
  int32_t ignoreSpecialImages = 0;
  int32_t printFull = 0;
  int32_t printCenter = 0;
  int32_t printAutoRotate = 0;
  int32_t printStretched = 0;
  int32_t allowScript = 1;
  int32_t allowAutoPrint = 0;
  int32_t autoUpdate = 1;
  int32_t mouseWheelDirection = 1;
  int32_t localAccess = -1;  // -1 until the settings decide
  int32_t supportMultipleCopies = 0;
  int32_t sendMethod = 2;
  int32_t penColour = 0;
  IntRect zoomRect{10, 10, 410, 410};  // left, top, right, bottom
  int32_t zoomRectGiven = 0;
  // The range the print dialog offers first: 0 all pages, 1 the current one.
  int32_t printRange = 0;
  // The settings sheet opens again on the page the user left it on.
  int32_t lastSettingsPage = 0;
};

// The stream on its way and the document it becomes; the data source, size
// and first bytes are kept in `document`.
struct DownloadState {
  LoadState loadState = kLoadIdle;
  uint32_t expectedLength = 0;  // as announced, 0 when unknown
  uint32_t bytesReceived = 0;
  int32_t streamFailed = 0;
  void* acceptedStream = nullptr;
  int32_t streamsAccepted = 0;
  FileHandle tempFile = nullptr;
  TextBuffer tempFileName{kPathMaximum};
  uint8_t* memoryBuffer = nullptr;  // owned
  TextBuffer localFileName{kPathMaximum};
  TextBuffer documentUrl{kUrlMaximum};
  int32_t hasPages = 0;
  int32_t currentPage = 0;  // 0-based
  int32_t initialPage = 0;  // from the page parameter
  Document document;
  int32_t currentDirectory = 0;
};

struct WindowSet {
  void* imageWindow = nullptr;
  void* toolbarWindow = nullptr;
  void* magnifierWindow = nullptr;
  void* statusWindow = nullptr;
  void* progressWindow = nullptr;
  void* backgroundBrush = nullptr;
  void* linkCursor = nullptr;
};

// What the status window and the progress bar show.
struct StatusLine {
  TextBuffer statusText{kStatusTextMaximum};
  int32_t progressPercent = -1;  // -1: no progress bar
};

// The page on show and the views of it.
struct ViewArea {
  PageInfo pageInfo;
  PageBitmap pageBitmap;
  int32_t correctedWidth = 0;  // aspect-corrected page size at 100 percent
  int32_t correctedHeight = 0;
  ViewState mainView;
  ViewState magnifierView;
  int32_t targetWidth = 0;  // main view target, from the layout
  int32_t targetHeight = 0;
  IntPoint scroll;
  RealPoint relativeScroll;
  int32_t scrollGuard = 0;
  int32_t wheelAccumulator = 0;
};

// The view settings, stored and set by the page; `raster` carries `resample`
// and `memorylimit` to bitmap creation and scaling, so they are held there and
// nowhere else. The scale and zoom indexes start at 100 percent, which the
// library finds in its tables (DefaultViewSettings).
struct ViewSettings {
  RasterSettings raster{0, 1};  // no memory limit, smoothing on
  int32_t negative = 0;
  int32_t orientation = kOrientTop;
  int32_t sizeMode = kSizeFitWidth;
  int32_t scaleIndex = 5;
  int32_t zoomIndex = 5;
  int32_t mouseMode = kMouseZoom;
};

// The mouse and keyboard at work, and the features they may use.
struct InteractionState {
  int32_t panning = 0;
  IntPoint panStart;
  IntPoint panStartScroll;
  int32_t linkPressed = 0;
  RubberBand band;
  int32_t suppressContextMenu = 0;
  int32_t magnifierOpen = 0;
  int32_t whiteoutAllowed = 0;
  int32_t cropFeature = 0;
};

// What the page's parameters set besides the view settings and the features.
struct PageParameters {
  int32_t hasLink = 0;
  TextBuffer href{kUrlMaximum};
  TextBuffer target{kTargetMaximum};  // "_self" once the instance is prepared
  uint32_t background = 0x404040;     // in effect, 0x00BBGGRR
  int32_t backgroundFollowsSetting = 1;
  int32_t eventMask = kDefaultEventMask;
};

struct AccessState {
  uint32_t registryAccess = 0;
  uint32_t restrictions = 0;  // in effect
  uint32_t miscFlags = 0;
  int32_t logoControl = 0;  // lctrl
};

// One item of the toolbar's row: its control and, for buttons larger than
// the default, the icon scaled for it, which the instance owns. The states
// last given to the control (-1 before the first) spare asking the control
// on every refresh: only the toolbar changes them, and each question is a
// trip through the window system.
struct ToolbarEntry {
  int32_t item = 0;
  int32_t x = 0;
  void* control = nullptr;
  void* ownIcon = nullptr;
  int8_t enabled = -1;
  int8_t checked = -1;
};

struct ToolbarState {
  int32_t toolbarPosition = kToolbarTop;  // in effect
  int32_t toolbarFollowsSetting = 1;
  TextBuffer itemsSetting{kItemListMaximum};
  TextBuffer itemsParameter{kItemListMaximum};
  std::u16string toolbarItems;  // the chosen item list, parsed by the toolbar
  // The toolbar's window side, made and freed with its window.
  std::vector<ToolbarEntry> entries;
  int32_t layoutWidth = 0;
  int32_t pageListHeight = 0;
  int32_t logoPosition = 0;
  void* tooltipWindow = nullptr;
  void* pageListFont = nullptr;
  void* controls[32] = {};  // by item index, null when absent
};

struct PrintState {
  int32_t autoPrint = 0;
  int32_t printRouting = 0;
};

// The upload fields, cleaned as the page sets them.
struct UploadState {
  TextBuffer uploadUrl{kUrlMaximum};
  TextBuffer uploadFieldName{kUploadNameMaximum};
  TextBuffer uploadFileName{kUploadNameMaximum};
  std::vector<UploadFormField> formFields;  // added by the page's scripts
};

// What printing, saving and upload share.
struct OutputState {
  // Printing and upload both hand the page to a long job with a modal loop;
  // one flag keeps either from starting while the other runs.
  int32_t busy = 0;
  TextBuffer outputTempFile{kOutputPathMaximum};
  TextBuffer outputTempFolder{kOutputPathMaximum};
};

// The marks on the pages and the pen that makes them.
struct AnalysisState {
  MarkupTable markup;
  int32_t sketchButtons = 0;
  int32_t marksPresent = 0;
  int32_t eraserOutline = 0;  // erase mode: the outline follows the pointer
  // Where the pointer was last seen in the image window, whether it is inside,
  // whether the inverted outline is on the screen now, and whether the window
  // asked to be told when the pointer leaves.
  IntPoint pointerAt;
  int32_t pointerInside = 0;
  int32_t outlineShown = 0;
  int32_t leaveTracking = 0;
  // The pen drag under way: drawing or erasing, the segments it has added and
  // where the pointer was last, in page coordinates.
  int32_t penActive = 0;
  int32_t penErasing = 0;
  int32_t penSegments = 0;
  RealPoint penLast;
  BarcodeResults barcodes;  // the last scan of the current page
  OmrCalibration omr;       // the reference the last OMRInit made
};

struct ViewerLogs {
  MessageLog documentLog;
  MessageLog pageLog;
};

struct ViewerInstance {
  // identity
  int32_t mode = kModeEmbedded;
  void* browserInstance = nullptr;
  void* pluginWindow = nullptr;
  void* previousWindowProcedure = nullptr;
  ViewerHooks hooks;
  ViewerEvents events;
  PluginLink plugin;           // what the browser boundary keeps for itself, the script object among it
  int32_t callDepth = 0;       // calls from outside that are still running (InstanceCall)
  int32_t destroyPending = 0;  // the browser let go of the instance during such a call

  WindowSet windows;
  DownloadState download;
  ViewArea view;
  ViewSettings settings;
  InteractionState input;
  PageParameters params;
  AccessState access;
  Preferences prefs;
  ToolbarState toolbar;
  PrintState print;
  UploadState upload;
  OutputState output;
  AnalysisState analysis;
  StatusLine status;
  ViewerLogs logs;
};

// The one release path of the page bitmap and the display bitmaps of both views.
void ReleaseBitmaps(ViewArea* view);

// The view settings before any store or page has spoken.
ViewSettings DefaultViewSettings();

// Builds an instance: defaults, then the settings store's three passes, then
// the page's parameters (widened to UTF-16, at most `count`). The instance goes
// to `*slot`; answers a ViewerStatus.
int32_t CreateInstance(ViewerInstance** slot, int32_t mode, void* browserInstance, int32_t count,
                       const char16_t* const* names, const char16_t* const* values);
// Frees everything the instance owns and clears the slot. While a call of the
// instance runs (InstanceCall), only the slot is cleared; the outermost call
// frees the instance when it ends.
int32_t DestroyInstance(ViewerInstance** slot);

// One call into the instance from outside: a browser callback, a window
// message. The instance is not freed while one runs; a destruction asked for
// meanwhile (a page's handler removed the element, or the browser went on with
// its work while a message box was open) happens when the outermost call ends.
class InstanceCall {
 public:
  explicit InstanceCall(ViewerInstance* viewer);
  ~InstanceCall();
  InstanceCall(const InstanceCall&) = delete;
  InstanceCall& operator=(const InstanceCall&) = delete;

 private:
  ViewerInstance* viewer_;
};

// Restriction bit test: non-zero when the feature is taken away.
inline int IsRestricted(const ViewerInstance* viewer, uint32_t bit) {
  return (viewer->access.restrictions & bit) != 0;
}
