// What the administrator can preset for the installer: built-in defaults, then
// "options.txt" from the folder it starts in, then the command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct InstallerOptions {
  int32_t showConfig = 1;  // <= 0: the setup dialog confirms itself
  int32_t showErrors = 2;  // > 0: folder and copy failures are shown
  int32_t showResult = 2;  // > 0: failure message; > 1: success message too
  int32_t access = -1;     // >= 0: written as the viewer setting of that name
  int32_t mouseMode = -1;
  int32_t allowScript = -1;
  std::u16string toolbarItems;  // non-empty: written as the viewer setting
  int conditional = 0;          // "/cond": only when not yet installed
  int silent = 0;               // "/s"
};

constexpr size_t kOptionsLineLimit = 99;
constexpr size_t kOptionsKeyLimit = 100;
constexpr size_t kToolbarItemsLimit = 199;

// Reads "options.txt" in pieces as they come from the file: one "key=value"
// per line, ";" starts a comment, lines without "=" are ignored. A line is
// read up to its 99th character; the rest of an overlong line is dropped
// rather than read as a line of its own, so the tail of a long value can
// never pose as a setting. A NUL byte ends the line's text.
class OptionsTextReader {
 public:
  explicit OptionsTextReader(InstallerOptions* options) : options_(options) {}
  void Feed(std::string_view bytes);
  // Handles a last line without a line end.
  void Finish();

 private:
  void EndLine();

  InstallerOptions* options_;
  std::string line_;
  bool cut_ = false;  // the line reached its limit or a NUL: skip to its end
};

// Applies one line's key and value (without the line end).
void ApplyOptionLine(InstallerOptions* options, std::string_view line);
// Reads the file; a missing or unreadable file leaves the options as they are.
// Non-zero when the file was read.
int ReadOptionsFile(InstallerOptions* options, const std::u16string& name);
// Words separated by blanks, compared without regard to case: "/cond" and "/s".
void ApplyCommandLine(InstallerOptions* options, std::u16string_view commandLine);
