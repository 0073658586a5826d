#include "installer/install_options.h"

#include <array>
#include <vector>

#include "common/decimal_text.h"
#include "common/text_format.h"
#include "platform/platform.h"

namespace {

enum class OptionKind { kInteger, kText };

struct OptionRow {
  const char16_t* key;
  OptionKind kind;
  int32_t InstallerOptions::*integer;
};

// clang-format off
constexpr std::array<OptionRow, 7> kOptionRows = {{
    {u"showconfig",   OptionKind::kInteger, &InstallerOptions::showConfig},
    {u"showerrors",   OptionKind::kInteger, &InstallerOptions::showErrors},
    {u"showresult",   OptionKind::kInteger, &InstallerOptions::showResult},
    {u"access",       OptionKind::kInteger, &InstallerOptions::access},
    {u"mousemode",    OptionKind::kInteger, &InstallerOptions::mouseMode},
    {u"allowscript",  OptionKind::kInteger, &InstallerOptions::allowScript},
    {u"toolbaritems", OptionKind::kText,    nullptr},
}};
// clang-format on

std::u16string WidenAscii(std::string_view text) {
  std::u16string wide;
  for (char c : text) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return wide;
}

}  // namespace

void ApplyOptionLine(InstallerOptions* options, std::string_view line) {
  if (line.empty() || line[0] == ';') return;
  size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals > kOptionsKeyLimit) return;
  std::u16string key = WidenAscii(line.substr(0, equals));
  std::string_view value = line.substr(equals + 1);
  for (const OptionRow& row : kOptionRows) {
    if (!EqualsNoCase(key, row.key)) continue;
    if (row.kind == OptionKind::kInteger) {
      options->*row.integer = ReadDecimal(WidenAscii(value).c_str());
    } else {
      std::u16string text = FromSystemCodePage(std::string(value));
      if (text.size() > kToolbarItemsLimit) text.resize(kToolbarItemsLimit);
      options->toolbarItems = text;
    }
    return;
  }
}

void OptionsTextReader::Feed(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\n') {
      EndLine();
      continue;
    }
    if (cut_) continue;
    if (c == '\0') {
      cut_ = true;
      continue;
    }
    line_.push_back(c);
    if (line_.size() >= kOptionsLineLimit) cut_ = true;
  }
}

void OptionsTextReader::Finish() {
  if (!line_.empty()) EndLine();
}

void OptionsTextReader::EndLine() {
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  ApplyOptionLine(options_, line_);
  line_.clear();
  cut_ = false;
}

int ReadOptionsFile(InstallerOptions* options, const std::u16string& name) {
  FileHandle file = OpenFileForReading(name);
  if (!file) return 0;
  OptionsTextReader reader(options);
  std::vector<char> block(65536);
  int64_t got = 0;
  while ((got = ReadFromFile(file, block.data(), static_cast<uint32_t>(block.size()))) > 0) {
    reader.Feed(std::string_view(block.data(), static_cast<size_t>(got)));
  }
  reader.Finish();
  CloseFile(file);
  return got == 0;
}

void ApplyCommandLine(InstallerOptions* options, std::u16string_view commandLine) {
  size_t start = 0;
  while (start <= commandLine.size()) {
    size_t end = commandLine.find(u' ', start);
    if (end == std::u16string_view::npos) end = commandLine.size();
    std::u16string_view word = commandLine.substr(start, end - start);
    if (EqualsNoCase(word, u"/cond")) options->conditional = 1;
    if (EqualsNoCase(word, u"/s")) {
      options->silent = 1;
      options->showConfig = options->showErrors = options->showResult = 0;
    }
    start = end + 1;
  }
}
