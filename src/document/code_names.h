// Display names of TIFF codes: compression schemes and photometric interpretations.
#pragma once

#include <cstdint>
#include <string>

// Codes 0 and 1 name bilevel pages apart from grey ones by `bitsPerSample`.
std::u16string PhotometricName(int32_t photometric, int32_t bitsPerSample);

// Unknown codes read "Unknown (code)".
std::u16string CompressionName(int32_t code);
