// The `clipboard` step: what the plug-in put on the clipboard, read back as
// the next program would: the text, and the device-independent bitmap
// written out as a BMP file; read here or by a second copy of nphost, which
// also holds the clipboard open for a while as a busy program does.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

namespace {

struct ClipboardContents {
  std::string text = "none";
  long long bits = 0;
};

// Reads the clipboard, writing its bitmap to `bmp` (when named) with the file
// header a BMP file puts before the same block. Empty when all went well.
std::string ReadClipboard(const std::wstring& bmp, ClipboardContents* contents) {
  if (!OpenClipboard(nullptr)) return "the clipboard cannot be opened";
  std::string problem;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data));
    contents->text = wide ? ToUtf8(wide) : "";
    GlobalUnlock(data);
  }
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* block = static_cast<const uint8_t*>(GlobalLock(data));
    const size_t size = GlobalSize(data);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block);
    contents->bits = header->biBitCount;
    if (!bmp.empty()) {
      const long long bits = contents->bits;
      const uint32_t entries = header->biClrUsed ? header->biClrUsed : (bits <= 8 ? 1u << bits : 0u);
      const uint32_t offset = 14 + header->biSize + 4 * entries;
      std::vector<uint8_t> out = {'B', 'M'};
      for (uint32_t value : {static_cast<uint32_t>(size + 14), 0u, offset})
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
      out.insert(out.end(), block, block + size);
      FILE* f = _wfopen(bmp.c_str(), L"wb");
      if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size()) problem = "cannot write the file";
      if (f) std::fclose(f);
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return problem;
}

std::wstring Quote(const std::wstring& argument) { return L"\"" + argument + L"\""; }

// Starts this program again with the helper's arguments; the caller closes the handle.
HANDLE StartHelper(const std::wstring& arguments) {
  wchar_t self[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return nullptr;
  std::wstring line = Quote(self) + L" --clipboard-helper " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits for `handle` while the plug-in's windows keep answering.
bool WaitPumping(HANDLE handle, DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    const DWORD now = GetTickCount();
    if (static_cast<int32_t>(end - now) <= 0) return false;
    const DWORD got = MsgWaitForMultipleObjects(1, &handle, FALSE, end - now, QS_ALLINPUT);
    if (got == WAIT_OBJECT_0) return true;
    if (got != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

}  // namespace

int RunClipboardHelper(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 0 ? argv[0] : L"";
  if (mode == L"read" && argc == 3) {
    // read BMP|- REPORT: the report holds the bitmap's bits, a line end, the text.
    ClipboardContents contents;
    const std::wstring bmp = argv[1];
    const std::string problem = ReadClipboard(bmp == L"-" ? L"" : bmp, &contents);
    FILE* report = _wfopen(argv[2], L"wb");
    if (!report) return 1;
    std::fprintf(report, "%s\n%lld\n%s", problem.empty() ? "ok" : problem.c_str(), contents.bits,
                 contents.text.c_str());
    std::fclose(report);
    return 0;
  }
  if (mode == L"hold" && argc == 3) {
    // hold MS EVENT: open the clipboard, tell the event, keep it open for MS.
    // Opened for a window, as programs do: Wine lets a second opening without
    // a window through when the first had none either.
    HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!opened || !window || !OpenClipboard(window)) return 1;
    SetEvent(opened);
    Sleep(static_cast<DWORD>(_wtoi(argv[1])));
    CloseClipboard();
    return 0;
  }
  std::fprintf(stderr, "nphost --clipboard-helper (read BMP|- REPORT | hold MS EVENT)\n");
  return 2;
}

void Browser::Clipboard(const Step& step) {
  Pump(0);
  const std::wstring bmp = step.Has("file") ? NativePath(step.Get("file"), folder_) : L"";
  if (step.Has("hold")) {
    const std::wstring event = L"nphost-clipboard-" + std::to_wstring(GetCurrentProcessId());
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    HANDLE helper =
        StartHelper(L"hold " + std::to_wstring(std::atoi(step.Get("hold").c_str())) + L" " + Quote(event));
    const bool held = helper && WaitPumping(opened, 20000);
    if (helper) CloseHandle(helper);
    CloseHandle(opened);
    if (!held) return Fail(step, "the second program did not open the clipboard");
    return Observe("clipboard", {{"held", "true"}});
  }
  ClipboardContents contents;
  std::string problem;
  if (step.Get("from") == "other") {
    wchar_t temp[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, temp)) return Fail(step, "no temporary folder");
    const std::wstring report = std::wstring(temp) + L"clipboard-report.txt";
    DeleteFileW(report.c_str());
    HANDLE helper = StartHelper(L"read " + Quote(bmp.empty() ? L"-" : bmp) + L" " + Quote(report));
    const bool ended = helper && WaitPumping(helper, 30000);
    if (helper) CloseHandle(helper);
    if (!ended) return Fail(step, "the second program did not read the clipboard");
    FILE* f = _wfopen(report.c_str(), L"rb");
    if (!f) return Fail(step, "the second program left no report");
    std::string text;
    char piece[4096];
    for (size_t got; (got = std::fread(piece, 1, sizeof piece, f)) > 0;) text.append(piece, got);
    std::fclose(f);
    DeleteFileW(report.c_str());
    const size_t first = text.find('\n'), second = text.find('\n', first + 1);
    if (first == std::string::npos || second == std::string::npos)
      return Fail(step, "the report is cut short");
    if (text.compare(0, first, "ok") != 0) problem = text.substr(0, first);
    contents.bits = std::atoll(text.substr(first + 1, second - first - 1).c_str());
    contents.text = text.substr(second + 1);
  } else {
    problem = ReadClipboard(bmp, &contents);
  }
  if (!problem.empty()) return Fail(step, problem);
  if (step.Has("text-file")) {
    FILE* f = _wfopen(NativePath(step.Get("text-file"), folder_).c_str(), L"wb");
    if (!f || std::fwrite(contents.text.data(), 1, contents.text.size(), f) != contents.text.size())
      Fail(step, "cannot write the text file");
    if (f) std::fclose(f);
  }
  Observe("clipboard", {{"text", Quoted(contents.text)}, {"bits", Number(contents.bits)}});
}
