// mrvtool: the viewer's engine on the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/mrvtool/commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* usage;
};

const Command kCommands[] = {
    {"info", RunInfo,
     "info [--json] [--ignore-special N] FILE\n"
     "    Walks the file's directories as the viewer does and lists its pages.\n"
     "    --json prints one object: pages, ifds [{offset, flags, page}], errors,\n"
     "    warnings, log (lines). --ignore-special: 1 hides reduced-resolution\n"
     "    images, 2 hides SubIFD images, 3 both. Exit 0 with at least one page."},
    {"render", RunRender,
     "render [--page N] [--orient 0-3] [--negative] [--size WxH] [--smooth] --out OUT.bmp FILE\n"
     "    Loads page N (1-based, default 1) as the viewer does: negative, then the\n"
     "    viewer's orientation (1 a quarter turn clockwise, 2 half, 3 counter-\n"
     "    clockwise), then scaling to --size. Writes a Windows BMP and prints the\n"
     "    page facts and the page log. Exit 0 with a picture, 1 without."},
};

void PrintHelp(FILE* out) {
  fprintf(out, "usage: mrvtool COMMAND [OPTIONS] FILE\n\ncommands:\n");
  for (const Command& c : kCommands) fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h") || !strcmp(argv[1], "help")) {
    PrintHelp(stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const Command& c : kCommands) {
    if (!strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
  }
  fprintf(stderr, "mrvtool: unknown command \"%s\"\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
