// Untrusted page parameters and registry texts through viewer creation, then a
// script-supplied crop and the marks painted from it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/page_markup.h"
#include "analysis/paint_marks.h"
#include "common/text_format.h"
#include "viewer/library.h"
#include "viewer/settings.h"

namespace {

// Lines "name=value"; a line starting with "!" becomes a text setting instead.
void Split(std::u16string_view text, std::vector<std::u16string>* names, std::vector<std::u16string>* values,
           MemoryStore* store) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = text.substr(start, end - start);
    size_t equals = line.find(u'=');
    std::u16string name(line.substr(0, equals));
    std::u16string value(equals == std::u16string_view::npos ? u"" : line.substr(equals + 1));
    if (!name.empty() && name[0] == u'!') {
      store->Put(StoreRoot::kUser, kMainKeyPath, name.substr(1), TextValue(value));
    } else {
      names->push_back(name);
      values->push_back(value);
    }
    start = end + 1;
  }
}

// Coordinates over the whole 32-bit range, wrapped rather than overflowed.
int32_t Number(const std::vector<std::u16string>& values, size_t i, uint32_t spread = 1) {
  if (values.empty()) return 0;
  uint32_t base = static_cast<uint32_t>(values[i % values.size()].size()) * 37u - 100u;
  return static_cast<int32_t>(base * spread);
}

}  // namespace

// A page passes at most 100 short parameters; longer inputs add nothing but time.
constexpr size_t kInputMaximum = 4096;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kInputMaximum) size = kInputMaximum;
  std::u16string text = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  auto store = std::make_unique<MemoryStore>();
  std::vector<std::u16string> names, values;
  Split(text, &names, &values, store.get());
  StartLibrary(kLibraryPlugin, std::move(store));
  std::vector<const char16_t*> namePointers, valuePointers;
  for (size_t i = 0; i < names.size(); ++i) {
    namePointers.push_back(names[i].c_str());
    valuePointers.push_back(values[i].c_str());
  }
  ViewerInstance* viewer = nullptr;
  int32_t count = static_cast<int32_t>(names.size());
  if (CreateInstance(&viewer, count % 2 ? kModeFullPage : kModeEmbedded, nullptr, count, namePointers.data(),
                     valuePointers.data()) == kStatusDone) {
    viewer->download.document.ifds = {{8, 0, 0}, {16, 0, 1}};
    viewer->download.document.pageCount = 2;
    viewer->view.pageInfo.width = 1 + static_cast<uint32_t>(size % 300);
    viewer->view.pageInfo.height = 1 + static_cast<uint32_t>(size % 170);
    viewer->view.mainView.width = 50 + static_cast<int32_t>(size % 400);
    viewer->view.mainView.height = 40;
    viewer->view.mainView.orientation = viewer->settings.orientation;
    SetCropByPage(viewer, 1, Number(values, 0) % 3, Number(values, 1, 1000003), Number(values, 2),
                  Number(values, 3, 65537), Number(values, 4));
    AddWhiteout(viewer, {Number(values, 5), Number(values, 6), Number(values, 7, 999983), INT32_MIN});
    for (int32_t kind = kViewMain; kind <= kViewBurnedCopy; ++kind) {
      viewer->view.mainView.kind = kind;
      MarksToPaint(viewer, &viewer->view.mainView, viewer->download.currentDirectory, &viewer->view.pageInfo);
    }
    DestroyInstance(&viewer);
  }
  StopLibrary();
  return 0;
}
