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
     "render [--page N] [--orient N] [--negative] [--size WxH] [--smooth] [--json]\n"
     "       [--param NAME=VALUE]... [--setting NAME=VALUE]... --out OUT.bmp FILE\n"
     "    Loads page N (1-based, default 1) as the viewer does: negative, then the\n"
     "    viewer's orientation (1 a quarter turn clockwise, 2 half, 3 counter-\n"
     "    clockwise; other numbers count quarter turns modulo 4, as the viewer turns),\n"
     "    then scaling to --size WxH (smoothed with --smooth, else\n"
     "    dropping or repeating pixels). Writes a Windows BMP and prints the\n"
     "    page facts and the page log. --param and --setting reach the render as\n"
     "    page parameters and machine-wide settings reach the viewer (for example\n"
     "    --param orient=right --param negative=yes --setting memorylimit=100);\n"
     "    the options above win over them. --json prints the facts and the log as\n"
     "    one object instead. Exit 0 with a picture, 1 without."},
    {"dump", RunDump,
     "dump [--page N] [--rtf | --text] FILE\n"
     "    Lists the header, every directory, entry and value of a TIFF, BigTIFF\n"
     "    or MDI file. --page N shows only the directory of page N (1-based, as\n"
     "    for render). --rtf writes Rich Text, --text (the default) plain UTF-8.\n"
     "    Exit 0 when the header was read."},
    {"save", RunSave,
     "save [--whiteout PAGE:x,y,w,h]... [--stroke PAGE:#rrggbb:x,y[,x,y]...]... OUT.tif FILE\n"
     "    Writes FILE as the viewer's save command does: an unchanged copy when\n"
     "    nothing is marked, else every page that decodes merged with its marks\n"
     "    (white-outs burned in white, pen strokes through the points in page\n"
     "    pixels) as Group 4 for black-and-white pages, 8-bit LZW for grey ones\n"
     "    and RGB LZW otherwise. Pages that do not decode are left out. A failed\n"
     "    write leaves no file. Exit 0 when written, 1 when not."},
    {"split", RunSplit,
     "split [--separator-prefix TEXT] [--drop-blank FRACTION] [--keep-separators]\n"
     "      [--name-from-barcode] [--json] --out-dir DIR FILE\n"
     "    Splits a scanned batch into one TIFF per document: a page with a Code 128\n"
     "    symbol starting with TEXT (any symbol without --separator-prefix) starts\n"
     "    the next document and is left out unless --keep-separators; pages whose\n"
     "    ink fraction is below FRACTION are dropped. Files are DIR/0001.tif on,\n"
     "    or the separator's text with --name-from-barcode. Prints one line per\n"
     "    document (file, first and last page, page count) and a summary. Exit 1\n"
     "    when a page could not be read (after writing the rest) or DIR could not\n"
     "    be written."},
    {"barcodes", RunBarcodes,
     "barcodes [--page N] [--region x,y,w,h] [--json] FILE\n"
     "    Reads the Code 128 (code set B) symbols of page N, or of the region (y\n"
     "    from the top; w or h 0 for the page's width and height): one text per\n"
     "    line in reading order, each once, then the region's ink fraction."},
    {"blank", RunBlank,
     "blank [--page N] [--json] FILE\n"
     "    Prints the ink fraction of page N: dark pixels over pixels scanned, 0 for a\n"
     "    blank page."},
    {"omr", RunOmr,
     "omr [--page N] --ref x,y,w,h [--box x,y,w,h]... [--json] FILE\n"
     "    Finds the four corner marks of a bilevel form whose corners span the\n"
     "    reference rectangle on the blank form. Prints \"found 1\" or \"found 0\",\n"
     "    \"corners\" with the four corners found (top-left, top-right, bottom-right,\n"
     "    bottom-left; -1,-1 where none), then each box's dark fraction."},
};

void PrintHelp(FILE* out) {
  fprintf(out, "usage: mrvtool COMMAND [OPTIONS] FILE\n\ncommands:\n");
  for (const Command& c : kCommands) fprintf(out, "  %s\n", c.usage);
  fprintf(out,
          "\n--json (info, render, barcodes, blank, omr, split) prints one JSON object per\n"
          "run; the same key means the same in every command: file, page (from 1),\n"
          "pages (a count), ink (an ink fraction), barcodes, log.\n"
          "\nexit codes:\n"
          "  0  success\n"
          "  1  the file or a page could not be used (split: after writing what it could)\n"
          "  2  bad usage\n");
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
