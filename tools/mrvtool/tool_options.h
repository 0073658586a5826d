// One option table for every mrvtool command: each row names an option and
// where its value goes, and one reader walks the arguments against it, so
// that every command reads page numbers, ranges and rectangles alike and
// refuses what it does not know in the same words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ToolRectangle {
  int32_t x = 0, y = 0, w = 0, h = 0;
};
// A rectangle on one page: "PAGE:x,y,w,h", the page counted from 1.
struct ToolPageRectangle {
  int32_t page = 1;
  ToolRectangle rectangle;
};

// One row: exactly one of the targets is set. A row with `choice` is a flag
// that stores `chosen`; the others take the word after the option.
struct ToolOption {
  const char* name;
  int32_t* choice = nullptr;
  int32_t chosen = 1;
  int32_t* number = nullptr;  // a whole number from `low` to `high`
  int32_t low = 0;
  int32_t high = 0;
  const char** text = nullptr;  // the word as given
  ToolRectangle* rectangle = nullptr;
  std::vector<ToolRectangle>* rectangles = nullptr;          // repeatable
  std::vector<ToolPageRectangle>* pageRectangles = nullptr;  // repeatable
  std::vector<const char*>* texts = nullptr;                 // repeatable, as given
  int32_t* given = nullptr;                                  // set to 1 when the option appears
};

ToolOption FlagOption(const char* name, int32_t* choice, int32_t chosen = 1);
ToolOption NumberOption(const char* name, int32_t* number, int32_t low, int32_t high);
// --page N: 1-based, from 1 to the largest 32-bit number.
ToolOption PageOption(int32_t* page);
ToolOption TextOption(const char* name, const char** text);
ToolOption RectangleOption(const char* name, ToolRectangle* rectangle, int32_t* given = nullptr);
ToolOption RectanglesOption(const char* name, std::vector<ToolRectangle>* rectangles);
ToolOption TextsOption(const char* name, std::vector<const char*>* texts);
ToolOption PageRectanglesOption(const char* name, std::vector<ToolPageRectangle>* rectangles);

// A whole decimal number from `low` to `high`, nothing after it.
int ReadWholeNumber(const char* text, int32_t low, int32_t high, int32_t* value);
// "x,y,w,h" in whole 32-bit numbers.
int ReadRectangle(const char* text, ToolRectangle* rectangle);
// "PAGE:x,y,w,h" with a page from 1.
int ReadPageRectangle(const char* text, ToolPageRectangle* rectangle);

// Reads the arguments against the table; the one word not starting with '-'
// is the file. 0, after "mrvtool COMMAND: ..." on standard error, for an
// unknown option, a missing or bad value, a second file or no file.
int ReadToolOptions(const char* command, int argc, char** argv, const ToolOption* options, size_t count,
                    const char** file);

// As ReadToolOptions for commands that take two words: first an output file,
// then the file read.
int ReadToolOptionsWithOutput(const char* command, int argc, char** argv, const ToolOption* options,
                              size_t count, const char** output, const char** file);
