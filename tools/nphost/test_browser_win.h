// The test browser's state and its steps. One object runs one scenario; the
// steps are split over files by kind.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/nphost/bitmap_file_win.h"
#include "tools/nphost/host_runtime.h"
#include "tools/nphost/host_window_win.h"
#include "tools/nphost/json_line.h"
#include "tools/nphost/scenario.h"
#include "tools/nphost/url_fetch_win.h"

// Fields of one observation: the name and its JSON value.
using Fields = std::vector<std::pair<std::string, std::string>>;

inline std::string Quoted(const std::string& text) { return JsonString(text); }

inline void AppendItem(std::string* list, const std::string& item, char separator) {
  if (!list->empty()) list->push_back(separator);
  list->append(item);
}

inline std::string Number(long long value) { return std::to_string(value); }

struct StreamOptions {
  std::string url;
  std::string mimeType = "image/tiff";
  FetchedDocument document;
  size_t block = 65536;
  std::string announce = "exact";
  long long deliver = -1;  // all
  std::string reason = "done";
  std::string midway;  // steps run after the first block
};

// The plug-in's temporary files go to a folder of this run only, so that a
// scenario can count them without seeing other programs' files.
class PrivateTempFolder {
 public:
  PrivateTempFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH) return;
    folder_ = std::wstring(base) + L"nphost-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    if (!CreateDirectoryW(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      folder_.clear();
      return;
    }
    SetEnvironmentVariableW(L"TMP", folder_.c_str());
    SetEnvironmentVariableW(L"TEMP", folder_.c_str());
  }
  ~PrivateTempFolder() {
    if (folder_.empty()) return;
    for (const std::wstring& name : Names(L"*")) DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::vector<std::wstring> Names(const std::wstring& pattern) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::wstring folder_;
};

// The second program of the `clipboard` step: nphost started with
// "--clipboard-helper" and these arguments (steps_clipboard_win.cpp).
int RunClipboardHelper(int argc, wchar_t** argv);

class Browser {
 public:
  int Run(const std::wstring& pluginPath, const std::wstring& scenarioPath,
          const std::map<std::string, std::string>& definitions);

  // The steps, one per verb of the scenario language (see README.md), by kind:
  // loading and calling the plug-in (steps_plugin_win.cpp), streams
  // (steps_stream_win.cpp), input and windows (steps_window_win.cpp), and
  // files, message boxes and expectations (steps_check_win.cpp).
  void Load(const Step& step);
  void DefineFunction(const Step& step);
  void EmbedStep(const Step& step) { Embed(step, NP_EMBED); }
  void FullPageStep(const Step& step) { Embed(step, NP_FULL); }
  void Stream(const Step& step);
  void CallPlugin(const Step& step);
  void Idle(const Step& step);
  void Input(const Step& step);
  void Capture(const Step& step);
  void Redraw(const Step& step);
  void Inspect(const Step& step);
  void Focus(const Step& step);
  void ComparePictures(const Step& step);
  void Pixel(const Step& step);
  void Files(const Step& step);
  void Answer(const Step& step);
  void DestroyStep(const Step&) { Destroy(); }
  void DestroyWindowFirst(const Step& step);
  void ShutdownStep(const Step&) { Shutdown(); }
  void Expect(const Step& step);
  // The script object (steps_script_win.cpp).
  void InvokeMethod(const Step& step);
  void ReleaseScriptObject(const Step& step);
  void Setting(const Step& step);      // steps_settings_win.cpp
  void TimePointer(const Step& step);  // steps_timing_win.cpp
  // Popup menus (steps_menu_win.cpp): `menu` arms the watch; each menu seen is recorded.
  void Menu(const Step& step);
  void RecordMenu(const Fields& fields);
  // Steps run while a watched menu or dialog is open, before it is closed.
  void RunWhileOpen(const std::string& steps, int line) { RunReaction(steps, line); }
  // Dialog boxes (steps_dialog_win.cpp), watched the same way.
  void Dialog(const Step& step);
  void Clipboard(const Step& step);  // steps_clipboard_win.cpp
  void SameBytes(const Step& step);
  void ReadText(const Step& step);
  void Registry(const Step& step);  // steps_settings_win.cpp
  // The plug-in's automatic version check stays off unless a scenario sets
  // `autoupdate` itself, so that no scenario asks an update server by chance.
  void KeepUpdateChecksOff(const std::vector<Step>& steps);
  void RecordDialog(const Fields& fields);

 private:
  void RunStep(const Step& step);
  void RunReaction(const std::string& text, int line);
  void Observe(const std::string& step, const Fields& fields);
  void Fail(const Step& step, const std::string& detail);

  void Embed(const Step& step, uint16_t mode);
  void DeliverStream(const StreamOptions& options, const char* stepName);
  void Destroy();
  void Shutdown();
  HWND Target(const Step& step) const;
  void DropScriptObject();
  NPError GetUrl(NPP npp, const char* url, const char* target);

  std::wstring folder_;
  PrivateTempFolder temp_;
  HMODULE library_ = nullptr;
  NP_ShutdownFunc shutdown_ = nullptr;
  NPPluginFuncs plugin_{};
  // Room for the entries late browsers add after the published table, so a
  // scenario can declare their larger size.
  struct {
    NPNetscapeFuncs funcs;
    void* laterEntries[3];
  } browserTable_{};
  NPNetscapeFuncs& browser_ = browserTable_.funcs;
  NPP_t npp_{};
  bool alive_ = false;
  HWND page_ = nullptr;
  HWND pluginWindow_ = nullptr;
  std::string source_;  // the element's src attribute
  std::deque<StreamOptions> pending_;
  std::vector<MessageBoxRecord> boxes_;
  size_t boxesChecked_ = 0;
  // Addresses the plug-in asked the browser to open, as url and target.
  std::vector<std::pair<std::string, std::string>> urls_;
  size_t urlsChecked_ = 0;
  std::vector<Fields> menus_;
  size_t menusChecked_ = 0;  // menus shown before the last `menu` step
  std::vector<Fields> dialogs_;
  size_t dialogsChecked_ = 0;
  size_t callsChecked_ = 0;
  std::map<std::string, std::string> last_;  // fields of the last observation, unquoted
  int expectations_ = 0;
  int failures_ = 0;
  int depth_ = 0;
  // The page's reference to the plug-in's script object, kept across steps
  // (and past the instance) until `release-object` or shutdown.
  NPObject* scriptObject_ = nullptr;
};
