#include "plugin/np_error_name.h"

#include <iterator>

namespace {

constexpr const char* kErrorNames[] = {
    "No error",
    "Generic error",
    "Invalid instance",
    "Invalid function table",
    "Module load failed",
    "Out of memory",
    "Invalid plugin",
    "Invalid plugin dir",
    "Incompatible version",
    "Invalid param",
    "Invalid URL",
    "File not found",
    "No data",
    "Stream not seekable",
};

}  // namespace

const char* NpErrorName(int32_t code) {
  const int16_t value = static_cast<int16_t>(code);
  if (value < 0 || value >= static_cast<int16_t>(std::size(kErrorNames))) return "Unrecognized error code";
  return kErrorNames[value];
}
