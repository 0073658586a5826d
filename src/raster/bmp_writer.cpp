#include "raster/bmp_writer.h"

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

void Put(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Writes in pieces below 4 GiB, the largest count one platform call takes.
int WriteAll(FileHandle file, const uint8_t* bytes, uint64_t count) {
  while (count > 0) {
    uint32_t piece = count > 0x40000000 ? 0x40000000 : static_cast<uint32_t>(count);
    if (WriteToFile(file, bytes, piece) != piece) return 0;
    bytes += piece;
    count -= piece;
  }
  return 1;
}

}  // namespace

void MakeBmpFileHeader(uint8_t out[kBmpFileHeaderSize], uint64_t blockSize, uint64_t headerSize) {
  out[0] = 'B';
  out[1] = 'M';
  Put(out + 2, static_cast<uint32_t>(blockSize + kBmpFileHeaderSize), 4);
  Put(out + 6, 0, 4);
  Put(out + 10, static_cast<uint32_t>(headerSize + kBmpFileHeaderSize), 4);
}

int WriteBmpFile(const PageBitmap* bitmap, const std::u16string& name, MessageLog* log) {
  if (!bitmap->block) return 0;
  uint8_t fileHeader[kBmpFileHeaderSize];
  MakeBmpFileHeader(fileHeader, bitmap->blockSize, static_cast<uint64_t>(bitmap->pixels - bitmap->block));
  FileHandle file = CreateFileForWriting(name);
  int written = file && WriteAll(file, fileHeader, sizeof fileHeader) &&
                WriteAll(file, bitmap->block, bitmap->blockSize);
  if (file && !CloseFile(file)) written = 0;
  if (!written) LogError(log, "Could not save file \u2018%s\u2019", Utf16ToUtf8(name).c_str());
  return written;
}
