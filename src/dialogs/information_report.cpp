#include "dialogs/information_report.h"

#include <cstdarg>

#include "common/text_format.h"
#include "controls/home_page.h"
#include "document/code_names.h"
#include "update/version_check.h"
#include "viewer/library.h"
#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"

namespace {

constexpr char kVersion[] = "2.0.8";
constexpr char kBuildDate[] = "May 22 2015";
constexpr size_t kAddressShown = 300;

// Appends printf-style text; the arguments are UTF-8.
void Add(std::u16string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Add(std::u16string* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out->append(FormatTextV(format, args));
  va_end(args);
}

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

const char* HostKindWord(int32_t kind) { return kind == 2 ? "ActiveX control" : "Netscape-style plug-in"; }

void AddHeader(std::u16string* out) {
  Add(out, "------ Mervane TIFF Image Viewer ------\r\n");
  Add(out, "Version %s (%d-bit %s) \u2013 %s\r\n", kVersion, static_cast<int>(sizeof(void*) * 8),
      HostKindWord(Library().kind), kBuildDate);
  Add(out, "Copyright \u00a9 2015 KOB. All rights reserved.\r\n%s\r\n", Utf8(kMakerHomePage).c_str());
}

void AddFile(std::u16string* out, const ViewerInstance* viewer) {
  const DownloadState& download = viewer->download;
  if (download.loadState == kLoadIdle) return;
  const bool hideAddresses = IsRestricted(viewer, kRestrictCopyLink);
  Add(out, "\r\n------ Current TIFF File ------\r\n");
  if (!hideAddresses) {
    const std::u16string_view url = TextOf(&download.documentUrl);
    if (url.empty()) {
      Add(out, "URL:\tN/A\r\n");
    } else if (url.size() >= kAddressShown) {
      Add(out, "URL:\t%s...\r\n", Utf8(url.substr(0, kAddressShown)).c_str());
    } else {
      Add(out, "URL:\t%s\r\n", Utf8(url).c_str());
    }
  }
  if (download.loadState != kLoadDone) return;
  const Document& document = download.document;
  if (!hideAddresses) {
    const std::string where = document.sourceKind == kSourceMemory ? "(in memory)" : Utf8(document.fileName);
    Add(out, "Local file:\t%s\r\n", where.c_str());
  }
  Add(out, "Size:\t%u bytes\r\n", document.size);
  if (download.hasPages) Add(out, "Number of pages:\t%d\r\n", document.pageCount);
}

void AddDensity(std::u16string* out, const PageInfo& page) {
  if (!(page.xResolution > 0) || !page.resolutionValid) {
    Add(out, "Pixel density:\tUnknown\r\n");
    return;
  }
  struct Unit {
    const char* density;
    const char* length;
  };
  static const Unit kUnits[] = {{"(unitless)", nullptr}, {"pixels/inch", "inches"}, {"pixels/cm", "cm"}};
  const Unit& unit = kUnits[page.resolutionUnit == 2 ? 1 : page.resolutionUnit == 3 ? 2 : 0];
  Add(out, "Pixel density:\t%.1f \u00d7 %.1f %s\r\n", page.xResolution, page.yResolution, unit.density);
  if (unit.length && page.yResolution > 0) {
    Add(out, "Image size:\t%.2f \u00d7 %.2f %s\r\n", page.width / page.xResolution,
        page.height / page.yResolution, unit.length);
  }
}

void AddPage(std::u16string* out, const ViewerInstance* viewer) {
  const PageInfo& page = viewer->view.pageInfo;
  if (!viewer->download.hasPages || !page.valid) return;
  Add(out, "\r\n------ Current Page ------\r\n");
  Add(out, "Page number:\t%d of %d\r\n", viewer->download.currentPage + 1,
      viewer->download.document.pageCount);
  Add(out, "Dimensions:\t%u \u00d7 %u pixels", page.width, page.height);
  const ViewArea& view = viewer->view;
  if (HasValidPage(viewer) && (static_cast<uint32_t>(view.correctedWidth) != page.width ||
                               static_cast<uint32_t>(view.correctedHeight) != page.height)) {
    Add(out, " (adjusted to %d \u00d7 %d)", view.correctedWidth, view.correctedHeight);
  }
  Add(out, "\r\n");
  AddDensity(out, page);
  Add(out, "Color type:\t%s\r\n", Utf8(PhotometricName(page.photometric, page.bitsPerPixel)).c_str());
  Add(out, "Bits/pixel:\t%d\r\n", page.bitsPerPixel);
  Add(out, "Compression:\t%s\r\n", Utf8(CompressionName(page.compression)).c_str());
  if (page.software.length > 0) Add(out, "Created with:\t%s\r\n", Utf8(TextOf(&page.software)).c_str());
}

const char* PlatformName(int32_t platform) {
  static const char* const kNames[] = {"Win32s", "Windows", "Windows NT"};
  return platform >= 0 && platform <= 2 ? kNames[platform] : nullptr;
}

void AddEnvironment(std::u16string* out, const ViewerInstance* viewer, const EnvironmentFacts& env) {
  const LibraryValues& library = Library();
  Add(out, "\r\n------ Environment ------\r\n");
  if (library.lastChecked == 0) {
    Add(out, "Last update check:\tNever\r\n");
  } else {
    Add(out, "Last update check:\t%.1f days ago\r\n", DaysBetween(env.nowHigh, library.lastChecked));
  }
  if (library.lastAttempt > library.lastChecked)
    Add(out, "Last update attempt:\t%.1f days ago\r\n", DaysBetween(env.nowHigh, library.lastAttempt));
  Add(out, "Web browser:\t%s\r\n", Utf8(env.userAgent).c_str());
  if (library.kind == kLibraryPlugin)
    Add(out, "Plug-in API version:\t%d.%d\r\n", library.browserMajorVersion, library.browserMinorVersion);
  if (const char* name = PlatformName(env.platform)) {
    Add(out, "Operating system:\t%s", name);
  } else {
    Add(out, "Operating system:\tUnknown [%d]", env.platform);
  }
  Add(out, ", version %d.%d.%d %s\r\n", env.major, env.minor, env.build, Utf8(env.servicePack).c_str());
  Add(out, "Protected Mode:\t%s\r\n", env.protectedMode < 0 ? "N/A" : env.protectedMode ? "On" : "Off");
  Add(out, "Location:\t%s\r\n", Utf8(env.location).c_str());
  if (viewer->params.href.length > 0 && !IsRestricted(viewer, kRestrictCopyLink))
    Add(out, "Link to:\t%s\r\n", Utf8(TextOf(&viewer->params.href)).c_str());
}

void AddCredits(std::u16string* out, const EnvironmentFacts& env) {
  const size_t limit = kReportMaximum - 10;
  Add(out, "\r\n------\r\n");
  std::u16string notice;
  Add(&notice, "Contains code from %s\n", Utf8(env.tiffVersion).c_str());
  out->append(TidyNotice(notice, limit));
  Add(out, "\r\n");
  notice.clear();
  Add(&notice,
      "This software is based in part on the work of the\r\nIndependent JPEG Group. (libjpeg version %s)\r\n"
      "%s\r\n",
      Utf8(env.jpegVersion).c_str(), Utf8(env.jpegNotice).c_str());
  out->append(TidyNotice(notice, limit));
  Add(out, "\r\n");
  notice.clear();
  Add(&notice, "Contains code from zlib %s\r\n%s", Utf8(env.zlibVersion).c_str(),
      Utf8(env.zlibNotice).c_str());
  out->append(TidyNotice(notice, limit));
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::u16string TidyNotice(std::u16string_view notice, size_t limit) {
  std::u16string tidy;
  for (size_t i = 0; i < notice.size() && tidy.size() < limit; ++i) {
    const char16_t c = notice[i];
    if (c == u'\n' && (i == 0 || notice[i - 1] != u'\r')) {
      tidy += u"\r\n";
    } else if (c == u'-' && i >= 4 && IsDigit(notice[i - 1]) && IsDigit(notice[i - 2]) &&
               IsDigit(notice[i - 3]) && IsDigit(notice[i - 4])) {
      tidy += u'\u2013';
    } else if (c == u'(' && i + 2 < notice.size() && (notice[i + 1] == u'c' || notice[i + 1] == u'C') &&
               notice[i + 2] == u')') {
      tidy += u'\u00a9';
      i += 2;
    } else {
      tidy += c;
    }
  }
  if (tidy.size() > limit) tidy.resize(limit);
  return tidy;
}

std::u16string InformationReport(const ViewerInstance* viewer, const EnvironmentFacts& environment) {
  std::u16string report;
  AddHeader(&report);
  AddFile(&report, viewer);
  AddPage(&report, viewer);
  AddEnvironment(&report, viewer, environment);
  AddCredits(&report, environment);
  if (report.size() > kReportMaximum) {
    report.resize(kReportMaximum);
    // Never end on half of a surrogate pair.
    if (report.back() >= 0xD800 && report.back() <= 0xDBFF) report.pop_back();
  }
  return report;
}

std::u16string ErrorLogText(const ViewerInstance* viewer) {
  const TextBuffer& general = viewer->logs.documentLog.text;
  const TextBuffer& page = viewer->logs.pageLog.text;
  std::u16string text = TextOf(&general);
  if (general.length > 0) text += u"\r\n";
  if (page.length > 0) text += TextOf(&page);
  return text;
}
