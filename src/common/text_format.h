// Bounded formatting and UTF-8/UTF-16 conversions into fixed arrays.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t kResultInvalidArgument = 0x80070057;
constexpr uint32_t kResultInsufficientBuffer = 0x8007007A;

// Formats a narrow UTF-8 format into `size` UTF-16 characters: at most size-1
// are written and the result is always terminated. Returns 0, or
// kResultInsufficientBuffer when cut, or kResultInvalidArgument for a size of 0
// or above 0x7FFFFFFF (nothing is written then).
uint32_t FormatBounded(char16_t* dest, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
uint32_t FormatBoundedV(char16_t* dest, size_t size, const char* format, va_list args);
// The same formatting without a bound, for texts that are cut later as a whole.
std::u16string FormatTextV(const char* format, va_list args);
// The byte variant: sizes below 2 or above 0xFFFFFFFF are refused.
uint32_t FormatBoundedBytes(char* dest, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Bounded copy into a fixed array with the formatting rules above.
uint32_t CopyBounded(char16_t* dest, size_t size, std::u16string_view text);
size_t Utf16Length(const char16_t* text);
// ASCII-only case folding, as the viewer compares addresses, tags and words.
char16_t AsciiLower(char16_t c);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);
bool EqualsNoCase(std::u16string_view text, std::u16string_view other);
bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix);
