#include "tools/nphost/host_window_win.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr wchar_t kPageClass[] = L"nphostPage";
constexpr wchar_t kPluginClass[] = L"nphostPlugin";

std::function<void(const MessageBoxRecord&)> g_onBox;
std::string g_answer = "default";
HHOOK g_hook = nullptr;
std::function<void()> g_whileBoxOpen;
// The box waiting for its answer while g_whileBoxOpen runs, and the button.
HWND g_openBox = nullptr;
int g_openBoxButton = 0;
WindowRemains* g_remains = nullptr;  // filled when the plug-in window ends

// Properties still set on a window, named as they were set.
BOOL CALLBACK NoteProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR list) {
  std::string* names = reinterpret_cast<std::string*>(list);
  if (!names->empty()) names->push_back(',');
  if (IS_INTRESOURCE(name)) {
    names->push_back('#');
    names->append(std::to_string(reinterpret_cast<uintptr_t>(name)));
  } else {
    for (const wchar_t* c = name; *c; ++c) names->push_back(static_cast<char>(*c));
  }
  return TRUE;
}

LRESULT CALLBACK PluginProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The last message a window gets: whatever a plug-in did not give back is still there.
  if (message == WM_NCDESTROY && g_remains) {
    g_remains->subclassed =
        GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(PluginProcedure);
    g_remains->properties.clear();
    EnumPropsExW(window, NoteProperty, reinterpret_cast<LPARAM>(&g_remains->properties));
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSW page = {};
  page.lpfnWndProc = PageProcedure;
  page.hInstance = GetModuleHandleW(nullptr);
  page.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  page.lpszClassName = kPageClass;
  RegisterClassW(&page);
  WNDCLASSW plugin = page;
  plugin.lpfnWndProc = PluginProcedure;
  plugin.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  plugin.lpszClassName = kPluginClass;
  RegisterClassW(&plugin);
}

// Key names as scenario files write them.
const std::map<std::string, int>& KeyNames() {
  static const std::map<std::string, int> names = {
      {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT},  {"home", VK_HOME},     {"end", VK_END},
      {"left", VK_LEFT},     {"right", VK_RIGHT},    {"up", VK_UP},         {"down", VK_DOWN},
      {"space", VK_SPACE},   {"enter", VK_RETURN},   {"escape", VK_ESCAPE}, {"tab", VK_TAB},
      {"plus", VK_ADD},      {"minus", VK_SUBTRACT}, {"add", VK_ADD},       {"subtract", VK_SUBTRACT},
      {"delete", VK_DELETE}, {"backspace", VK_BACK}, {"insert", VK_INSERT}, {"apps", VK_APPS},
  };
  return names;
}

int VirtualKey(const std::string& key) {
  auto found = KeyNames().find(key);
  if (found != KeyNames().end()) return found->second;
  if (key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= '0' && key[0] <= '9'))) {
    return key[0] >= 'a' ? key[0] - 'a' + 'A' : key[0];
  }
  if (key.size() >= 2 && key[0] == 'f') {
    const int n = std::atoi(key.c_str() + 1);
    if (n >= 1 && n <= 12) return VK_F1 + n - 1;
  }
  return 0;
}

// Holds the modifier keys down in the thread's keyboard state, which is
// what GetKeyState reads in the plug-in's window procedures.
class HeldModifiers {
 public:
  explicit HeldModifiers(Modifiers modifiers) {
    GetKeyboardState(saved_);
    BYTE state[256];
    GetKeyboardState(state);
    Press(state, VK_CONTROL, VK_LCONTROL, modifiers.ctrl);
    Press(state, VK_SHIFT, VK_LSHIFT, modifiers.shift);
    Press(state, VK_MENU, VK_LMENU, modifiers.alt);
    SetKeyboardState(state);
  }
  ~HeldModifiers() { SetKeyboardState(saved_); }

 private:
  static void Press(BYTE* state, int key, int left, bool down) { state[key] = state[left] = down ? 0x80 : 0; }
  BYTE saved_[256];
};

WPARAM MouseKeys(Modifiers modifiers) {
  return (modifiers.ctrl ? MK_CONTROL : 0) | (modifiers.shift ? MK_SHIFT : 0);
}

// A pop-up the plug-in opened over the page (the system makes the page
// window its owner, whatever child the plug-in named).
bool IsPopupOf(HWND plugin, HWND window) {
  HWND owner = GetWindow(GetAncestor(window, GA_ROOT), GW_OWNER);
  return owner && owner == GetAncestor(plugin, GA_ROOT);
}

HWND KeyTarget(HWND plugin) {
  HWND focus = GetFocus();
  if (focus && (focus == plugin || IsChild(plugin, focus) || IsPopupOf(plugin, focus))) return focus;
  RECT client;
  GetClientRect(plugin, &client);
  return WindowAt(plugin, POINT{client.right / 2, client.bottom / 2});
}

