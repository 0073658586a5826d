// The document as it leaves the viewer as a TIFF file: an unchanged copy of
// the loaded file while nothing is marked, else a newly written TIFF of every
// page with its white-outs and pen strokes merged in.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/page_markup.h"
#include "common/message_log.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"
#include "platform/platform.h"

// How one merged page is stored.
enum PageEncoding : int32_t {
  kEncodeGroup4 = 0,   // bilevel, CCITT Group 4, white is zero
  kEncodeGreyLzw = 1,  // 24-bit with every pixel grey, 8-bit LZW
  kEncodeRgbLzw = 2,   // any other 24-bit, RGB LZW
};
PageEncoding EncodingFor(const PageBitmap* merged);

// One merged page (1 or 24 bits) as a new directory with the encoding the
// table gives, its NewSubfileType and resolution from `info`, rows top first.
int WriteMergedPage(TIFF* tiff, const PageBitmap* merged, const PageInfo* info);

// Any page carries a white-out or a pen stroke.
int DocumentHasMarks(const MarkupTable* markup);

// Writes one directory per page, in page order, from the file's current
// position on: every page decoded as the file holds it (no negative, no
// turn), merged with its marks. A page that does not decode is left out
// silently. 0 when a write failed or no page at all could be written.
int WriteAnnotatedTiff(const Document* document, const MarkupTable* markup, FileHandle file);

// Writes the document to `name`; a failure is logged as
// "Failed to write file (%s; error code %u)" and leaves no file behind, so a
// half-written TIFF is never taken for the whole document.
int WriteDocumentToFile(const Document* document, const MarkupTable* markup, const std::u16string& name,
                        MessageLog* log);

// Writes the given directories of the document, in order, as a new TIFF file
// `name`: a page whose compressed data stands on its own is carried over with
// its tags as it is, any other is decoded and re-encoded as a merged page
// without marks. `copied` counts the pages carried over. A page that fails,
// or a failed write, leaves no file and is logged. 0 on failure.
int WritePagesToFile(const Document* document, const std::vector<int32_t>& directories,
                     const std::u16string& name, int32_t* copied, MessageLog* log);
