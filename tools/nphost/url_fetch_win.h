// What nphost serves for NPN_GetURL and for stream steps: local files, and
// http addresses on this machine's loopback interface only.
#pragma once

#include <string>

struct FetchedDocument {
  std::string body;
  std::string headers;  // status line and headers, "\n"-separated; empty for files
  std::string mimeType;
};

// A Unix path (as ctest passes them) becomes the Z: drive path Wine maps it to;
// a relative path is taken from `baseFolder`.
std::wstring NativePath(const std::string& path, const std::wstring& baseFolder);
// file: addresses, plain paths and http://127.0.0.1 or http://localhost
// addresses; 0 with `error` set otherwise.
int FetchUrl(const std::string& url, const std::wstring& baseFolder, FetchedDocument* out,
             std::string* error);
