#include "output/document_writer.h"

#include <tiffio.h>

#include <memory>
#include <new>
#include <vector>

#include "analysis/annotated_page.h"
#include "analysis/sketch_layer.h"
#include "common/text_format.h"
#include "document/page_loader.h"
#include "document/tiff_adapter.h"
#include "output/page_copy.h"

namespace {

constexpr uint32_t kCopyPiece = 1 << 20;

struct EncodingRow {
  uint16_t bitsPerSample;
  uint16_t samplesPerPixel;
  uint16_t photometric;
  uint16_t compression;
  uint32_t rowsPerStrip;
};

// Indexed by PageEncoding.
constexpr EncodingRow kEncodings[] = {
    {1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, 128},
    {8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, 64},
    {8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, 64},
};

const PageMarkup* MarkupAt(const MarkupTable* markup, int32_t directory) {
  if (!markup || directory < 0 || static_cast<size_t>(directory) >= markup->size()) return nullptr;
  return (*markup)[static_cast<size_t>(directory)].get();
}

// One stored row in the file's form: bilevel rows inverted (the image's 0 is
// black, the file's 0 white), grey as one byte, colour as red-green-blue.
void FileRow(const uint8_t* row, uint32_t width, PageEncoding encoding, uint8_t* out, uint32_t bytes) {
  if (encoding == kEncodeGroup4) {
    for (uint32_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(~row[i]);
  } else if (encoding == kEncodeGreyLzw) {
    for (uint32_t x = 0; x < width; ++x) out[x] = row[3 * x];
  } else {
    for (uint32_t x = 0; x < width; ++x) {
      out[3 * x] = row[3 * x + 2];
      out[3 * x + 1] = row[3 * x + 1];
      out[3 * x + 2] = row[3 * x];
    }
  }
}

// 0: the page does not decode (left out); -1: writing failed; 1: written.
int WriteDocumentPage(TIFF* tiff, const Document* document, int32_t directory, const PageMarkup* markup) {
  PageLoadOptions options;
  PageInfo info;
  PageBitmap page, merged;
  MessageLog pageLog;
  int loaded = LoadPage(document, directory, &options, &info, &page, &pageLog);
  InstallSilentHandlers();  // the page's log ends here
  int result = 0;
  if (loaded && BuildAnnotatedPage(&page, &info, markup, 0, &merged, &pageLog)) {
    result = WriteMergedPage(tiff, &merged, &info) ? 1 : -1;
  }
  ReleasePageBitmap(&merged);
  ReleasePageBitmap(&page);
  ReleasePageInfo(&info);
  return result;
}

int CopyFromMemory(const Document* document, FileHandle target) {
  const uint8_t* bytes = document->bytes;
  for (uint32_t left = document->size; left > 0;) {
    uint32_t piece = left < kCopyPiece ? left : kCopyPiece;
    if (WriteToFile(target, bytes, piece) != piece) return 0;
    bytes += piece;
    left -= piece;
  }
  return 1;
}

int CopyFromFile(const Document* document, FileHandle target) {
  FileHandle source = OpenFileForReading(document->fileName);
  if (!source) return 0;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCopyPiece]);
  int copied = buffer != nullptr;
  for (int64_t got = 0; copied && (got = ReadFromFile(source, buffer.get(), kCopyPiece)) != 0;) {
    copied = got > 0 && WriteToFile(target, buffer.get(), static_cast<uint32_t>(got)) == got;
  }
  CloseFile(source);
  return copied;
}

int WriteInto(const Document* document, const MarkupTable* markup, FileHandle file) {
  if (DocumentHasMarks(markup)) return WriteAnnotatedTiff(document, markup, file);
  if (document->sourceKind == kSourceMemory && document->bytes) return CopyFromMemory(document, file);
  if (document->sourceKind == kSourceFile) return CopyFromFile(document, file);
  return 0;
}

}  // namespace

PageEncoding EncodingFor(const PageBitmap* merged) {
  const BitmapHeader* header = HeaderOf(merged);
  if (header->bitCount == 1) return kEncodeGroup4;
  for (uint32_t r = 0; r < static_cast<uint32_t>(header->height); ++r) {
    const uint8_t* row = RowOf(merged, r);
    for (int32_t x = 0; x < header->width; ++x, row += 3) {
      if (row[0] != row[1] || row[1] != row[2]) return kEncodeRgbLzw;
    }
  }
  return kEncodeGreyLzw;
}

