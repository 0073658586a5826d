// A packed bitmap block (header, colour table, rows) as a Windows .bmp file.
#pragma once

#include <cstdint>
#include <string>

#include "common/message_log.h"
#include "raster/page_bitmap.h"

constexpr uint32_t kBmpFileHeaderSize = 14;

// The 14-byte file header that goes in front of `blockSize` bytes of a packed
// bitmap whose header and colour table take `headerSize` bytes.
void MakeBmpFileHeader(uint8_t out[kBmpFileHeaderSize], uint64_t blockSize, uint64_t headerSize);

// Writes the file header and the block unchanged. Non-zero on success; the
// failure "Could not save file ‘%s’" goes into `log`.
int WriteBmpFile(const PageBitmap* bitmap, const std::u16string& name, MessageLog* log);
