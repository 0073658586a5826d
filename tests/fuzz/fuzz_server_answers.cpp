// What servers send back: the update server's answer, read from the bytes the
// version check received, and an upload's reply headers as WinInet hands them
// over (NUL-separated UTF-16 lines). The first byte chooses which.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "output/upload_request.h"
#include "update/version_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  ++data;
  --size;
  if (choice & 1) {
    std::vector<char16_t> raw(size / sizeof(char16_t));
    if (!raw.empty()) std::memcpy(raw.data(), data, raw.size() * sizeof(char16_t));
    for (const auto& [name, value] : UploadHeaderLines(raw.data(), raw.size())) {
      // Lines end at their NUL, so none is kept in a name or a value.
      if (name.find(u'\0') != std::u16string::npos || value.find(u'\0') != std::u16string::npos) std::abort();
    }
    return 0;
  }
  // The check's buffer holds at most its size and a terminating NUL.
  std::vector<char> buffer(kVersionBufferBytes + 1, 0);
  const size_t received = size < kVersionBufferBytes ? size : kVersionBufferBytes;
  std::memcpy(buffer.data(), data, received);
  const VersionAnswer answer = ReadVersionAnswer(buffer.data(), received);
  if (answer.wellFormed && (answer.version == 0 || answer.page.empty())) std::abort();
  return 0;
}