int WriteMergedPage(TIFF* tiff, const PageBitmap* merged, const PageInfo* info) {
  const BitmapHeader* header = HeaderOf(merged);
  uint32_t width = static_cast<uint32_t>(header->width), height = static_cast<uint32_t>(header->height);
  PageEncoding encoding = EncodingFor(merged);
  const EncodingRow& e = kEncodings[encoding];
  TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, info->newSubfileType);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, e.bitsPerSample);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, e.samplesPerPixel);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, e.photometric);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, e.compression);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, e.rowsPerStrip);
  if (encoding == kEncodeRgbLzw) TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  if (info->xResolution > 0 && info->yResolution > 0) {
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, static_cast<uint16_t>(info->resolutionUnit));
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(info->xResolution));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(info->yResolution));
  }
  uint32_t bytes = static_cast<uint32_t>((uint64_t{width} * e.bitsPerSample * e.samplesPerPixel + 7) / 8);
  std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[bytes]);
  if (!row) return 0;
  // The merged image is stored bottom row first; the file wants the top first.
  for (uint32_t y = 0; y < height; ++y) {
    FileRow(RowOf(merged, height - 1 - y), width, encoding, row.get(), bytes);
    if (TIFFWriteScanline(tiff, row.get(), y, 0) < 0) return 0;
  }
  return TIFFWriteDirectory(tiff);
}

int DocumentHasMarks(const MarkupTable* markup) {
  if (!markup) return 0;
  for (const auto& page : *markup) {
    if (page && (!page->whiteouts.empty() || MarkupHasStrokes(page.get()))) return 1;
  }
  return 0;
}

int WriteAnnotatedTiff(const Document* document, const MarkupTable* markup, FileHandle file) {
  InstallSilentHandlers();
  WritingTarget target{file};
  TIFF* tiff = OpenTiffForWriting(&target);
  if (!tiff) return 0;
  int failed = 0, written = 0;
  for (int32_t page = 0; page < document->pageCount && !failed; ++page) {
    int32_t directory = PageToIfd(document, page);
    if (directory < 0) continue;
    int result = WriteDocumentPage(tiff, document, directory, MarkupAt(markup, directory));
    failed = result < 0;
    written += result > 0;
  }
  TIFFClose(tiff);
  SeekFile(file, 0, 2);
  return !failed && written > 0;
}

int WriteDocumentToFile(const Document* document, const MarkupTable* markup, const std::u16string& name,
                        MessageLog* log) {
  if (document->pageCount < 1) return 0;  // nothing is written before the document is loaded
  FileHandle file = CreateFileForWriting(name);
  uint32_t error = 0;
  int written = 0;
  if (file) {
    written = WriteInto(document, markup, file);
    if (!written) error = LastSystemError();
    if (!CloseFile(file) && written) {
      written = 0;
      error = LastSystemError();
    }
    if (!written) DeleteFileAt(name);
  } else {
    error = LastSystemError();
  }
  if (!written) LogError(log, "Failed to write file (%s; error code %u)", Utf16ToUtf8(name).c_str(), error);
  return written;
}

namespace {

// 1 copied, 2 re-encoded, 0 failed.
int WriteOnePage(TIFF* source, TIFF* target, const Document* document, int32_t directory) {
  if (source && TIFFSetSubDirectory(source, document->ifds[static_cast<size_t>(directory)].offset) &&
      CanCopyRaw(source))
    return CopyRawPage(source, target) ? 1 : 0;
  return WriteDocumentPage(target, document, directory, nullptr) > 0 ? 2 : 0;
}

}  // namespace

int WritePagesToFile(const Document* document, const std::vector<int32_t>& directories,
                     const std::u16string& name, int32_t* copied, MessageLog* log) {
  *copied = 0;
  InstallSilentHandlers();
  FileHandle file = CreateFileForWriting(name);
  if (!file) {
    LogError(log, "Failed to write file (%s; error code %u)", Utf16ToUtf8(name).c_str(), LastSystemError());
    return 0;
  }
  WritingTarget target{file};
  TIFF* tiff = OpenTiffForWriting(&target);
  TIFF* source = OpenTiffForDocument(document);
  int written = tiff != nullptr;
  for (size_t i = 0; written && i < directories.size(); ++i) {
    int result = WriteOnePage(source, tiff, document, directories[i]);
    InstallSilentHandlers();
    written = result != 0;
    *copied += result == 1;
  }
  if (source) TIFFClose(source);
  if (tiff) TIFFClose(tiff);
  uint32_t error = LastSystemError();
  if (!CloseFile(file)) written = 0;
  if (!written) {
    DeleteFileAt(name);
    LogError(log, "Failed to write file (%s; error code %u)", Utf16ToUtf8(name).c_str(), error);
  }
  return written;
}
