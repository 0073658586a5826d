// Message boxes, allocation that reports its failure, and temporary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/message_log.h"

constexpr uint32_t kIconError = 0x10;
constexpr uint32_t kIconWarning = 0x30;

// Tests (and hosts without a screen) may take over the message boxes.
using MessageBoxHook = int (*)(void* owner, const std::u16string& text, const std::u16string& caption,
                               uint32_t flags);
void SetMessageBoxHook(MessageBoxHook hook);

// Formats into 2048 characters and shows it with the caption "Mervane" owned by
// `owner`; flags 0 mean the warning icon.
int ShowMessage(void* owner, uint32_t flags, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Null with "Out of memory (failed to allocate %u bytes)" in `log` on failure.
void* AllocateOrReport(MessageLog* log, size_t size);
void* AllocateZeroedOrReport(MessageLog* log, size_t size);

// Creates an empty uniquely named file "mrv....tmp" in the temporary folder.
// Failures are shown in a message box with the error icon; the name is then
// empty and 0 is returned.
int CreateTempFile(void* owner, std::u16string* name);
