// Prints a generated document through the viewer's own print path onto the
// default printer (set up by print_setup) and reports on stdout, as one JSON
// object, what the viewer answered, what its status line said and which
// message boxes it showed. The PostScript it printed is checked by
// print_output_test.py. Dialogs are driven from a watcher thread.
//   print_probe <case> [printer name]
#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "analysis/page_markup.h"
#include "common/diagnostics.h"
#include "common/text_format.h"
#include "output/auto_print.h"
#include "output/print_job_win.h"
#include "plugin/instance_bridge.h"
#include "tiff_fixture.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/window_calls.h"

namespace {

constexpr float k200Dpi = 200;
constexpr UINT kSecondRequest = WM_APP + 1;

struct Report {
  std::vector<std::string> statuses;
  std::vector<std::string> boxes;
  std::vector<int> completions;
  std::vector<std::string> samples;  // "x,y=RRGGBB" read back from a drawing
  int second = -1;
} g_report;

ViewerInstance* g_viewer = nullptr;

// A bilevel page, black where `black` says, at `dpi`.
TestPage BilevelPage(uint32_t width, uint32_t height, float dpi,
                     bool (*black)(uint32_t x, uint32_t y, uint32_t tag), uint32_t tag) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.bitsPerSample = 1;
  page.photometric = PHOTOMETRIC_MINISWHITE;
  page.xResolution = page.yResolution = dpi;
  page.rows.assign(1, {});
  for (uint32_t y = 0; y < height; ++y) {
    std::vector<uint8_t> row((width + 7) / 8, 0);
    for (uint32_t x = 0; x < width; ++x)
      if (black(x, y, tag)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    page.rows[0].push_back(row);
  }
  return page;
}

bool AllBlack(uint32_t, uint32_t, uint32_t) { return true; }
// Page n (1-based) shows a black band across its top, n tenths of an inch high at 100 dpi.
bool NumberBand(uint32_t, uint32_t y, uint32_t n) { return y < 10 * n; }

std::vector<uint8_t> g_bytes;

void Load(const std::vector<TestPage>& pages) {
  g_bytes = WriteTestTiffPages(pages);
  g_viewer->download.document = DocumentOver(g_bytes);
  g_viewer->download.hasPages = g_viewer->download.document.pageCount > 0;
  g_viewer->download.loadState = kLoadDone;
  PageLoadOptions options;
  options.readPrintTags = g_viewer->print.printRouting;
  LoadPage(&g_viewer->download.document, 0, &options, &g_viewer->view.pageInfo, &g_viewer->view.pageBitmap,
           &g_viewer->logs.pageLog);
  g_viewer->view.pageInfo.valid = 1;
}

std::vector<TestPage> NumberedPages(int count) {
  std::vector<TestPage> pages;
  for (int n = 1; n <= count; ++n) pages.push_back(BilevelPage(400, 400, 100, NumberBand, n));
  return pages;
}

// The dialog the viewer opened: a visible dialog window of this thread named "Print".
HWND FindPrintDialog(DWORD thread) {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        wchar_t cls[32] = {}, title[64] = {};
        GetClassNameW(window, cls, 32);
        GetWindowTextW(window, title, 64);
        if (IsWindowVisible(window) && wcscmp(cls, L"#32770") == 0 && wcscmp(title, L"Print") == 0) {
          reinterpret_cast<Search*>(data)->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct DialogScript {
  const wchar_t* copies = nullptr;
  int collate = -1;  // -1 leave, 0 off, 1 on
  const wchar_t* from = nullptr;
  const wchar_t* to = nullptr;
  int secondRequest = 0;  // ask for a second print while the dialog is open, then cancel
};

void SetChecked(HWND dialog, int id, int checked) {
  HWND box = GetDlgItem(dialog, id);
  if (box && (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != (checked != 0))
    SendMessageW(box, BM_CLICK, 0, 0);
}

// Watches for the dialog, fills it and ends it with a posted command.
std::thread Watch(DWORD thread, HWND helper, DialogScript script) {
  return std::thread([=] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
      Sleep(20);
      dialog = FindPrintDialog(thread);
    }
    if (!dialog) return;
    Sleep(100);
    if (script.from) {
      SendMessageW(GetDlgItem(dialog, 0x422), BM_CLICK, 0, 0);
      SendMessageW(GetDlgItem(dialog, 0x480), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(script.from));
      SendMessageW(GetDlgItem(dialog, 0x481), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(script.to));
    }
    if (script.copies)
      SendMessageW(GetDlgItem(dialog, 0x482), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(script.copies));
    if (script.collate >= 0) {
      SetChecked(dialog, 0x411, script.collate);
      char state[40];
      snprintf(state, sizeof state, "collate enabled=%d checked=%d",
               IsWindowEnabled(GetDlgItem(dialog, 0x411)) ? 1 : 0,
               SendMessageW(GetDlgItem(dialog, 0x411), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      g_report.samples.push_back(state);
    }
    if (script.secondRequest) {
      PostMessageW(helper, kSecondRequest, 0, 0);
      Sleep(500);
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    // A dialog that refuses its values answers with a message box and stays
    // open: both are closed, so the run ends as a cancelled one.
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(20);
    if (!IsWindow(dialog)) return;
    g_report.samples.push_back("dialog refused its values");
    for (int i = 0; i < 50; ++i) {
      EnumThreadWindows(
          thread,
          [](HWND window, LPARAM owner) -> BOOL {
            if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner))
              PostMessageW(window, WM_COMMAND, IDOK, 0);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(dialog));
      Sleep(20);
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
}

LRESULT CALLBACK HelperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kSecondRequest) {
    g_report.second = PrintDocument(g_viewer, kPrintRequestDialog);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string List(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    out += Quoted(items[i]);
  }
  return out + "]";
}

int PrintWithDialog(HWND helper, const DialogScript& script) {
  std::thread watcher = Watch(GetCurrentThreadId(), helper, script);
  const int result = PrintDocument(g_viewer, kPrintRequestDialog);
  watcher.join();
  return result;
}

void AddMarks(IntRect whiteout, const IntRect* crop) {
  g_viewer->analysis.marksPresent = 1;
  PageMarkup* markup = MarkupOf(g_viewer, g_viewer->download.currentDirectory, 1);
  markup->whiteouts.push_back({kMarkWhiteout, whiteout});
  if (crop) {
    markup->cropActive = 1;
    markup->crop = *crop;
  }
}

void PageTags(TestPage* page, const char* pageName, const char* model) {
  page->extraTags = [pageName, model](TIFF* tiff) {
    if (pageName) TIFFSetField(tiff, TIFFTAG_PAGENAME, pageName);
    if (model) TIFFSetField(tiff, TIFFTAG_MODEL, model);
  };
}

// The current page (100 x 50, black, its top-left 10 pixels whited out)
// drawn for an embedded print into a grey 24-bit picture, at 10, 20 in a
// 200 x 200 rectangle: it keeps its shape, so it covers 200 x 100.
int DrawEmbedded() {
  Load({BilevelPage(100, 50, 100, AllBlack, 0)});
  AddMarks({0, 0, 9, 9}, nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 300, -300, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, picture);
  RECT all{0, 0, 300, 300};
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  FillRect(dc, &all, grey);
  DeleteObject(grey);
  const int drawn = DrawForEmbeddedPrint(g_viewer, dc, 10, 20, 200, 200);
  GdiFlush();
  const POINT points[] = {{15, 25}, {35, 45}, {209, 119}, {210, 119}, {209, 120}, {9, 50}, {100, 60}};
  for (POINT p : points) {
    char sample[40];
    snprintf(sample, sizeof sample, "%ld,%ld=%06lX", p.x, p.y,
             static_cast<unsigned long>(GetPixel(dc, p.x, p.y)));
    g_report.samples.push_back(sample);
  }
  SelectObject(dc, old);
  DeleteObject(picture);
  DeleteDC(dc);
  return drawn;
}

int RunCase(const std::string& name, HWND helper) {
  ViewerInstance* v = g_viewer;
  if (name == "a5" || name == "a5-center") {
    v->prefs.printCenter = name == "a5-center";
    Load({BilevelPage(1165, 1654, k200Dpi, AllBlack, 0)});
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  if (name == "rotate") {
    // A5 landscape: too wide for A4 upright, true size when turned. The
    // white-out covers the picture's top-left inch.
    v->prefs.printAutoRotate = 1;
    Load({BilevelPage(1654, 1165, k200Dpi, AllBlack, 0)});
    AddMarks({0, 0, 199, 199}, nullptr);
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  if (name == "marks") {
    // White-out: an inch square one inch in; crop: everything but a half-inch border.
    Load({BilevelPage(1165, 1654, k200Dpi, AllBlack, 0)});
    const IntRect crop{100, 100, 1064, 1553};
    AddMarks({200, 200, 399, 399}, &crop);
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  if (name == "collated" || name == "uncollated" || name == "single-copies") {
    v->prefs.supportMultipleCopies = name != "single-copies";
    // Wine's extended dialog drops the collate choice (and the typed ranges):
    // the classic one, the fallback, returns what was chosen.
    UseExtendedPrintDialog(0);
    Load(NumberedPages(2));
    DialogScript script;
    script.copies = L"3";
    script.collate = name == "collated";
    return PrintWithDialog(helper, script);
  }
  if (name == "range") {
    UseExtendedPrintDialog(0);
    Load(NumberedPages(6));
    DialogScript script;
    script.from = L"5";
    script.to = L"6";
    return PrintWithDialog(helper, script);
  }
  if (name == "second-request") {
    Load(NumberedPages(1));
    DialogScript script;
    script.secondRequest = 1;
    return PrintWithDialog(helper, script);
  }
  if (name == "no-default") {
    Load(NumberedPages(1));
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  if (name == "back-side") {
    // The first page is a front; the second asks to begin a sheet, and would fall on the back.
    v->print.printRouting = 1;
    std::vector<TestPage> pages = NumberedPages(2);
    PageTags(&pages[1], "0", "1");
    Load(pages);
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  if (name == "page-kind-4") {
    // A page's silent print without the user's leave prints nothing, and says so.
    v->print.autoPrint = 4;
    v->prefs.allowAutoPrint = 0;
    Load(NumberedPages(1));
    v->events.printComplete = [](ViewerInstance*, int32_t printed) {
      g_report.completions.push_back(printed);
    };
    HWND plugin = CreateWindowExW(0, L"MervaneProbeHelper", L"plug-in", WS_POPUP, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindow(v, plugin);
    SendMessageW(plugin, kAutoPrintMessage, 0, 0);
    SetWindow(v, nullptr);
    DestroyWindow(plugin);
    return static_cast<int>(g_report.completions.size());
  }
  if (name == "embedded") return DrawEmbedded();
  if (name.rfind("file:", 0) == 0) {
    // A document of the user's, first page, on the default printer.
    std::ifstream file(name.substr(5), std::ios::binary);
    g_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    g_viewer->download.document = DocumentOver(g_bytes);
    g_viewer->download.hasPages = g_viewer->download.document.pageCount > 0;
    if (!g_viewer->download.hasPages) return 0;
    LoadPage(&g_viewer->download.document, 0, nullptr, &g_viewer->view.pageInfo, &g_viewer->view.pageBitmap,
             &g_viewer->logs.pageLog);
    g_viewer->view.pageInfo.valid = 1;
    return PrintDocument(v, kPrintRequestDefaultPrinter);
  }
  fprintf(stderr, "unknown case %s\n", name.c_str());
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: print_probe <case> [printer]\n");
    return 2;
  }
  if (argc > 2) SetDefaultPrinterW(std::wstring(argv[2], argv[2] + strlen(argv[2])).c_str());
  SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t) {
    g_report.boxes.push_back(Utf16ToUtf8(text));
    return IDOK;
  });
  StartLibrary(kLibraryPlugin, nullptr);
  StartWindowLibrary(GetModuleHandleW(nullptr));
  WNDCLASSW helperClass{};
  helperClass.lpfnWndProc = HelperProcedure;
  helperClass.hInstance = GetModuleHandleW(nullptr);
  helperClass.lpszClassName = L"MervaneProbeHelper";
  RegisterClassW(&helperClass);
  HWND owner = CreateWindowExW(0, L"MervaneProbeHelper", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                               nullptr, nullptr, helperClass.hInstance, nullptr);
  if (CreateInstance(&g_viewer, kModeEmbedded, nullptr, 0, nullptr, nullptr) != kStatusDone) return 1;
  g_viewer->pluginWindow = owner;
  g_viewer->hooks.statusChanged = [](ViewerInstance* v) {
    g_report.statuses.push_back(Utf16ToUtf8(TextOf(&v->status.statusText)));
  };
  const int result = RunCase(argv[1], owner);
  const int busyAfter = g_viewer->output.busy;
  g_viewer->pluginWindow = nullptr;
  DestroyInstance(&g_viewer);
  DestroyWindow(owner);
  StopWindowLibrary();
  StopLibrary();
  printf("{\"case\":%s,\"result\":%d,\"second\":%d,\"busy_after\":%d,\"completions\":[",
         Quoted(argv[1]).c_str(), result, g_report.second, busyAfter);
  for (size_t i = 0; i < g_report.completions.size(); ++i)
    printf("%s%d", i ? "," : "", g_report.completions[i]);
  printf("],\"statuses\":%s,\"boxes\":%s,\"samples\":%s}\n", List(g_report.statuses).c_str(),
         List(g_report.boxes).c_str(), List(g_report.samples).c_str());
  return result < 0 ? 1 : 0;
}
