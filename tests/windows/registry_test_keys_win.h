// Direct registry access for tests: they set the stage and check the outcome
// without going through the code under test.
#pragma once

#include <windows.h>

#include <string>

namespace test_keys {

constexpr const wchar_t* kMain = L"SOFTWARE\\KOB\\Mervane";
constexpr const wchar_t* kLow = L"SOFTWARE\\AppDataLow\\Software\\KOB\\Mervane";

inline void Clear() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMain);
  RegDeleteTreeW(HKEY_CURRENT_USER, kMain);
  RegDeleteTreeW(HKEY_CURRENT_USER, kLow);
}

inline bool Exists(HKEY root, const wchar_t* path) {
  HKEY key;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline bool CreateKey(HKEY root, const wchar_t* path) {
  HKEY key;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

inline bool Put(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                DWORD size) {
  HKEY key;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

inline bool PutDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
  return Put(root, path, name, REG_DWORD, &value, sizeof value);
}

inline bool PutText(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
  return Put(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The value's type, or REG_NONE when missing; the DWORD or the text goes to the outputs.
inline DWORD Get(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* number, std::wstring* text) {
  wchar_t buffer[512] = {};
  DWORD type = REG_NONE, size = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(root, path, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size) != ERROR_SUCCESS) {
    return REG_NONE;
  }
  if (type == REG_DWORD && number) *number = *reinterpret_cast<DWORD*>(buffer);
  if (type == REG_SZ && text) *text = buffer;
  return type;
}

}  // namespace test_keys
