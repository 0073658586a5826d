#include "tiff_fixture.h"

#include <cstring>

#include "document/tiff_adapter.h"

namespace {

struct MemoryFile {
  std::vector<uint8_t> bytes;
  uint64_t position = 0;
};

tmsize_t Read(thandle_t h, void* buffer, tmsize_t n) {
  auto* f = static_cast<MemoryFile*>(h);
  uint64_t available = f->position < f->bytes.size() ? f->bytes.size() - f->position : 0;
  uint64_t count = static_cast<uint64_t>(n) < available ? static_cast<uint64_t>(n) : available;
  memcpy(buffer, f->bytes.data() + f->position, count);
  f->position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t Write(thandle_t h, void* buffer, tmsize_t n) {
  auto* f = static_cast<MemoryFile*>(h);
  if (f->position + n > f->bytes.size()) f->bytes.resize(f->position + n);
  memcpy(f->bytes.data() + f->position, buffer, static_cast<size_t>(n));
  f->position += n;
  return n;
}

toff_t Seek(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  int64_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? static_cast<int64_t>(f->position)
                                      : static_cast<int64_t>(f->bytes.size());
  f->position = static_cast<uint64_t>(base + static_cast<int64_t>(offset));
  return f->position;
}

int Close(thandle_t) { return 0; }
toff_t Size(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
int Map(thandle_t, void**, toff_t*) { return 0; }
void Unmap(thandle_t, void*, toff_t) {}

bool WritePage(TIFF* t, const TestPage& page) {
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, page.width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, page.height);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, page.photometric);
  TIFFSetField(t, TIFFTAG_COMPRESSION, page.compression);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, page.planar);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip ? page.rowsPerStrip : page.height);
  if (page.orientation) TIFFSetField(t, TIFFTAG_ORIENTATION, page.orientation);
  if (page.xResolution > 0) {
    TIFFSetField(t, TIFFTAG_XRESOLUTION, page.xResolution);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, page.yResolution);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, page.resolutionUnit);
  }
  if (!page.colourMap.empty()) {
    size_t n = page.colourMap.size() / 3;
    TIFFSetField(t, TIFFTAG_COLORMAP, page.colourMap.data(), page.colourMap.data() + n,
                 page.colourMap.data() + 2 * n);
  }
  if (page.software) TIFFSetField(t, TIFFTAG_SOFTWARE, page.software);
  if (page.extraTags) page.extraTags(t);
  bool written = true;
  for (size_t plane = 0; plane < page.rows.size(); ++plane) {
    for (uint32_t row = 0; row < page.height; ++row) {
      std::vector<uint8_t> line = page.rows[plane][row];
      written = written && TIFFWriteScanline(t, line.data(), row, static_cast<uint16_t>(plane)) >= 0;
    }
  }
  return written;
}

}  // namespace

std::vector<uint8_t> WriteTestTiff(const TestPage& page) { return WriteTestTiffPages({page}); }

std::vector<uint8_t> WriteTestTiffPages(const std::vector<TestPage>& pages) {
  MemoryFile file;
  InstallSilentHandlers();
  TIFF* t = TIFFClientOpen("test", "w", &file, Read, Write, Seek, Close, Size, Map, Unmap);
  if (!t) return {};
  bool written = true;
  for (size_t i = 0; i < pages.size() && written; ++i) {
    written = WritePage(t, pages[i]);
    // The last directory is written by the close.
    if (written && i + 1 < pages.size()) written = TIFFWriteDirectory(t) != 0;
  }
  TIFFClose(t);
  return written ? file.bytes : std::vector<uint8_t>{};
}

Document DocumentOver(const std::vector<uint8_t>& bytes) {
  Document document;
  PointAtMemory(&document, bytes.data(), static_cast<uint32_t>(bytes.size()));
  MessageLog log;
  if (ReadPageDirectory(&document, &log)) NumberPages(&document, &log);
  return document;
}

Picture PictureOf(const PageBitmap& bitmap) {
  Picture p;
  const BitmapHeader* h = HeaderOf(&bitmap);
  p.width = static_cast<uint32_t>(h->width);
  p.height = static_cast<uint32_t>(h->height);
  const uint8_t* table = ColourTableOf(&bitmap);
  for (uint32_t y = 0; y < p.height; ++y) {
    const uint8_t* row = RowOf(&bitmap, p.height - 1 - y);
    for (uint32_t x = 0; x < p.width; ++x) {
      const uint8_t* c;
      if (h->bitCount == 24) {
        c = row + 3 * x;
      } else {
        uint32_t bits = h->bitCount;
        uint32_t index = (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
        c = table + 4 * index;
      }
      p.rgb.push_back(uint32_t{c[2]} << 16 | uint32_t{c[1]} << 8 | c[0]);
    }
  }
  return p;
}

Picture RgbaPictureOf(const std::vector<uint8_t>& bytes) {
  Picture p;
  InstallSilentHandlers();
  TIFF* t = OpenTiffFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
  if (!t) return p;
  uint32_t w = 0, h = 0;
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
  std::vector<uint32_t> raster(uint64_t{w} * h);
  if (TIFFReadRGBAImageOriented(t, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
    p.width = w;
    p.height = h;
    for (uint32_t v : raster) p.rgb.push_back(TIFFGetR(v) << 16 | TIFFGetG(v) << 8 | TIFFGetB(v));
  }
  TIFFClose(t);
  return p;
}

int LoadFirstPage(const std::vector<uint8_t>& bytes, PageInfo* info, PageBitmap* bitmap, MessageLog* log,
                  const PageLoadOptions* options) {
  Document document = DocumentOver(bytes);
  PageLoadOptions defaults;
  return LoadPage(&document, 0, options ? options : &defaults, info, bitmap, log);
}
