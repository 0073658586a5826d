#include "update/version_check.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

constexpr double kHighUnitsPerDay = 201.165676;  // 86,400 s in 100 ns units, over 2^32

bool PeriodOver(uint32_t days, uint32_t since, uint32_t now) {
  return static_cast<double>(days) * kHighUnitsPerDay + static_cast<double>(since) -
             static_cast<double>(now) <
         0;
}

}  // namespace

double DaysBetween(uint32_t laterHigh, uint32_t earlierHigh) {
  return (static_cast<double>(laterHigh) - static_cast<double>(earlierHigh)) / kHighUnitsPerDay;
}

int IsCheckDue(uint32_t now, uint32_t interval, uint32_t retry, uint32_t lastChecked, uint32_t lastAttempt) {
  return PeriodOver(interval, lastChecked, now) && PeriodOver(retry, lastAttempt, now);
}

std::string VersionRequest(const std::u16string& resource) {
  std::string request =
      "GET " + ToSystemCodePage(resource) + " HTTP/1.0\r\nUser-Agent: Mervane/2.0.8 (Plug-in)\r\n\r\n";
  if (request.size() > kVersionBufferBytes) request.resize(kVersionBufferBytes);
  return request;
}

VersionAnswer ReadVersionAnswer(const char* data, size_t received) {
  VersionAnswer answer;
  const std::string_view text(data, std::min(received, kVersionBufferBytes));
  // The blank line that ends the headers must leave room for a body.
  const size_t blank =
      text.size() >= 9 ? text.substr(0, text.size() - 9 + 4).find("\r\n\r\n") : std::string_view::npos;
  if (blank == std::string_view::npos) return answer;
  std::string_view body = text.substr(blank + 4);
  while (!body.empty()) {
    const size_t end = std::min(body.find('\n'), body.size());
    std::string_view line = body.substr(0, end);
    body.remove_prefix(std::min(end + 1, body.size()));
    if (line.size() < 2 || line[0] != '!') continue;
    // The line's own carriage return would otherwise end up in the address.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string value(line.substr(std::min<size_t>(2, line.size())));
    switch (line[1]) {
      case 'V':
        answer.version = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        break;
      case 'P':
        answer.page = Utf8ToUtf16(value);
        break;
      case 'W':
        answer.window = Utf8ToUtf16(value);
        break;
      default:
        break;
    }
  }
  answer.wellFormed = answer.version != 0 && !answer.page.empty();
  return answer;
}
