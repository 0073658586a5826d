// Carrying a page from one TIFF into another with its compressed data and
// tags as they are, for pages whose data stands on its own: strips in a
// scheme that needs no tables shared across the file.
#pragma once

#include <tiffio.h>

// The source's current directory can be copied without decoding it.
int CanCopyRaw(TIFF* source);
// Writes the source's current directory as a new directory of `target`; 0
// when reading or writing failed.
int CopyRawPage(TIFF* source, TIFF* target);
