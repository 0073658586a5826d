#include "a4_pages.h"

#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace {

struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed) {}
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

// A page of typed text as a coverage mask (1 = ink): lines of words made of
// stroke glyphs at the size 11-point type has at this resolution, with a
// letterhead rule, paragraphs and a signature-like scrawl.
std::vector<uint8_t> TextMask(uint32_t width, uint32_t height, uint32_t dpi, uint32_t seed) {
  std::vector<uint8_t> ink(size_t{width} * height, 0);
  Noise noise(seed);
  const int glyphHeight = static_cast<int>(dpi * 0.1);  // cap height of 11-point type
  const int stroke = dpi >= 300 ? 3 : 2;
  auto box = [&](int x0, int y0, int x1, int y1) {
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < int(height); ++y)
      for (int x = x0 < 0 ? 0 : x0; x < x1 && x < int(width); ++x) ink[size_t(y) * width + x] = 1;
  };
  // Glyphs: a few vertical, horizontal and diagonal strokes in a cell.
  struct Stroke {
    int kind, a, b;
  };
  std::vector<std::vector<Stroke>> glyphs(70);
  std::vector<int> widths(70);
  for (size_t g = 0; g < glyphs.size(); ++g) {
    widths[g] = glyphHeight * (45 + int(noise.Next() % 40)) / 100;
    int strokes = 2 + int(noise.Next() % 3);
    for (int s = 0; s < strokes; ++s)
      glyphs[g].push_back({int(noise.Next() % 3), int(noise.Next() % 100), int(noise.Next() % 100)});
  }
  auto glyph = [&](size_t g, int x, int base) {
    const int w = widths[g], top = base - glyphHeight;
    for (const Stroke& s : glyphs[g]) {
      if (s.kind == 0) {
        int sx = x + s.a * (w - stroke) / 100;
        box(sx, top + (s.b % 3 == 0 ? glyphHeight / 3 : 0), sx + stroke, base);
      } else if (s.kind == 1) {
        int sy = top + s.a * (glyphHeight - stroke) / 100;
        box(x, sy, x + w, sy + stroke);
      } else {
        for (int t = 0; t < glyphHeight; ++t) {
          int sx = x + (s.b > 50 ? t : glyphHeight - 1 - t) * w / glyphHeight;
          box(sx, top + t, sx + stroke, top + t + 1);
        }
      }
    }
    return w;
  };
  const int margin = static_cast<int>(dpi * 0.9);
  const int pitch = glyphHeight * 21 / 10;
  box(margin, margin - pitch, int(width) - margin, margin - pitch + stroke * 2);
  int y = margin + pitch;
  int lineInParagraph = 0;
  const int bottom = int(height) - margin;
  while (y < bottom - 3 * pitch) {
    int x = margin + (lineInParagraph == 0 ? glyphHeight * 2 : 0);
    const int lineEnd = int(width) - margin - (noise.Next() % 9 == 0 ? int(width) / 3 : 0);
    while (x < lineEnd - glyphHeight * 4) {
      int letters = 2 + int(noise.Next() % 8);
      for (int l = 0; l < letters && x < lineEnd; ++l)
        x += glyph(noise.Next() % glyphs.size(), x, y) + stroke + 1;
      x += glyphHeight * 6 / 10;
    }
    y += pitch;
    if (++lineInParagraph > 4 + int(noise.Next() % 6)) {
      y += pitch;
      lineInParagraph = 0;
    }
  }
  // Signature: a looping line.
  for (int t = 0; t < int(dpi) * 2; ++t) {
    int sx = margin + t + int(20 * __builtin_sin(t * 0.05));
    int sy = bottom - pitch + int(glyphHeight * __builtin_sin(t * 0.11));
    box(sx, sy, sx + stroke, sy + stroke);
  }
  return ink;
}

