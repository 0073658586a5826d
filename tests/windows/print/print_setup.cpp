// Sets up the printers the printing tests print on, in the current Wine
// prefix: Wine's PostScript driver on ports that write to files. "Mervane
// Duplex" is the driver's generic printer (duplex, several trays) and becomes
// the default; "Mervane Simplex" has the same driver with a description that
// offers neither duplex nor trays.
//   print_setup add <duplex output file> <simplex output file>   (Unix paths)
//   print_setup remove
// Prints one line per printer: its name, DC_DUPLEX and DC_BINS.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kFolder[] = L"C:\\mervane-print";

struct TestPrinter {
  const wchar_t* name;
  const wchar_t* port;
  const wchar_t* ppd;
  bool simplex;
};
const TestPrinter kPrinters[] = {
    {L"Mervane Duplex", L"MRVDUPLEX:", L"C:\\mervane-print\\duplex.ppd", false},
    {L"Mervane Simplex", L"MRVSIMPLEX:", L"C:\\mervane-print\\simplex.ppd", true},
};

// The description Wine falls back to for any PostScript printer.
std::string GenericPpd() {
  HMODULE spooler = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = spooler ? FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(spooler, found)));
  const DWORD size = SizeofResource(spooler, found);
  std::string text(data, size);
  return text.substr(0, text.find('\0'));
}

// Without the duplex and input-slot groups the driver reports neither.
std::string WithoutDuplexAndTrays(const std::string& ppd) {
  std::string out, line;
  bool skipping = false;
  size_t start = 0;
  while (start < ppd.size()) {
    size_t end = ppd.find('\n', start);
    if (end == std::string::npos) end = ppd.size();
    line = ppd.substr(start, end - start);
    start = end + 1;
    const bool opens = line.rfind("*OpenUI *Duplex", 0) == 0 || line.rfind("*OpenUI *InputSlot", 0) == 0;
    if (opens) skipping = true;
    const bool stray = line.rfind("*DefaultDuplex", 0) == 0 || line.rfind("*DefaultInputSlot", 0) == 0 ||
                       line.rfind("*Duplex", 0) == 0 || line.rfind("*InputSlot", 0) == 0;
    if (!skipping && !stray) out += line + "\n";
    if (skipping && (line.rfind("*CloseUI: *Duplex", 0) == 0 || line.rfind("*CloseUI: *InputSlot", 0) == 0))
      skipping = false;
  }
  return out;
}

bool WriteFileText(const wchar_t* path, const std::string& text) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

bool MapPort(const wchar_t* port, const std::wstring& unixPath) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = RegSetValueExW(key, port, 0, REG_SZ, reinterpret_cast<const BYTE*>(unixPath.c_str()),
                                     static_cast<DWORD>((unixPath.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool AddOne(const TestPrinter& printer, const std::string& ppd) {
  if (!WriteFileText(printer.ppd, ppd)) return false;
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(printer.name);
  driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDataFile = const_cast<wchar_t*>(printer.ppd);
  driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                           APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
    return false;
  PRINTER_INFO_2W info{};
  info.pPrinterName = info.pDriverName = const_cast<wchar_t*>(printer.name);
  info.pPortName = const_cast<wchar_t*>(printer.port);
  // The "wineps" processor refuses raw data, and then EndDoc fails.
  info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  info.pParameters = info.pShareName = info.pSepFile = const_cast<wchar_t*>(L"");
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (added) {
    ClosePrinter(added);
    return true;
  }
  return GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
}

void RemoveOne(const TestPrinter& printer) {
  HANDLE handle = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(const_cast<wchar_t*>(printer.name), &handle, &access)) return;
  DeletePrinter(handle);
  ClosePrinter(handle);
}

void Describe() {
  for (const TestPrinter& printer : kPrinters) {
    const int duplex = DeviceCapabilitiesW(printer.name, printer.port, DC_DUPLEX, nullptr, nullptr);
    const int bins = DeviceCapabilitiesW(printer.name, printer.port, DC_BINS, nullptr, nullptr);
    printf("%ls duplex=%d bins=%d\n", printer.name, duplex, bins);
  }
}

std::wstring Widen(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "remove") {
    for (const TestPrinter& printer : kPrinters) RemoveOne(printer);
    return 0;
  }
  if (command != "add" || argc != 4) {
    fprintf(stderr, "usage: print_setup add <duplex file> <simplex file> | remove\n");
    return 2;
  }
  CreateDirectoryW(kFolder, nullptr);
  const std::string generic = GenericPpd();
  if (generic.empty()) {
    fprintf(stderr, "no PostScript printer description in winspool.drv\n");
    return 1;
  }
  const std::string ppds[] = {generic, WithoutDuplexAndTrays(generic)};
  for (int i = 0; i < 2; ++i) {
    if (!MapPort(kPrinters[i].port, Widen(argv[2 + i])) || !AddOne(kPrinters[i], ppds[i])) {
      fprintf(stderr, "could not add %ls (error %lu)\n", kPrinters[i].name, GetLastError());
      return 1;
    }
  }
  if (!SetDefaultPrinterW(kPrinters[0].name)) {
    fprintf(stderr, "could not make %ls the default printer\n", kPrinters[0].name);
    return 1;
  }
  Describe();
  return 0;
}
