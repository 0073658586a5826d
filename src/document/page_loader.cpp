#include "document/page_loader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/text_format.h"
#include "document/bitmap_ops.h"
#include "document/code_names.h"
#include "document/disabled_compressions.h"
#include "document/tiff_adapter.h"
#include "document/tiff_decoder.h"

namespace {

constexpr uint32_t kMaximumSide = 0xA00000;  // 10,485,760 pixels
constexpr double kMaximumWorkBytes = 2000000000.0;

void OnDecoderError(MessageLog* log, const char*, const char* message) { LogError(log, "%s", message); }
void OnDecoderWarning(MessageLog* log, const char*, const char* message) { LogWarning(log, "%s", message); }
// libtiff's complaints while pixels are read degrade the page, they do not fail it.
void OnLibraryMessage(MessageLog* log, const char* module, const char* message) {
  RouteTiffMessage(log, LogKind::kWarning, module, message);
}

// A text tag as a base-10 number: leading blanks and a sign, then digits up to
// the first other character; 0 without digits, -1 when the tag is absent.
int32_t TagNumber(TIFF* tiff, uint32_t tag) {
  const char* text = nullptr;
  if (!TIFFGetField(tiff, tag, &text) || !text) return -1;
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

void FillPageInfo(TIFF* tiff, const TiffDecoder* d, const PageLoadOptions* options, PageInfo* info) {
  info->width = d->width;
  info->height = d->height;
  info->photometric = d->photometric;
  info->compression = d->compression;
  info->orientation = d->orientation;
  info->resolutionUnit = d->resolutionUnit;
  info->xResolution = d->xResolution;
  info->yResolution = d->yResolution;
  info->resolutionValid = d->resolutionValid;
  info->bitsPerPixel = StoredBitsPerPixel(d);
  uint32_t subfileType = 0;
  info->newSubfileType = TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &subfileType) ? subfileType : 0;
  const char* software = nullptr;
  if (TIFFGetField(tiff, TIFFTAG_SOFTWARE, &software) && software) SetTextFromUtf8(&info->software, software);
  if (options && options->readPrintTags) {
    info->pageName = TagNumber(tiff, TIFFTAG_PAGENAME);
    info->model = TagNumber(tiff, TIFFTAG_MODEL);
    info->targetPrinter = TagNumber(tiff, TIFFTAG_TARGETPRINTER);
  }
  info->valid = 1;
}

int32_t PixelsPerMetre(double value) { return static_cast<int32_t>(value + 0.5); }

void SetPixelDensity(const TiffDecoder* d, BitmapHeader* header) {
  double x = d->xResolution, y = d->yResolution;
  if (d->resolutionUnit == 2) {
    x *= 39.37;
    y *= 39.37;
  } else if (d->resolutionUnit == 3) {
    x *= 100;
    y *= 100;
  } else if (x == y) {
    x = y = 0;
  }
  header->xPixelsPerMetre = PixelsPerMetre(x);
  header->yPixelsPerMetre = PixelsPerMetre(y);
}

void CopyPalette(const TiffDecoder* d, PageBitmap* bitmap) {
  uint32_t room = ColourTableEntries(HeaderOf(bitmap));
  uint8_t* table = ColourTableOf(bitmap);
  for (uint32_t i = 0; i < d->paletteEntries && i < room; ++i) {
    const uint8_t* e = d->palette + 4 * i;
    table[4 * i] = e[2];
    table[4 * i + 1] = e[1];
    table[4 * i + 2] = e[0];
    table[4 * i + 3] = 0;
  }
}

// Checks the page against the viewer's limits before any pixel memory exists.
int WithinLimits(const TiffDecoder* d, MessageLog* log) {
  if (IsCompressionDisabled(d->compression)) {
    LogError(log, "%s compression support is disabled", Utf16ToUtf8(CompressionName(d->compression)).c_str());
    return 0;
  }
  if (d->width < 1 || d->height < 1 || d->width > kMaximumSide || d->height > kMaximumSide) {
    LogError(log, "Invalid or unsupported image width or height");
    return 0;
  }
  double bytesPerPixel = OutputBitsPerPixel(d) / 8.0;
  if ((d->width + 4.0) * bytesPerPixel * (d->height + 4.0) > kMaximumWorkBytes) {
    LogError(log, "Image too large");
    return 0;
  }
  if (static_cast<uint32_t>(OutputImageSize(d)) - 1u > 1999999999u || OutputImageSize(d) > 2000000000u) {
    LogError(log, "Image is invalid or too large");
    return 0;
  }
  return 1;
}

// The file's orientation tag in stored-row terms (rows are bottom-up).
int ApplyOrientation(int32_t orientation, PageBitmap* bitmap, PageInfo* info, MessageLog* log) {
  if (orientation >= 5) {
    if (!Transpose(bitmap, log)) return 0;
    uint32_t w = info->width;
    info->width = info->height;
    info->height = w;
    double x = info->xResolution;
    info->xResolution = info->yResolution;
    info->yResolution = x;
  }
  bool mirror = orientation == 2 || orientation == 3 || orientation == 5 || orientation == 8;
  bool reverse = orientation == 3 || orientation == 4 || orientation == 5 || orientation == 6;
  if (mirror) MirrorRows(bitmap);
  return reverse ? ReverseRowOrder(bitmap, log) : 1;
}

int DecodeInto(TIFF* tiff, const PageLoadOptions* options, PageInfo* info, PageBitmap* bitmap,
               MessageLog* log, TiffDecoder* d) {
  AttachTiffDecoder(d, tiff, log, OnDecoderError, OnDecoderWarning, OnLibraryMessage);
  d->paletteRepair = 1;
  if (!ReadTags(d)) return 0;
  FillPageInfo(tiff, d, options, info);
  if (!WithinLimits(d, log)) return 0;
  RasterSettings settings;
  settings.memoryLimitMb = options ? options->memoryLimitMb : 0;
  if (!CreatePageBitmap(&settings, log, bitmap, static_cast<int32_t>(d->width),
                        static_cast<int32_t>(d->height), static_cast<int32_t>(OutputBitsPerPixel(d)), 1)) {
    return 0;
  }
  bitmap->greyRamp = d->greyRamp;
  bitmap->twoBit = d->twoBit;
  SetPixelDensity(d, HeaderOf(bitmap));
  CopyPalette(d, bitmap);
  SetOutput(d, bitmap->pixels);
  d->outStride = bitmap->stride;
  return Decode(d);
}

}  // namespace

