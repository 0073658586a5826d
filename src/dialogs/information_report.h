// The texts of the information and error-log dialogs, built from the
// instance, the library's values and what the window side knows of the
// machine: plain UTF-16 with CR LF line ends and tab-separated labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ViewerInstance;

// What only the window side can ask the system and the browser.
struct EnvironmentFacts {
  uint32_t nowHigh = 0;  // the upper 32 bits of the current system FILETIME
  std::u16string userAgent;
  int32_t platform = 2;  // 0 Win32s, 1 Windows, 2 Windows NT
  int32_t major = 0;
  int32_t minor = 0;
  int32_t build = 0;
  std::u16string servicePack;
  int32_t protectedMode = 0;  // 1 on, 0 off, -1 not applicable
  std::u16string location;    // the library's own file
  // The linked libraries' own version and notice texts.
  std::u16string tiffVersion;
  std::u16string jpegVersion;
  std::u16string jpegNotice;
  std::u16string zlibVersion;
  std::u16string zlibNotice;
};

constexpr size_t kReportMaximum = 32767;  // characters, without the terminator

// The information dialog's report, at most kReportMaximum characters.
std::u16string InformationReport(const ViewerInstance* viewer, const EnvironmentFacts& environment);

// A library notice made to read well in the dialog: lone LFs become CR LF,
// a "-" right after four digits an en dash (year ranges), "(c)" and "(C)"
// the copyright sign; at most `limit` characters.
std::u16string TidyNotice(std::u16string_view notice, size_t limit);

// The error-log dialog's text: the general log, then the current page's.
std::u16string ErrorLogText(const ViewerInstance* viewer);
