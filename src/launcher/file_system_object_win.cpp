#include "launcher/file_system_object_win.h"

// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include "platform/wide_text_win.h"

namespace {

// The object through IDispatch, released when it goes.
class Dispatch {
 public:
  Dispatch() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Scripting.FileSystemObject", &clsid))) return;
    void* object = nullptr;
    if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object))) {
      object_ = static_cast<IDispatch*>(object);
    }
  }
  ~Dispatch() {
    if (object_) object_->Release();
  }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  IDispatch* get() const { return object_; }

 private:
  IDispatch* object_ = nullptr;
};

}  // namespace

FileCheck FileSystemObjectFileExists(const std::u16string& name) {
  Dispatch fso;
  if (!fso.get()) return FileCheck::kFailed;
  LPOLESTR method = const_cast<LPOLESTR>(L"FileExists");
  DISPID id = 0;
  if (FAILED(fso.get()->GetIDsOfNames(IID_NULL, &method, 1, LOCALE_USER_DEFAULT, &id)))
    return FileCheck::kFailed;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = SysAllocString(AsWide(name));
  DISPPARAMS parameters = {&argument, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT called = fso.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result,
                                     nullptr, nullptr);
  VariantClear(&argument);
  FileCheck check = FileCheck::kFailed;
  if (SUCCEEDED(called) && result.vt == VT_BOOL)
    check = result.boolVal ? FileCheck::kExists : FileCheck::kMissing;
  VariantClear(&result);
  return check;
}
