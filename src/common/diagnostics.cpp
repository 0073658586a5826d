#include "common/diagnostics.h"

#include <cstdarg>
#include <cstdlib>

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

MessageBoxHook g_messageBoxHook = nullptr;

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { g_messageBoxHook = hook; }

int ShowMessage(void* owner, uint32_t flags, const char* format, ...) {
  char16_t text[2048];
  va_list args;
  va_start(args, format);
  FormatBoundedV(text, 2048, format, args);
  va_end(args);
  if (flags == 0) flags = kIconWarning;
  if (g_messageBoxHook) return g_messageBoxHook(owner, text, u"Mervane", flags);
  return PlatformMessageBox(owner, text, u"Mervane", flags);
}

static void* Report(MessageLog* log, void* block, size_t size) {
  if (!block && log) {
    LogError(log, "Out of memory (failed to allocate %u bytes)", static_cast<unsigned>(size & 0xFFFFFFFFu));
  }
  return block;
}

void* AllocateOrReport(MessageLog* log, size_t size) { return Report(log, malloc(size ? size : 1), size); }

void* AllocateZeroedOrReport(MessageLog* log, size_t size) {
  return Report(log, calloc(size ? size : 1, 1), size);
}

int CreateTempFile(void* owner, std::u16string* name) {
  name->clear();
  std::u16string folder = TempFolder();
  if (folder.empty()) {
    ShowMessage(owner, kIconError, "Failed to find a temporary folder (error=%u)", LastSystemError());
    return 0;
  }
  *name = CreateUniqueTempFile(folder, u"mrv");
  if (name->empty()) {
    ShowMessage(owner, kIconError, "Failed to create a temporary file (error=%u, temp folder=%s)",
                LastSystemError(), Utf16ToUtf8(folder).c_str());
    return 0;
  }
  return 1;
}
