// One JSON object per line, for nphost's observations.
#pragma once

#include <string>

std::string JsonString(const std::string& text);

// Builds {"key":value,...} in insertion order.
class JsonLine {
 public:
  JsonLine& Text(const char* key, const std::string& value);
  JsonLine& Number(const char* key, long long value);
  JsonLine& Bool(const char* key, bool value);
  // An already formatted JSON value (array, object, number).
  JsonLine& Raw(const char* key, const std::string& json);
  std::string str() const { return body_ + "}"; }

 private:
  void Key(const char* key);
  std::string body_ = "{";
};
