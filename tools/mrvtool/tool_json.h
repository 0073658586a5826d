// One JSON object per run for the commands' --json output. The same key means
// the same thing in every command: "file" the file read, "page" a page from 1,
// "pages" a page count, "ink" an ink fraction, "barcodes" texts in reading
// order, "log" the log lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string JsonString(const std::string& text);
std::string JsonNumber(double value);
std::string JsonStrings(const std::vector<std::string>& texts);

// Keys in the order they were added.
class JsonObject {
 public:
  JsonObject& Raw(const char* key, const std::string& json);
  JsonObject& Text(const char* key, const std::string& text) { return Raw(key, JsonString(text)); }
  JsonObject& Integer(const char* key, int64_t value) { return Raw(key, std::to_string(value)); }
  JsonObject& Number(const char* key, double value) { return Raw(key, JsonNumber(value)); }
  std::string Json() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};
