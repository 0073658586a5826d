#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/message_log.h"
#include "document/page_directory.h"

// Reads the whole file into `bytes` and points the document at them as a
// memory source; "Unable to read file" in `log` when that fails.
int ReadDocumentFile(const char* name, std::vector<uint8_t>* bytes, Document* document, MessageLog* log);

// As ReadDocumentFile, then the page directory read and its pages numbered,
// unknown tags left unreported as the viewer does; the directory index of the
// document's `page`-th page (from 1), or -1.
int ReadDocumentPages(const char* name, int32_t page, std::vector<uint8_t>* bytes, Document* document,
                      MessageLog* log);

// The log's lines without their CR LF endings.
std::vector<std::string> LogLines(const MessageLog& log);
