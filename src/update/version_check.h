// The version check's own rules, apart from the sockets that carry it: when a
// check is due, the request it sends and what the update server's answer says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// This build, 2.0.8.1, as major × 1,000,000 + minor × 10,000 + release × 100 + build.
constexpr uint32_t kThisBuild = 2000801;
constexpr size_t kVersionBufferBytes = 4096;  // the request and the answer, each

// Days between two system times given as the upper halves of FILETIMEs.
double DaysBetween(uint32_t laterHigh, uint32_t earlierHigh);

// Whether both periods have run out: `interval` days since the last check and
// `retry` days since the last attempt. Times are the upper halves of FILETIMEs;
// 0 means never.
int IsCheckDue(uint32_t now, uint32_t interval, uint32_t retry, uint32_t lastChecked, uint32_t lastAttempt);

// "GET resource HTTP/1.0" with the viewer's user agent, at most kVersionBufferBytes.
std::string VersionRequest(const std::u16string& resource);

struct VersionAnswer {
  int wellFormed = 0;  // a version other than 0 and a page were given
  uint32_t version = 0;
  std::u16string page;
  std::u16string window = u"_self";
};
// Reads the directives of the answer's body ("!V", "!P", "!W" lines after
// the first blank line) from at most kVersionBufferBytes received bytes.
VersionAnswer ReadVersionAnswer(const char* data, size_t received);