int LoadPage(const Document* document, int32_t ifdIndex, const PageLoadOptions* options, PageInfo* info,
             PageBitmap* bitmap, MessageLog* log) {
  InstallLogHandlers(log);
  ResetPageInfo(info);
  ReleasePageBitmap(bitmap);
  if (ifdIndex < 0 || static_cast<size_t>(ifdIndex) >= document->ifds.size()) return 0;
  uint32_t offset = document->ifds[static_cast<size_t>(ifdIndex)].offset;
  if (offset == 0) return 0;
  bool haveSource = (document->sourceKind == kSourceMemory && document->bytes) ||
                    (document->sourceKind == kSourceFile && !document->fileName.empty());
  if (!haveSource) {
    LogError(log, "Internal error: No file to load");
    return 0;
  }
  TIFF* tiff = OpenTiffForDocument(document);
  if (!tiff) return 0;
  if (TIFFCurrentDirOffset(tiff) != offset) {
    // Messages of the first directory, which libtiff read on opening, are not this page's.
    ResetLog(log);
    if (!TIFFSetSubDirectory(tiff, offset)) {
      TIFFClose(tiff);
      return 0;
    }
  }
  TiffDecoder* decoder = CreateTiffDecoder(log);
  int loaded = decoder && DecodeInto(tiff, options, info, bitmap, log, decoder);
  int32_t orientation = decoder ? decoder->orientation : 1;
  FreeTiffDecoder(decoder);
  TIFFClose(tiff);
  if (loaded) loaded = ApplyOrientation(orientation, bitmap, info, log);
  if (!loaded) {
    ReleasePageBitmap(bitmap);
    return 0;
  }
  info->loaded = 1;
  return 1;
}