// Pixel values of a scan: paper with sensor noise, ink, and a photograph with
// smooth colour changes in the upper part of the page.
void Scan(uint32_t width, uint32_t height, uint32_t channels, std::vector<uint8_t>* pixels) {
  const std::vector<uint8_t> ink = TextMask(width, height, 200, 7);
  pixels->resize(size_t{width} * height * channels);
  Noise noise(99);
  const uint32_t photoLeft = width / 2, photoTop = height / 8, photoRight = width - width / 10,
                 photoBottom = height / 3;
  const uint8_t paper[3] = {246, 242, 233}, dark[3] = {38, 36, 52};
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* p = pixels->data() + (size_t{y} * width + x) * channels;
      const int grain = int(noise.Next() % 7) - 3;
      const bool photo = x >= photoLeft && x < photoRight && y >= photoTop && y < photoBottom;
      for (uint32_t c = 0; c < channels; ++c) {
        int v;
        if (photo) {
          double u = double(x - photoLeft) / (photoRight - photoLeft),
                 w = double(y - photoTop) / (photoBottom - photoTop);
          v = int(128 + 100 * __builtin_sin(6 * u + 2.1 * c) * __builtin_cos(4 * w - c));
        } else {
          v = ink[size_t{y} * width + x] ? dark[channels == 1 ? 1 : c] : paper[channels == 1 ? 1 : c];
        }
        v += grain;
        p[c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
}

std::vector<uint8_t> ReadBack(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

A4Page Build(PageKind kind) {
  A4Page page;
  const bool bilevel =
      kind == PageKind::kBilevelG4 || kind == PageKind::kBilevelG3 || kind == PageKind::kBilevelPackBits;
  const bool rgb = kind == PageKind::kRgbJpeg || kind == PageKind::kRgbLzw;
  const uint32_t dpi = bilevel ? 300 : 200;
  page.width = bilevel ? 2480 : 1654;
  page.height = bilevel ? 3508 : 2339;
  const uint32_t channels = rgb ? 3 : 1;

  char path[] = "/tmp/mervane-bench-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) abort();
  close(fd);
  TIFF* tif = TIFFOpen(path, "w");
  if (!tif) abort();
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bilevel ? 1 : 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(dpi));
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(dpi));
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  switch (kind) {
    case PageKind::kBilevelG4:
      page.name = "G4";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
      break;
    case PageKind::kBilevelG3:
      page.name = "G3";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
      TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, 0);
      break;
    case PageKind::kBilevelPackBits:
      page.name = "PackBits";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
      break;
    case PageKind::kGreyLzw:
      page.name = "Grey LZW";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
      break;
    case PageKind::kGreyDeflate:
      page.name = "Grey Deflate";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
      break;
    case PageKind::kRgbJpeg:
      page.name = "RGB JPEG";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
      break;
    case PageKind::kRgbLzw:
      page.name = "RGB LZW";
      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
      break;
  }
  if (bilevel) {
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  } else if (kind == PageKind::kRgbJpeg) {
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 75);
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  } else {
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  }
  // Fax pages come as one strip, as fax servers write them; the others in
  // libtiff's default strips (JPEG strips a multiple of 16 rows).
  uint32_t rows = kind == PageKind::kBilevelG4 || kind == PageKind::kBilevelG3 ? page.height
                  : kind == PageKind::kRgbJpeg                                 ? 64
                                                                               : TIFFDefaultStripSize(tif, 0);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);

  std::vector<uint8_t> pixels;
  size_t rowBytes;
  if (bilevel) {
    const std::vector<uint8_t> ink = TextMask(page.width, page.height, dpi, 3);
    rowBytes = (page.width + 7) / 8;
    pixels.assign(rowBytes * page.height, 0);
    for (uint32_t y = 0; y < page.height; ++y)
      for (uint32_t x = 0; x < page.width; ++x)
        if (ink[size_t{y} * page.width + x]) pixels[y * rowBytes + x / 8] |= uint8_t(0x80 >> (x % 8));
  } else {
    Scan(page.width, page.height, channels, &pixels);
    rowBytes = size_t{page.width} * channels;
  }
  for (uint32_t y = 0; y < page.height; ++y)
    if (TIFFWriteScanline(tif, pixels.data() + y * rowBytes, y, 0) < 0) abort();
  TIFFClose(tif);
  page.bytes = ReadBack(path);
  unlink(path);
  return page;
}

}  // namespace

const A4Page& PageOf(PageKind kind) {
  static std::map<PageKind, A4Page> pages;
  auto found = pages.find(kind);
  if (found == pages.end()) found = pages.emplace(kind, Build(kind)).first;
  return found->second;
}
