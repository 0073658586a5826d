// A stand-in for the mail program's MAPI32.DLL: it records what the viewer
// handed over (one line, in the file named by MERVANE_MAPI_LOG) and answers
// success, so that a test sees exactly the message the user's program would.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct MapiFileDesc {
  ULONG reserved;
  ULONG flags;
  ULONG position;
  LPSTR pathName;
  LPSTR fileName;
  LPVOID fileType;
};
struct MapiMessage {
  ULONG reserved;
  LPSTR subject;
  LPSTR noteText;
  LPSTR messageType;
  LPSTR dateReceived;
  LPSTR conversationId;
  ULONG flags;
  LPVOID originator;
  ULONG recipientCount;
  LPVOID recipients;
  ULONG fileCount;
  MapiFileDesc* files;
};

std::string BaseName(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

// The attachment's folder: the start of its name, and how many folders of
// that kind the temporary folder holds now.
std::string FolderFacts(const char* path) {
  std::string folder(path);
  folder.resize(folder.rfind('\\'));
  const std::string name = BaseName(folder.c_str());
  int count = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder.substr(0, folder.rfind('\\')) + "\\mvtf*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  const bool exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
  return " folder=" + name.substr(0, 4) + " folders=" + std::to_string(count) +
         " exists=" + (exists ? "yes" : "no");
}

void Record(const std::string& line) {
  const char* log = std::getenv("MERVANE_MAPI_LOG");
  if (!log) return;
  if (FILE* f = std::fopen(log, "wb")) {
    std::fputs(line.c_str(), f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" ULONG WINAPI MAPISendMail(ULONG_PTR, ULONG_PTR parent, MapiMessage* message, ULONG flags, ULONG) {
  char head[128];
  std::snprintf(head, sizeof(head), "mail parent=%s flags=0x%lx attachments=%lu", parent ? "yes" : "no",
                flags, message->fileCount);
  std::string line = head;
  line += std::string(" subject=") + (message->subject ? message->subject : "");
  if (message->fileCount == 1) {
    const MapiFileDesc& file = message->files[0];
    line += " position=" + std::to_string(static_cast<long>(file.position)) + " name=" + file.fileName +
            " file=" + BaseName(file.pathName) + FolderFacts(file.pathName);
  }
  Record(line);
  return 0;
}

extern "C" ULONG WINAPI MAPISendDocuments(ULONG_PTR parent, LPSTR delimiter, LPSTR paths, LPSTR names,
                                          ULONG) {
  Record(std::string("documents parent=") + (parent ? "yes" : "no") + " delimiter=" + delimiter +
         " names=" + names + " file=" + BaseName(paths) + FolderFacts(paths));
  return 0;
}