std::string IconOf(HWND box) {
  HWND iconControl = GetDlgItem(box, 0x0440);
  HICON icon = iconControl ? reinterpret_cast<HICON>(SendMessageW(iconControl, STM_GETICON, 0, 0)) : nullptr;
  if (!icon) return "none";
  const struct {
    LPCWSTR id;
    const char* name;
  } kIcons[] = {{IDI_HAND, "error"},
                {IDI_EXCLAMATION, "warning"},
                {IDI_ASTERISK, "information"},
                {IDI_QUESTION, "question"}};
  for (const auto& known : kIcons) {
    if (LoadIconW(nullptr, known.id) == icon) return known.name;
  }
  return "other";
}

std::wstring TextOf(HWND window) {
  wchar_t text[4096];
  text[0] = 0;
  if (window) GetWindowTextW(window, text, 4096);
  return text;
}

// The buttons a box may carry, with the names scenarios use for them.
const std::map<std::string, int>& Answers() {
  static const std::map<std::string, int> answers = {
      {"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},    {"no", IDNO},
      {"retry", IDRETRY}, {"ignore", IDIGNORE}, {"abort", IDABORT}};
  return answers;
}

std::string AnswerName(int id) {
  for (const auto& [name, value] : Answers()) {
    if (value == id) return name;
  }
  return std::to_string(id);
}

// A posted command ends the box's own modal loop; a sent one may not.
void PressButton(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

void CALLBACK RunWhileBoxOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::function<void()> work;
  work.swap(g_whileBoxOpen);
  HWND box = g_openBox;
  g_openBox = nullptr;
  if (work) work();
  if (IsWindow(box)) PressButton(box, g_openBoxButton);
}

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
  static std::set<HWND> answered;
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    wchar_t className[32];
    GetClassNameW(box, className, 32);
    if (std::wstring(className) == L"#32770" && GetDlgItem(box, 0xFFFF) && !answered.count(box)) {
      answered.insert(box);
      MessageBoxRecord record;
      record.text = ToUtf8(TextOf(GetDlgItem(box, 0xFFFF)));
      record.caption = ToUtf8(TextOf(box));
      record.icon = IconOf(box);
      int button = static_cast<int>(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)));
      auto chosen = Answers().find(g_answer);
      if (chosen != Answers().end()) button = chosen->second;
      if (button == 0) button = IDOK;
      record.answer = AnswerName(button);
      if (g_onBox) g_onBox(record);
      if (g_whileBoxOpen) {
        // A timer of the thread fires inside the box's modal loop.
        g_openBox = box;
        g_openBoxButton = button;
        SetTimer(nullptr, 0, 0, RunWhileBoxOpen);
      } else {
        PressButton(box, button);
      }
    }
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void PutLe(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

HWND CreatePageWindow(int width, int height) {
  RegisterClasses();
  RECT frame = {0, 0, width, height};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRect(&frame, style, FALSE);
  HWND page = CreateWindowExW(0, kPageClass, L"nphost", style, 0, 0, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (page) {
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
  }
  return page;
}

HWND CreatePluginWindow(HWND page, int x, int y, int width, int height) {
  return CreateWindowExW(0, kPluginClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x,
                         y, width, height, page, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Pump(int milliseconds) {
  const DWORD start = GetTickCount();
  DWORD lastMessage = start;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      lastMessage = GetTickCount();
    }
    const DWORD now = GetTickCount();
    if (now - start >= static_cast<DWORD>(milliseconds) && now - lastMessage >= 50) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

HWND WindowAt(HWND plugin, POINT point) {
  HWND window = plugin;
  for (;;) {
    HWND child = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == window) return window;
    MapWindowPoints(window, child, &point, 1);
    window = child;
  }
}

int SendKey(HWND plugin, const std::string& key, Modifiers modifiers) {
  const int vk = VirtualKey(key);
  if (!vk) return 0;
  HWND target = KeyTarget(plugin);
  HeldModifiers held(modifiers);
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  const UINT down = modifiers.alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const UINT up = modifiers.alt ? WM_SYSKEYUP : WM_KEYUP;
  SendMessageW(target, down, vk, 1 | (scan << 16));
  Pump(0);
  SendMessageW(target, up, vk, 1 | (scan << 16) | (3u << 30));
  Pump(0);
  // Windows turns the menu key into WM_CONTEXTMENU at (-1, -1) for the window
  // with the focus; Wine's default handling does not, so the browser does.
  if (vk == VK_APPS)
    SendMessageW(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(-1, -1));
  Pump(0);
  return 1;
}

void SendMouse(HWND plugin, POINT point, const std::string& button, const std::string& action,
               Modifiers modifiers) {
  HWND target = WindowAt(plugin, point);
  POINT local = point;
  MapWindowPoints(plugin, target, &local, 1);
  const LPARAM at = MAKELPARAM(local.x, local.y);
  HeldModifiers held(modifiers);
  UINT downMessage = WM_LBUTTONDOWN, upMessage = WM_LBUTTONUP, doubleMessage = WM_LBUTTONDBLCLK;
  WPARAM buttonKey = MK_LBUTTON;
  if (button == "right") {
    downMessage = WM_RBUTTONDOWN, upMessage = WM_RBUTTONUP, doubleMessage = WM_RBUTTONDBLCLK;
    buttonKey = MK_RBUTTON;
  } else if (button == "middle") {
    downMessage = WM_MBUTTONDOWN, upMessage = WM_MBUTTONUP, doubleMessage = WM_MBUTTONDBLCLK;
    buttonKey = MK_MBUTTON;
  }
  const WPARAM keys = MouseKeys(modifiers);
  SendMessageW(target, WM_MOUSEMOVE, keys | (action == "up" ? buttonKey : 0), at);
  if (action == "down" || action == "click" || action == "double") {
    SendMessageW(target, downMessage, keys | buttonKey, at);
  }
  if (action == "double") SendMessageW(target, doubleMessage, keys | buttonKey, at);
  if (action == "up" || action == "click" || action == "double") SendMessageW(target, upMessage, keys, at);
  Pump(0);
}

void SendWheel(HWND plugin, POINT point, int notches, Modifiers modifiers) {
  HWND target = KeyTarget(plugin);
  POINT screen = point;
  ClientToScreen(plugin, &screen);
  HeldModifiers held(modifiers);
  SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(modifiers), notches * WHEEL_DELTA),
               MAKELPARAM(screen.x, screen.y));
  Pump(0);
}

int WriteBitmapSection(const std::wstring& file, const BITMAPINFO& info, const void* bits) {
  const uint32_t stride = (static_cast<uint32_t>(info.bmiHeader.biWidth) * 3 + 3) & ~3u;
  const uint32_t imageBytes = stride * static_cast<uint32_t>(std::abs(info.bmiHeader.biHeight));
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(&out, 54 + imageBytes, 4);
  PutLe(&out, 0, 4);
  PutLe(&out, 54, 4);
  out.insert(out.end(), reinterpret_cast<const uint8_t*>(&info.bmiHeader),
             reinterpret_cast<const uint8_t*>(&info.bmiHeader) + sizeof(BITMAPINFOHEADER));
  out.insert(out.end(), static_cast<const uint8_t*>(bits), static_cast<const uint8_t*>(bits) + imageBytes);
  FILE* f = _wfopen(file.c_str(), L"wb");
  int ok = f && std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (f) ok = std::fclose(f) == 0 && ok;
  return ok;
}

int CaptureClientArea(HWND window, const std::wstring& file, int* width, int* height, bool fromScreen) {
  RECT client;
  if (!window || !GetClientRect(window, &client)) return 0;
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return 0;
  // The pending messages (paints of what the plug-in invalidated among them)
  // are handled, nothing more: a region the plug-in forgot to invalidate
  // keeps its old pixels, as it would on the user's screen.
  Pump(0);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  // From the screen, the pop-ups over the window (a menu, a dialog) are in the picture too.
  POINT origin = {0, 0};
  if (fromScreen) ClientToScreen(window, &origin);
  HWND source = fromScreen ? nullptr : window;
  HDC screen = GetDC(source);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  int ok = 0;
  if (section) {
    HGDIOBJ old = SelectObject(memory, section);
    ok = BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) ok = WriteBitmapSection(file, info, bits);
  if (section) DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  *width = w;
  *height = h;
  return ok;
}

void RedrawAll(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(0);
}

HWND FindDescendant(HWND parent, const std::wstring& className) {
  struct Search {
    const std::wstring* name;
    HWND found;
  } search = {&className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[256];
        GetClassNameW(window, name, 256);
        if (*s->name == name) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindPopup(HWND plugin, const std::wstring& className) {
  struct Search {
    HWND plugin;
    const std::wstring* name;
    HWND found;
  } search = {plugin, &className, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[256];
        GetClassNameW(window, name, 256);
        if (*s->name == name && IsPopupOf(s->plugin, window)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void WatchMessageBoxes(std::function<void(const MessageBoxRecord&)> onBox) {
  g_onBox = std::move(onBox);
  if (!g_hook) g_hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
}

void SetMessageBoxAnswer(const std::string& answer) { g_answer = answer; }

void WhileNextMessageBoxIsOpen(std::function<void()> work) { g_whileBoxOpen = std::move(work); }

void DestroyPluginWindow(HWND plugin, WindowRemains* remains) {
  *remains = WindowRemains{};
  g_remains = remains;
  DestroyWindow(plugin);
  g_remains = nullptr;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

namespace {

ScrollFacts ScrollOf(HWND window, int bar, LONG_PTR style) {
  ScrollFacts facts;
  facts.shown = (style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (GetScrollInfo(window, bar, &info)) {
    facts.position = info.nPos;
    facts.maximum = info.nMax;
    facts.page = static_cast<int>(info.nPage);
  }
  return facts;
}

}  // namespace

void InspectWindow(HWND window, WindowFacts* facts) {
  *facts = WindowFacts();
  facts->text = TextOf(window);
  facts->visible = IsWindowVisible(window) != 0;
  RECT client{};
  GetClientRect(window, &client);
  facts->width = client.right;
  facts->height = client.bottom;
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  facts->horizontal = ScrollOf(window, SB_HORZ, style);
  facts->vertical = ScrollOf(window, SB_VERT, style);
}
