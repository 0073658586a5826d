#include "tools/mrvtool/tool_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The number at the start of `text`; `end` is left after it.
int ReadLeadingNumber(const char* text, char** end, int32_t* value) {
  long long v = strtoll(text, end, 10);
  if (*end == text || v < INT32_MIN || v > INT32_MAX) return 0;
  *value = static_cast<int32_t>(v);
  return 1;
}

const ToolOption* Find(const char* name, const ToolOption* options, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (!strcmp(name, options[i].name)) return &options[i];
  }
  return nullptr;
}

int Take(const ToolOption& option, const char* value) {
  if (option.number) return ReadWholeNumber(value, option.low, option.high, option.number);
  if (option.text) {
    *option.text = value;
    return 1;
  }
  if (option.rectangle) return ReadRectangle(value, option.rectangle);
  if (option.texts) {
    option.texts->push_back(value);
    return 1;
  }
  if (option.pageRectangles) {
    ToolPageRectangle p;
    if (!ReadPageRectangle(value, &p)) return 0;
    option.pageRectangles->push_back(p);
    return 1;
  }
  ToolRectangle r;
  if (!ReadRectangle(value, &r)) return 0;
  option.rectangles->push_back(r);
  return 1;
}

}  // namespace

ToolOption FlagOption(const char* name, int32_t* choice, int32_t chosen) {
  ToolOption option{name};
  option.choice = choice;
  option.chosen = chosen;
  return option;
}

ToolOption NumberOption(const char* name, int32_t* number, int32_t low, int32_t high) {
  ToolOption option{name};
  option.number = number;
  option.low = low;
  option.high = high;
  return option;
}

ToolOption PageOption(int32_t* page) { return NumberOption("--page", page, 1, INT32_MAX); }

ToolOption TextOption(const char* name, const char** text) {
  ToolOption option{name};
  option.text = text;
  return option;
}

ToolOption RectangleOption(const char* name, ToolRectangle* rectangle, int32_t* given) {
  ToolOption option{name};
  option.rectangle = rectangle;
  option.given = given;
  return option;
}

ToolOption RectanglesOption(const char* name, std::vector<ToolRectangle>* rectangles) {
  ToolOption option{name};
  option.rectangles = rectangles;
  return option;
}

ToolOption TextsOption(const char* name, std::vector<const char*>* texts) {
  ToolOption option{name};
  option.texts = texts;
  return option;
}

ToolOption PageRectanglesOption(const char* name, std::vector<ToolPageRectangle>* rectangles) {
  ToolOption option{name};
  option.pageRectangles = rectangles;
  return option;
}

int ReadWholeNumber(const char* text, int32_t low, int32_t high, int32_t* value) {
  char* end = nullptr;
  int32_t v;
  if (!ReadLeadingNumber(text, &end, &v) || *end || v < low || v > high) return 0;
  *value = v;
  return 1;
}

int ReadRectangle(const char* text, ToolRectangle* rectangle) {
  int32_t* fields[4] = {&rectangle->x, &rectangle->y, &rectangle->w, &rectangle->h};
  const char* at = text;
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    if (!ReadLeadingNumber(at, &end, fields[i]) || *end != (i < 3 ? ',' : '\0')) return 0;
    at = end + 1;
  }
  return 1;
}

int ReadPageRectangle(const char* text, ToolPageRectangle* rectangle) {
  char* end = nullptr;
  if (!ReadLeadingNumber(text, &end, &rectangle->page) || *end != ':' || rectangle->page < 1) return 0;
  return ReadRectangle(end + 1, &rectangle->rectangle);
}

namespace {

// The words not starting with '-' fill `words` in order; all must be given.
int ReadArguments(const char* command, int argc, char** argv, const ToolOption* options, size_t count,
                  const char** words[], size_t wordCount, const char* missing) {
  size_t taken = 0;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    const ToolOption* option = Find(arg, options, count);
    if (!option) {
      if (arg[0] == '-' || taken == wordCount) {
        fprintf(stderr, "mrvtool %s: unexpected argument \"%s\"\n", command, arg);
        return 0;
      }
      *words[taken++] = arg;
      continue;
    }
    if (option->given) *option->given = 1;
    if (option->choice) {
      *option->choice = option->chosen;
      continue;
    }
    if (i + 1 >= argc) {
      fprintf(stderr, "mrvtool %s: %s needs a value\n", command, arg);
      return 0;
    }
    if (!Take(*option, argv[++i])) {
      fprintf(stderr, "mrvtool %s: bad value \"%s\" for %s\n", command, argv[i], arg);
      return 0;
    }
  }
  if (taken < wordCount) {
    fprintf(stderr, "mrvtool %s: %s\n", command, missing);
    return 0;
  }
  return 1;
}

}  // namespace

int ReadToolOptions(const char* command, int argc, char** argv, const ToolOption* options, size_t count,
                    const char** file) {
  const char** words[] = {file};
  return ReadArguments(command, argc, argv, options, count, words, 1, "no file given");
}

int ReadToolOptionsWithOutput(const char* command, int argc, char** argv, const ToolOption* options,
                              size_t count, const char** output, const char** file) {
  const char** words[] = {output, file};
  return ReadArguments(command, argc, argv, options, count, words, 2, "needs an output file and a file");
}
