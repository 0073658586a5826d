// A page's scripts calling the viewer's script object over a loaded
// three-page document: each input is a sequence of calls (method, argument
// count, each argument's type and value), with the instance destroyed at a
// chosen point so that later calls meet an object without instance.
//
// Input: byte 0 chooses the restrictions and the call after which the
// instance is destroyed; then per call a method byte (28 and above: a name
// that is not a method), an argument count byte, and per argument a type byte
// followed by its value: 4 bytes of Int32, 8 raw bytes of Double (NaN and the
// infinities among them), a length byte and that many bytes of String (any
// bytes, invalid UTF-8 too), or 3 bytes of length and one fill byte for a long
// String of up to 2 MB, which a short input can then still reach.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "plugin/entry_points.h"
#include "plugin/npapi.h"
#include "plugin/plugin_callbacks.h"
#include "plugin/script_methods.h"
#include "tools/nphost/host_runtime.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  void Bytes(void* out, size_t n) {
    std::memset(out, 0, n);
    const size_t take = Take(n);
    if (take) std::memcpy(out, data_ + at_ - take, take);
  }
  std::string Text(size_t n) {
    const size_t take = Take(n);
    return std::string(reinterpret_cast<const char*>(data_ + at_ - take), take);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;

  size_t Take(size_t n) {
    const size_t left = at_ < size_ ? size_ - at_ : 0;
    const size_t take = n < left ? n : left;
    at_ += take;
    return take;
  }
};

void Put16(std::vector<uint8_t>* b, uint32_t v) {
  b->push_back(v & 0xFF);
  b->push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>* b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// An uncompressed little-endian page: bilevel with stripes (what the barcode
// and mark readers look at) or 8-bit grey.
struct PageSpec {
  uint32_t width, height, bits;
};

std::vector<uint8_t> ThreePageDocument() {
  const PageSpec pages[3] = {{96, 24, 1}, {32, 20, 8}, {24, 40, 8}};
  std::vector<uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0};
  for (int p = 0; p < 3; ++p) {
    const PageSpec& page = pages[p];
    const uint32_t rowBytes = (page.width * page.bits + 7) / 8;
    const uint32_t dataSize = rowBytes * page.height;
    const uint32_t ifdSize = 2 + 9 * 12 + 4;
    const uint32_t ifdAt = static_cast<uint32_t>(b.size());
    const uint32_t dataAt = ifdAt + ifdSize;
    const uint32_t nextAt = p < 2 ? dataAt + dataSize : 0;
    const uint32_t entries[9][3] = {{256, 4, page.width}, {257, 4, page.height}, {258, 3, page.bits},
                                    {259, 3, 1},          {262, 3, 1},           {273, 4, dataAt},
                                    {277, 3, 1},          {278, 4, page.height}, {279, 4, dataSize}};
    Put16(&b, 9);
    for (const auto& e : entries) {
      Put16(&b, e[0]);
      Put16(&b, e[1]);
      Put32(&b, 1);
      if (e[1] == 3) {
        Put16(&b, e[2]);
        Put16(&b, 0);
      } else {
        Put32(&b, e[2]);
      }
    }
    Put32(&b, nextAt);
    for (uint32_t y = 0; y < page.height; ++y) {
      for (uint32_t x = 0; x < rowBytes; ++x)
        b.push_back(static_cast<uint8_t>(page.bits == 1 ? (x % 3 ? 0xF0 : 0x0F) : x * 8 + y));
    }
  }
  return b;
}

const std::vector<uint8_t>& Document() {
  static const std::vector<uint8_t> document = ThreePageDocument();
  return document;
}

NPNetscapeFuncs g_browser;
NPPluginFuncs g_plugin;

bool Start() {
  SetMessageBoxHook([](void*, const std::u16string&, const std::u16string&, uint32_t) { return 1; });
  ResetHost();
  FillBrowserTable(&g_browser, sizeof g_browser, 27);
  if (InitializePlugin(&g_browser) != NPERR_NO_ERROR) return false;
  g_plugin.size = sizeof g_plugin;
  return FillEntryPoints(&g_plugin) == NPERR_NO_ERROR;
}

