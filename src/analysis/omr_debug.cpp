#include "analysis/omr_debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int OmrDebugRequested() {
  std::u16string value;
  return EnvironmentValue(u"MERVANE_OMR_DEBUG", &value) && value.size() < 10 && !value.empty() &&
         value[0] == u'1';
}

std::u16string OmrDebugFilePath() {
#ifdef _WIN32
  return u"c:\\mvtf.txt";
#else
  std::u16string folder = TempFolder();
  return folder.empty() ? folder : folder + u"mvtf.txt";
#endif
}

void OpenOmrDebug(OmrDebugFile* debug) {
  std::u16string path = OmrDebugFilePath();
  debug->file = path.empty() ? nullptr : OpenFileForAppending(path);
}

void OmrDebugPrint(OmrDebugFile* debug, const char* format, ...) {
  if (!debug || !debug->file) return;
  char line[512];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  size_t length = static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1;
  WriteToFile(debug->file, line, static_cast<uint32_t>(length));
}

void CloseOmrDebug(OmrDebugFile* debug) {
  if (debug->file) CloseFile(debug->file);
  debug->file = nullptr;
}
