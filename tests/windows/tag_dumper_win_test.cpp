// The structure dump's Rich Text in the rich-edit control the viewer shows it
// in: it must load through EM_STREAMIN and read back as the plain-text dump.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/text_format.h"
#include "dump_test_files.h"
#include "platform/wide_text_win.h"

namespace {

using dumptest::AddPage;
using dumptest::DumpBytes;
using dumptest::TiffBuilder;

struct StreamSource {
  const std::string* text;
  size_t taken;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  StreamSource* source = reinterpret_cast<StreamSource*>(cookie);
  size_t n = std::min(static_cast<size_t>(wanted), source->text->size() - source->taken);
  memcpy(buffer, source->text->data() + source->taken, n);
  source->taken += n;
  *got = static_cast<LONG>(n);
  return 0;
}

// A file with every kind of line: loop error, warnings, strings with escapes,
// rationals, totals, the page number and an Exif directory.
std::vector<uint8_t> SampleFile() {
  TiffBuilder b;
  b.UseOddOffsets();
  int page = AddPage(&b);
  int second = AddPage(&b);
  int exif = b.AddIfd();
  b.Link(page, second);
  b.Link(second, page);
  b.AddString(page, 270, "Scanned\tat {the} office \\ desk");
  b.AddString(page, 305, std::string(230, 's'));
  b.Add(page, 279, 4, {10, 20, 30});
  b.Add(page, 282, 5, {300, 1});
  b.Add(page, 297, 3, {2, 5});
  b.AddChildren(page, 34665, 4, {exif});
  b.Add(second, 257, 3, {1});
  b.Add(exif, 33434, 5, {1, 60});
  return b.Build();
}

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryW(L"RICHED32.DLL");
    ASSERT_NE(library_, nullptr) << "RICHED32.DLL did not load";
    window_ = CreateWindowExW(0, L"RichEdit", L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 600, 400,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr) << "no rich-edit control: an X display is needed (Xvfb)";
    SendMessageW(window_, EM_EXLIMITTEXT, 0, 0x100000);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
    if (library_) FreeLibrary(library_);
  }

  // Streams the Rich Text in and returns the control's text as UTF-8.
  std::string Load(const std::string& rich) {
    StreamSource source{&rich, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, StreamIn};
    SendMessageW(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    EXPECT_EQ(source.taken, rich.size());
    LRESULT length = SendMessageW(window_, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    SendMessageW(window_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    wide_ = FromWide(text.data());
    return Utf16ToUtf8(wide_);
  }

  COLORREF ColourAt(size_t position, size_t length) {
    SendMessageW(window_, EM_SETSEL, position, position + length);
    CHARFORMATW format{};
    format.cbSize = sizeof format;
    SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format.crTextColor;
  }

  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  std::u16string wide_;
};

std::string WithLineFeeds(std::string text) {
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

TEST_F(RichEditTest, RichTextLoadsAndReadsBackAsThePlainText) {
  std::vector<uint8_t> bytes = SampleFile();
  std::string plain = DumpBytes(bytes, kDumpPlainText);
  std::string shown = Load(DumpBytes(bytes, kDumpRichText));
  ASSERT_FALSE(plain.empty());
  EXPECT_NE(plain.find("Error: IFD loop or cross-link detected"), std::string::npos);
  // The control keeps no line break after the last paragraph.
  EXPECT_EQ(WithLineFeeds(shown) + "\n", plain);

  // Escaped bytes in the second colour, values in the first, errors in the third.
  size_t escape = wide_.find(u"\\09");
  ASSERT_NE(escape, std::u16string::npos);
  EXPECT_EQ(ColourAt(escape, 3), RGB(0, 128, 255));
  size_t value = wide_.find(u"Scanned");
  EXPECT_EQ(ColourAt(value, 7), RGB(0, 0, 192));
  size_t error = wide_.find(u"Error: IFD loop");
  EXPECT_EQ(ColourAt(error, 15), RGB(128, 0, 0));
}

TEST_F(RichEditTest, LargeDumpsArriveWhole) {
  TiffBuilder b;
  for (int k = 0; k < 12; ++k) {
    int ifd = b.AddIfd();
    for (int i = 0; i < 220; ++i) b.Add(ifd, static_cast<uint16_t>(300 + i), 3, {static_cast<uint64_t>(i)});
    if (k) b.Link(k - 1, ifd);
  }
  std::vector<uint8_t> bytes = b.Build();
  std::string plain = DumpBytes(bytes, kDumpPlainText);
  ASSERT_GT(plain.size(), 100000u);  // beyond the control's default limit of 32767 characters
  EXPECT_EQ(WithLineFeeds(Load(DumpBytes(bytes, kDumpRichText))) + "\n", plain);
}

}  // namespace
