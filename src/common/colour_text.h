// Colours as "#rrggbb" text; a colour value keeps red in its low byte.
#pragma once

#include <cstdint>
#include <string>

std::u16string FormatColour(uint32_t colour);
// Exactly seven characters, "#" and three hexadecimal pairs of either case.
int ParseColour(const char16_t* text, uint32_t* colour);
