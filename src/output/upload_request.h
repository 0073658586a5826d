// The upload's request as the engine builds it: the multipart/form-data body
// written into a file, the outcome codes and their texts, and the response
// header lines told to the page. The window side sends it over WinInet.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/page_markup.h"
#include "document/page_directory.h"
#include "output/upload_fields.h"
#include "platform/platform.h"

enum UploadCode : int32_t {
  kUploadSuccessful = 0,
  kUploadUnknown = 1,  // also "No file to upload"
  kUploadBadUrl = 1001,
  kUploadNotHttp = 1002,
  kUploadOpenFailed = 1003,
  kUploadConnectFailed = 1004,
  kUploadRequestFailed = 1005,
  kUploadSendFailed = 1006,
  kUploadWriteFailed = 1007,
  kUploadEndFailed = 1008,
  kUploadStatusQueryFailed = 1009,
  kUploadStatusRefused = 1010,
  kUploadHeaderQueryFailed = 1011,
  kUploadReadFailed = 1012,
  kUploadNoLibrary = 1013,
  kUploadNoTempFile = 1014,
  kUploadTiffFailed = 1020,
};

// The text told with a code; `detail` is the WinInet error or the HTTP status
// for the codes whose texts carry one.
std::u16string UploadText(int32_t code, uint32_t detail);

// "NEXTPART" and the low 24 bits of the tick count.
std::string UploadBoundary(uint32_t tickCount);
// The request's extra header naming the body's type and boundary.
std::u16string UploadContentType(const std::string& boundary);

struct UploadParts {
  const std::vector<UploadFormField>* fields = nullptr;
  std::u16string fileField;  // cleaned; empty means the default
  std::u16string fileName;
  std::string boundary;
};

// Writes the body into `file` from its current end: each form field with a
// name and a value, then the document newly encoded with its marks, then the
// closing boundary. kUploadSuccessful, kUploadTiffFailed when the document
// could not be written, kUploadUnknown when the file refused bytes.
int32_t WriteUploadBody(FileHandle file, const Document* document, const MarkupTable* markup,
                        const UploadParts& parts);

// The response's raw header lines (zero-terminated, ending with an empty
// one, within `length` characters): each line with a ":" as its name (at
// most 199 characters) and its value (leading spaces skipped, at most 999).
std::vector<std::pair<std::u16string, std::u16string>> UploadHeaderLines(const char16_t* raw, size_t length);