bool Embed(NPP_t* npp, uint8_t flags) {
  // Some runs close the scripting gate or take the marks and upload away.
  static const char* const kAccess[] = {"0", "256", "2048", "16384"};
  std::string names[] = {"id", "enableevents", "access"};
  std::string values[] = {"v", "16383", kAccess[flags & 3]};
  char* argn[] = {names[0].data(), names[1].data(), names[2].data()};
  char* argv[] = {values[0].data(), values[1].data(), values[2].data()};
  char type[] = "image/tiff";
  if (NPP_New(type, npp, NP_EMBED, 3, argn, argv, nullptr) != NPERR_NO_ERROR) return false;
  NPStream stream{};
  char url[] = "http://127.0.0.1/three.tif";
  stream.url = url;
  stream.end = static_cast<uint32_t>(Document().size());
  uint16_t stype = 0;
  if (NPP_NewStream(npp, type, &stream, 0, &stype) != NPERR_NO_ERROR) return true;
  std::vector<uint8_t> bytes = Document();
  NPP_Write(npp, &stream, 0, static_cast<int32_t>(bytes.size()), bytes.data());
  NPP_DestroyStream(npp, &stream, NPRES_DONE);
  return true;
}

constexpr int kMaximumCalls = 48;
constexpr uint32_t kLongestString = 0x200000;

// One argument; strings are kept in `texts` for the call's lifetime.
NPVariant ReadArgument(Reader* in, std::vector<std::string>* texts, int* longStrings) {
  NPVariant arg{};
  switch (in->Byte() % 8) {
    case 0:
      arg.type = NPVariantType_Void;
      break;
    case 1:
      arg.type = NPVariantType_Null;
      break;
    case 2:
      arg.type = NPVariantType_Bool;
      arg.value.boolValue = in->Byte() & 1;
      break;
    case 3:
      arg.type = NPVariantType_Int32;
      in->Bytes(&arg.value.intValue, 4);
      break;
    case 4:
      arg.type = NPVariantType_Double;
      in->Bytes(&arg.value.doubleValue, 8);
      break;
    case 5:
      texts->push_back(in->Text(in->Byte()));
      break;
    case 6:
      arg.type = NPVariantType_Object;
      arg.value.objectValue = Host().windowObject;
      break;
    default: {
      uint8_t length[3];
      in->Bytes(length, 3);
      const uint32_t n = (length[0] | length[1] << 8 | length[2] << 16) % (kLongestString + 1);
      const char fill = static_cast<char>(in->Byte());
      // Two long texts per input keep a run fast; the rest are short.
      texts->push_back(std::string((*longStrings)++ < 2 ? n : n % 4096, fill));
      break;
    }
  }
  return arg;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = Start();
  if (!started || size == 0) return 0;
  Reader in(data, size);
  const uint8_t flags = in.Byte();
  const int destroyAfter = flags >> 2;  // 0 to 63: beyond the last call means never
  OpenPage();
  NPP_t npp{};
  NPObject* object = nullptr;
  if (Embed(&npp, flags) && NPP_GetValue(&npp, NPPVpluginScriptableNPObject, &object) == NPERR_NO_ERROR) {
    int longStrings = 0;
    for (int call = 0; call < kMaximumCalls && !in.Empty(); ++call) {
      if (call == destroyAfter && npp.pdata) NPP_Destroy(&npp, nullptr);
      const uint8_t method = in.Byte() % (kScriptMethodCount + 1);
      const uint32_t count = in.Byte() % 8;
      std::vector<std::string> texts;
      texts.reserve(count);
      std::vector<NPVariant> args;
      for (uint32_t i = 0; i < count; ++i) {
        const size_t before = texts.size();
        NPVariant arg = ReadArgument(&in, &texts, &longStrings);
        if (texts.size() > before) {
          arg.type = NPVariantType_String;
          arg.value.stringValue.UTF8Characters = texts.back().data();
          arg.value.stringValue.UTF8Length = static_cast<uint32_t>(texts.back().size());
        }
        args.push_back(arg);
      }
      const char* name = method < kScriptMethodCount ? kScriptMethods[method].name : "NotAMethod";
      NPVariant result{};
      if (g_browser.invoke(&npp, object, HostIdentifier(name), args.data(), count, &result)) {
        g_browser.releasevariantvalue(&result);
      }
    }
    g_browser.releaseobject(object);
  }
  if (npp.pdata) NPP_Destroy(&npp, nullptr);
  ClosePage();
  return 0;
}
