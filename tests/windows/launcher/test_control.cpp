// A stand-in for the viewer's ActiveX control, which is not ours: a 32-bit
// DLL that registers itself as a COM class the way controls do, so that the
// launcher's copy and regsvr32 run can be seen in the registry.
#include <windows.h>

namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{6D2A51E0-3C1B-4E7A-9F11-4D4552564E31}";
HMODULE g_module = nullptr;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = module;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(g_module, path, MAX_PATH);
  HKEY key = nullptr;
  const wchar_t* server = L"Software\\Classes\\CLSID\\{6D2A51E0-3C1B-4E7A-9F11-4D4552564E31}\\InprocServer32";
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, server, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return E_FAIL;
  }
  LONG set = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                            static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
  return S_OK;
}
