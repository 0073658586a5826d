// Whether an address that the hosting page supplies may be opened.
#pragma once

#include <cstdint>

#include "common/message_log.h"

enum LocalAccess : int32_t { kLocalAccessNone = 0, kLocalAccessTiffOnly = 1, kLocalAccessAll = 2 };

// Script addresses are always refused; local paths and file: addresses only
// when the setting allows them. The address is judged as a browser reads it:
// without surrounding controls and spaces, without tabs and line breaks, and
// with its file name ending before any query or fragment. A refusal is logged and answers 0. The viewer
// instance calls this with its `localaccess` setting and its document log.
int CheckLocalAccess(int32_t localAccess, MessageLog* log, const char16_t* address);
