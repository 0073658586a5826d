#include "tools/nphost/url_fetch_win.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "tools/nphost/host_window_win.h"

namespace {

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

int ReadWholeFile(const std::wstring& name, std::string* out) {
  FILE* f = _wfopen(name.c_str(), L"rb");
  if (!f) return 0;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->append(buffer, n);
  std::fclose(f);
  return 1;
}

std::string MimeTypeOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : path.substr(dot + 1);
  if (ext == "tif" || ext == "tiff" || ext == "TIF" || ext == "TIFF") return "image/tiff";
  if (ext == "mrvtif") return "application/x-mervane";
  return "application/octet-stream";
}

int HttpGet(const std::string& host, int port, const std::string& path, FetchedDocument* out,
            std::string* error) {
  static bool started = false;
  if (!started) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return *error = "WSAStartup failed", 0;
    started = true;
  }
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return *error = "no socket", 0;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    return *error = "cannot connect to " + host + ":" + std::to_string(port), 0;
  }
  const std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + host + ":" + std::to_string(port) +
                              "\r\nUser-Agent: nphost\r\n\r\n";
  send(s, request.data(), static_cast<int>(request.size()), 0);
  std::string reply;
  char buffer[65536];
  int n;
  while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) reply.append(buffer, n);
  closesocket(s);
  const size_t end = reply.find("\r\n\r\n");
  if (end == std::string::npos) return *error = "no HTTP reply", 0;
  std::string head = reply.substr(0, end);
  out->body = reply.substr(end + 4);
  out->headers.clear();
  for (size_t i = 0; i < head.size(); ++i) {
    if (head[i] != '\r') out->headers += head[i];
  }
  out->headers += "\n";
  out->mimeType = "application/octet-stream";
  const std::string key = "\ncontent-type:";
  std::string lower = out->headers;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t type = lower.find(key);
  if (type != std::string::npos) {
    size_t start = out->headers.find_first_not_of(' ', type + key.size());
    out->mimeType = out->headers.substr(start, out->headers.find_first_of(";\n", start) - start);
  }
  return 1;
}

}  // namespace

std::wstring NativePath(const std::string& path, const std::wstring& baseFolder) {
  std::string p = path;
  if (!p.empty() && p[0] == '/') {
    for (char& c : p) {
      if (c == '/') c = '\\';
    }
    return L"Z:" + FromUtf8(p);
  }
  if (p.size() > 1 && p[1] == ':') return FromUtf8(p);
  return baseFolder + FromUtf8(p);
}

int FetchUrl(const std::string& url, const std::wstring& baseFolder, FetchedDocument* out,
             std::string* error) {
  *out = FetchedDocument();
  if (url.rfind("http://", 0) == 0) {
    const std::string rest = url.substr(7);
    const size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    const std::string path = slash == std::string::npos ? "/" : rest.substr(slash);
    const size_t colon = authority.find(':');
    const std::string host = authority.substr(0, colon);
    const int port = colon == std::string::npos ? 80 : std::atoi(authority.c_str() + colon + 1);
    if (host != "127.0.0.1" && host != "localhost") return *error = "not a loopback address: " + url, 0;
    return HttpGet(host, port, path, out, error);
  }
  std::string path = url;
  if (path.rfind("file://", 0) == 0) {
    path = Unescape(path.substr(7));
    // file:///C:/x names a drive; file:///x a Unix path.
    if (path.size() > 2 && path[0] == '/' && path[2] == ':') path = path.substr(1);
  }
  if (!ReadWholeFile(NativePath(path, baseFolder), &out->body)) return *error = "cannot read " + path, 0;
  out->mimeType = MimeTypeOf(path);
  return 1;
}
