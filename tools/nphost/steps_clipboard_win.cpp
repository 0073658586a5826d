// The `clipboard` step: what the plug-in put on the clipboard, read back as
// the next program would: the text, and the device-independent bitmap
// written out as a BMP file.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

void Browser::Clipboard(const Step& step) {
  Pump(0);
  if (!OpenClipboard(nullptr)) return Fail(step, "the clipboard cannot be opened");
  Fields fields;
  std::string text = "none";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data));
    text = wide ? ToUtf8(wide) : "";
    GlobalUnlock(data);
  }
  fields.push_back({"text", Quoted(text)});
  long long bits = 0;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* block = static_cast<const uint8_t*>(GlobalLock(data));
    const size_t size = GlobalSize(data);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block);
    bits = header->biBitCount;
    if (step.Has("file")) {
      // The file header a BMP file puts before the same block.
      const uint32_t entries = header->biClrUsed ? header->biClrUsed : (bits <= 8 ? 1u << bits : 0u);
      const uint32_t offset = 14 + header->biSize + 4 * entries;
      std::vector<uint8_t> out = {'B', 'M'};
      for (uint32_t value : {static_cast<uint32_t>(size + 14), 0u, offset})
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
      out.insert(out.end(), block, block + size);
      FILE* f = _wfopen(NativePath(step.Get("file"), folder_).c_str(), L"wb");
      if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size()) Fail(step, "cannot write the file");
      if (f) std::fclose(f);
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  fields.push_back({"bits", Number(bits)});
  Observe("clipboard", fields);
}
