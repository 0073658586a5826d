#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin/script_methods.h"
#include "plugin_test_browser.h"
#include "tiff_fixture.h"

namespace {

// Three pages of different sizes; the first is all ink and the second all
// paper, so that a blank-page score tells them apart.
std::vector<uint8_t> ThreePages() {
  std::vector<TestPage> pages(3);
  const uint32_t widths[] = {20, 30, 40};
  const uint8_t grey[] = {0x00, 0xFF, 0x80};
  for (int i = 0; i < 3; ++i) {
    pages[i].width = widths[i];
    pages[i].height = 10;
    pages[i].rows.assign(1, std::vector<std::vector<uint8_t>>(10, std::vector<uint8_t>(widths[i], grey[i])));
  }
  return WriteTestTiffPages(pages);
}

NPVariant Int(int32_t v) {
  NPVariant n{};
  n.type = NPVariantType_Int32;
  n.value.intValue = v;
  return n;
}
NPVariant Dbl(double v) {
  NPVariant n{};
  n.type = NPVariantType_Double;
  n.value.doubleValue = v;
  return n;
}
NPVariant Bool(bool v) {
  NPVariant n{};
  n.type = NPVariantType_Bool;
  n.value.boolValue = v;
  return n;
}
NPVariant Typed(NPVariantType type) {
  NPVariant n{};
  n.type = type;
  return n;
}
// Points into `text`, which must outlive the variant.
NPVariant Str(const std::string& text) {
  NPVariant n{};
  n.type = NPVariantType_String;
  n.value.stringValue.UTF8Characters = text.data();
  n.value.stringValue.UTF8Length = static_cast<uint32_t>(text.size());
  return n;
}

struct Answer {
  bool ok = false;
  HostValue value;
};

class ScriptObject : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* name : {"mvtf_OnPageChange", "mvtf_OnOrientationChange", "mvtf_OnNegativeChange",
                             "mvtf_OnSizeModeChange", "mvtf_OnPrintComplete", "mvtf_OnMouseModeChange"}) {
      DefineFunction(name);
    }
  }
  void TearDown() override {
    if (object_) browser_.releaseobject(object_);
    PluginTest::TearDown();
  }

  void Open(std::vector<std::pair<std::string, std::string>> attributes = {}) {
    attributes.insert(attributes.begin(), {{"id", "v"}, {"enableevents", "16383"}});
    ASSERT_EQ(Embed(attributes), NPERR_NO_ERROR);
    ASSERT_EQ(NPP_GetValue(&npp_, NPPVpluginScriptableNPObject, &object_), NPERR_NO_ERROR);
    ASSERT_NE(object_, nullptr);
  }

  void Load() {
    std::vector<uint8_t> tiff = ThreePages();
    NPStream stream{};
    char url[] = "http://127.0.0.1/three.tif";
    stream.url = url;
    stream.end = static_cast<uint32_t>(tiff.size());
    uint16_t stype = 0;
    char mime[] = "image/tiff";
    ASSERT_EQ(NPP_NewStream(&npp_, mime, &stream, 0, &stype), NPERR_NO_ERROR);
    ASSERT_EQ(NPP_Write(&npp_, &stream, 0, static_cast<int32_t>(tiff.size()), tiff.data()),
              static_cast<int32_t>(tiff.size()));
    ASSERT_EQ(NPP_DestroyStream(&npp_, &stream, NPRES_DONE), NPERR_NO_ERROR);
    Host().calls.clear();
  }

  Answer Call(const char* method, std::vector<NPVariant> args = {}) {
    NPVariant result{};
    result.type = NPVariantType_Bool;  // shows whether the object wrote a result
    Answer answer;
    answer.ok = browser_.invoke(&npp_, object_, HostIdentifier(method), args.data(),
                                static_cast<uint32_t>(args.size()), &result);
    answer.value = ValueOf(result);
    browser_.releasevariantvalue(&result);
    return answer;
  }
  int32_t CallInt(const char* method, std::vector<NPVariant> args = {}) {
    const Answer answer = Call(method, std::move(args));
    EXPECT_TRUE(answer.ok) << method;
    EXPECT_EQ(answer.value.type, NPVariantType_Int32) << method;
    return answer.value.intValue;
  }
  std::string CallText(const char* method, std::vector<NPVariant> args = {}) {
    const Answer answer = Call(method, std::move(args));
    EXPECT_TRUE(answer.ok) << method;
    EXPECT_EQ(answer.value.type, NPVariantType_String) << method;
    return answer.value.text;
  }
  ViewerInstance* Viewer() { return static_cast<ViewerInstance*>(npp_.pdata); }

  NPObject* object_ = nullptr;
};

TEST(ScriptConversion, NumbersFromEveryKindOfValue) {
  const std::string twelve = "12abc", letters = "abc", blanks = "  -42", huge = "99999999999";
  const std::string tooLong(kScriptTextLimit + 1, '7');
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    NPVariant value;
    int32_t expected;
  } cases[] = {
      {Bool(true), 1},
      {Bool(false), 0},
      {Int(-7), -7},
      {Int(INT32_MIN), INT32_MIN},
      {Dbl(2.9999999999), 3},
      {Dbl(2.5), 2},
      {Dbl(-1.5), -1},
      {Dbl(std::nan("")), 0},
      {Dbl(inf), INT32_MAX},
      {Dbl(-inf), INT32_MIN},
      {Dbl(1e300), INT32_MAX},
      {Str(twelve), 12},
      {Str(letters), 0},
      {Str(blanks), -42},
      {Str(huge), INT32_MAX},
      {Str(tooLong), 0},
      {Typed(NPVariantType_Null), 0},
      {Typed(NPVariantType_Void), 0},
      {Typed(NPVariantType_Object), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptInteger(c.value), c.expected) << ValueToJson(ValueOf(c.value)).substr(0, 40);
  }
}

TEST(ScriptConversion, TextsAreStringsOnlyAndLongOnesAbsent) {
  bool absent = true;
  const std::string word = "caf\xC3\xA9";
  EXPECT_EQ(ScriptText(Str(word), &absent), std::u16string(u"caf\u00E9"));
  EXPECT_FALSE(absent);
  EXPECT_FALSE(ScriptText(Int(5), &absent).has_value());
  const std::string tooLong(kScriptTextLimit + 1, 'a');
  ASSERT_TRUE(ScriptText(Str(tooLong), &absent).has_value());
  EXPECT_TRUE(absent);
}

TEST_F(ScriptObject, MethodsAreFoundByNameWithTheirArgumentCounts) {
  Open();
  EXPECT_EQ(FindScriptMethod("GoToPage"), 6);
  EXPECT_EQ(FindScriptMethod("DeleteUploadParam"), 27);
  EXPECT_EQ(FindScriptMethod("gotopage"), -1) << "names are case-sensitive";
  for (const ScriptMethod& method : kScriptMethods) {
    EXPECT_TRUE(browser_.hasmethod(&npp_, object_, HostIdentifier(method.name))) << method.name;
    std::vector<NPVariant> args(method.argCount, Int(0));
    std::vector<NPVariant> tooMany(method.argCount + 1, Int(0));
    EXPECT_TRUE(Call(method.name, args).ok) << method.name;
    EXPECT_FALSE(Call(method.name, tooMany).ok) << method.name;
  }
  EXPECT_FALSE(browser_.hasmethod(&npp_, object_, HostIdentifier("Foo")));
  EXPECT_FALSE(Call("Foo").ok);
  EXPECT_FALSE(Call("Zoom", {Int(1), Int(2)}).ok) << "Zoom(1, 2) is a script error";

  NPIdentifier* ids = nullptr;
  uint32_t count = 0;
  ASSERT_TRUE(browser_.enumerate(&npp_, object_, &ids, &count));
  ASSERT_EQ(count, 28u);
  for (uint32_t i = 0; i < count; ++i) EXPECT_EQ(IdentifierName(ids[i]), kScriptMethods[i].name);
  browser_.memfree(ids);
}

TEST_F(ScriptObject, TheObjectIsCachedAndOutlivesItsInstance) {
  Open();
  NPObject* again = nullptr;
  ASSERT_EQ(NPP_GetValue(&npp_, NPPVpluginScriptableNPObject, &again), NPERR_NO_ERROR);
  EXPECT_EQ(again, object_);
  EXPECT_EQ(ReferenceCount(object_), 2u);
  browser_.releaseobject(again);
  ASSERT_EQ(NPP_Destroy(&npp_, nullptr), NPERR_NO_ERROR);
  EXPECT_FALSE(Call("GetVersion", {Int(0)}).ok);
  NPIdentifier* ids = nullptr;
  uint32_t count = 0;
  EXPECT_FALSE(browser_.enumerate(&npp_, object_, &ids, &count));
  browser_.releaseobject(object_);
  object_ = nullptr;
  EXPECT_TRUE(Host().liveObjects.count(again) == 0) << "the last release frees the object";
}

TEST_F(ScriptObject, ASecondInitializeKeepsTheClassItsObjectsUse) {
  Open();
  const NPClass* before = ScriptClass();
  ASSERT_EQ(InitializePlugin(&browser_), NPERR_NO_ERROR);
  EXPECT_EQ(ScriptClass(), before);
  EXPECT_EQ(CallInt("GetVersion", {Int(2)}), 64);
}

TEST_F(ScriptObject, AClosedGateAnswersZeroToEveryCall) {
  Open({{"access", "256"}});
  Load();
  for (const ScriptMethod& method : kScriptMethods) {
    std::vector<NPVariant> args(method.argCount, Int(2));
    const Answer answer = Call(method.name, args);
    EXPECT_TRUE(answer.ok) << method.name;
    EXPECT_EQ(answer.value.type, NPVariantType_Int32) << method.name;
    EXPECT_EQ(answer.value.intValue, 0) << method.name;
  }
  EXPECT_TRUE(Call("Foo").ok) << "the page cannot tell methods apart";
  EXPECT_EQ(Viewer()->download.currentPage, 0);
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(ScriptObject, VersionAndStateCodes) {
  Open();
  const struct {
    const char* method;
    int32_t code;
    int32_t expected;
  } before[] = {{"GetVersion", 0, 2000801}, {"GetVersion", 1, 1}, {"GetVersion", 2, 64},
                {"GetVersion", 3, 1},       {"GetVersion", 4, 0}, {"GetVersion", -1, 0},
                {"GetState", 0, 1},         {"GetState", 1, 0},   {"GetState", 2, 0},
                {"GetState", 3, 1},         {"GetState", 9, 0}};
  for (const auto& c : before) EXPECT_EQ(CallInt(c.method, {Int(c.code)}), c.expected) << c.method << c.code;
  Load();
  EXPECT_EQ(CallInt("GetState", {Int(1)}), 3);
  EXPECT_EQ(CallInt("GetState", {Int(2)}), 1);
}

TEST_F(ScriptObject, PagesMoveWithinTheDocument) {
  Open();
  EXPECT_EQ(CallInt("GoToPage", {Int(2)}), 0) << "nothing loaded";
  EXPECT_EQ(CallInt("GetNumberOfPages"), 0);
  Load();
  const struct {
    const char* method;
    NPVariant arg;
    int32_t expected;
    size_t events;
  } steps[] = {
      {"GoToPage", Int(0), 1, 0},
      {"GoToPage", Int(999), 3, 1},
      {"GoToPageSpecial", Int(4), 0, 0},
      {"GoToPageSpecial", Int(3), 2, 1},
      {"GoToPage", Int(INT32_MIN), 1, 1},
      {"GoToPageSpecial", Int(1), 1, 0},
      {"GoToPageSpecial", Int(2), 3, 1},
      {"GoToPageSpecial", Int(9), 0, 0},
      {"GoToPage", Dbl(1.9999999999), 2, 1},
      {"GoToPage", Int(INT32_MAX), 3, 1},
  };
  for (const auto& s : steps) {
    Host().calls.clear();
    EXPECT_EQ(CallInt(s.method, {s.arg}), s.expected) << s.method << " " << ValueToJson(ValueOf(s.arg));
    EXPECT_EQ(Host().calls.size(), s.events) << s.method << " " << ValueToJson(ValueOf(s.arg));
  }
  EXPECT_EQ(CallInt("GetCurrentPage"), 3);
  EXPECT_EQ(CallInt("GetNumberOfPages"), 3);
  EXPECT_EQ(CallInt("GetValue", {Int(9)}), 40) << "the width of the page shown";
}

TEST_F(ScriptObject, ValueCodesChangeTheViewAndTellThePage) {
  Open();
  Load();
  const struct {
    int32_t code, value, result, after;
    const char* event;  // the one page call expected, or null
  } steps[] = {
      {1, 1, 0, 1, nullptr},
      {1, 5, 1, 2, "mvtf_OnOrientationChange"},
      {1, 5, 1, 3, "mvtf_OnOrientationChange"},
      {1, 5, 1, 4, "mvtf_OnOrientationChange"},
      {1, 5, 1, 1, "mvtf_OnOrientationChange"},
      {1, 6, 1, 4, "mvtf_OnOrientationChange"},
      {1, 7, 1, 2, "mvtf_OnOrientationChange"},
      {1, 1, 1, 1, "mvtf_OnOrientationChange"},
      {1, 8, 0, 1, nullptr},
      {3, 2, 1, 1, nullptr},
      {3, 0, 1, 0, nullptr},
      {2, 2, 1, 1, "mvtf_OnNegativeChange"},
      {2, 1, 1, 1, nullptr},
      {2, 0, 1, 0, "mvtf_OnNegativeChange"},
      {4, 1, 1, 1, "mvtf_OnMouseModeChange"},
      {4, 7, 1, 1, nullptr},
      {5, 3, 1, 3, "mvtf_OnSizeModeChange"},
      {5, 4, 1, 3, nullptr},
      {6, 200, 1, 200, "mvtf_OnSizeModeChange"},
      {6, 0, 1, 200, nullptr},
      {20, 4, 1, 4, nullptr},
      {25, 2, 1, 2, nullptr},
      {24, 5, 0, 1, nullptr},
      {41, 1, 0, 0, nullptr},
      {9, 5, 0, 20, nullptr},
      {77, 5, 0, 0, nullptr},
  };
  for (const auto& s : steps) {
    Host().calls.clear();
    EXPECT_EQ(CallInt("SetValue", {Int(s.code), Int(s.value)}), s.result) << s.code << "," << s.value;
    EXPECT_EQ(CallInt("GetValue", {Int(s.code)}), s.after) << s.code << "," << s.value;
    EXPECT_EQ(CalledFunctions(), s.event ? std::vector<std::string>{s.event} : std::vector<std::string>{})
        << s.code << "," << s.value;
    if (s.code == 20) {
      // Only page changes are told from now on.
      EXPECT_EQ(CallInt("SetValue", {Int(20), Int(16383)}), 1);
    }
  }
  EXPECT_EQ(CallInt("GetValue", {Int(5)}), 3) << "a zoom level leaves the size mode";
}

TEST_F(ScriptObject, TextCodes) {
  Open({{"bgcolor", "#010203"}});
  const std::string tooLong(2048, 'a');
  const struct {
    int32_t code;
    std::string text;
    int32_t result;
    const char* after;
  } steps[] = {
      {19, "#102030", 1, "#102030"},
      {19, "red", 0, "#102030"},
      {19, "", 1, "#404040"},
      {19, "#AbCdEf", 1, "#abcdef"},
      {19, tooLong, 0, "#abcdef"},
      {21, "http://127.0.0.1/up load#x", 1, "http://127.0.0.1/up_load_x"},
      {22, "field\"name", 1, "field_name"},
      {23, "a b.tif", 1, "a b.tif"},
      {31, "#ff0000", 1, "#ff0000"},
      {31, "", 0, "#ff0000"},
      {40, "x", 0, ""},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(CallInt("SetValueString", {Int(s.code), Str(s.text)}), s.result)
        << s.code << s.text.substr(0, 9);
    EXPECT_EQ(CallText("GetValueString", {Int(s.code)}), s.after) << s.code << s.text.substr(0, 9);
  }
  EXPECT_EQ(CallInt("SetValueString", {Int(19), Int(5)}), 0) << "a text argument must be a string";
  EXPECT_EQ(Viewer()->params.backgroundFollowsSetting, 0) << "the script's colour is the page's own";
  CallInt("SetValueString", {Int(19), Str("")});
  EXPECT_EQ(Viewer()->params.backgroundFollowsSetting, 1);
}

TEST_F(ScriptObject, UploadParametersAreCleanedCountedAndRemoved) {
  Open();
  const std::string amp = "a&b c", value = "1", other = "2", empty;
  EXPECT_EQ(CallInt("AddUploadParam", {Str(amp), Str(value)}), 1);
  EXPECT_EQ(CallInt("AddUploadParam", {Str(amp), Str(other)}), 1);
  EXPECT_EQ(CallInt("AddUploadParam", {Str(empty), Str(other)}), 1);
  EXPECT_EQ(CallInt("AddUploadParam", {Int(1), Str(other)}), 0);
  ASSERT_EQ(Viewer()->upload.formFields.size(), 1u);
  EXPECT_EQ(Viewer()->upload.formFields[0].name, u"a_b c");
  EXPECT_EQ(Viewer()->upload.formFields[0].value, u"1") << "an existing pair is not replaced";
  for (int i = 1; i < 64; ++i) {
    // Appended rather than concatenated: GCC 12 warns falsely about `"n" + std::string` at -O3.
    std::string name = "n";
    name += std::to_string(i);
    EXPECT_EQ(CallInt("AddUploadParam", {Str(name), Str(value)}), 1) << i;
  }
  const std::string last = "n64";
  EXPECT_EQ(CallInt("AddUploadParam", {Str(last), Str(value)}), 0) << "64 pairs at most";
  const std::string cleaned = "a_b c";
  EXPECT_EQ(CallInt("DeleteUploadParam", {Str(amp)}), 0) << "removal compares the stored name";
  EXPECT_EQ(CallInt("DeleteUploadParam", {Str(cleaned)}), 1);
  EXPECT_EQ(Viewer()->upload.formFields.size(), 63u);
}

TEST_F(ScriptObject, UploadParametersRefusedUnderTheUploadRestriction) {
  Open({{"access", "16384"}});
  const std::string name = "n", value = "v";
  EXPECT_EQ(CallInt("AddUploadParam", {Str(name), Str(value)}), 0);
  EXPECT_TRUE(Viewer()->upload.formFields.empty());
}

TEST_F(ScriptObject, LoadImageEmptiesRefusesOrRequests) {
  std::vector<std::pair<std::string, std::string>> requests;
  NPError answer = NPERR_NO_ERROR;
  Host().getUrl = [&](NPP, const char* url, const char* target) {
    requests.emplace_back(url, target ? target : "(null)");
    return answer;
  };
  Open();
  Load();
  const std::string empty, local = "file:///c:/secret.txt", remote = "http://127.0.0.1/next.tif";
  EXPECT_EQ(CallInt("LoadImage", {Int(5), Int(1), Int(0)}), 0) << "the address must be a string";
  EXPECT_EQ(CallInt("GetNumberOfPages"), 3);
  EXPECT_EQ(CallInt("LoadImage", {Str(empty), Int(1), Int(0)}), 1);
  EXPECT_EQ(CallInt("GetNumberOfPages"), 0);
  EXPECT_EQ(CallInt("GetState", {Int(1)}), 0);

  EXPECT_EQ(CallInt("LoadImage", {Str(local), Int(1), Int(0)}), 0);
  EXPECT_NE(Utf16ToUtf8(TextOf(&Viewer()->logs.documentLog.text)).find("Remote access to local"),
            std::string::npos);
  EXPECT_TRUE(requests.empty());

  answer = NPERR_GENERIC_ERROR;
  EXPECT_EQ(CallInt("LoadImage", {Str(remote), Int(2), Int(0)}), 0);
  EXPECT_NE(Utf16ToUtf8(TextOf(&Viewer()->logs.documentLog.text))
                .find("Failed to start download (error code=1, Generic error)."),
            std::string::npos);
  EXPECT_EQ(CallInt("GetState", {Int(1)}), 0);

  answer = NPERR_NO_ERROR;
  EXPECT_EQ(CallInt("LoadImage", {Str(remote), Int(INT32_MIN), Int(0)}), 1);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests.back(), std::make_pair(remote, std::string("(null)")));
  EXPECT_EQ(CallInt("GetState", {Int(1)}), 1) << "a download is awaited";
}

TEST_F(ScriptObject, BlankPageScoreBelongsToThePageItWasMeasuredOn) {
  Open();
  Load();
  Answer first = Call("DetectBlankPage");
  ASSERT_EQ(first.value.type, NPVariantType_Double);
  EXPECT_DOUBLE_EQ(first.value.doubleValue, 1.0) << "the first page is all ink";
  EXPECT_EQ(CallInt("GoToPage", {Int(2)}), 2);
  EXPECT_DOUBLE_EQ(Call("DetectBlankPage").value.doubleValue, 0.0);
  const Answer scan = Call("DetectBarcodes", {Int(0), Int(0), Int(0), Int(0)});
  EXPECT_EQ(scan.value.type, NPVariantType_Void);
  EXPECT_EQ(CallText("GetBarcode"), "") << "no symbol on a blank page";
}

TEST_F(ScriptObject, CropSelectionByPageAndItsRestriction) {
  Open();
  Load();
  EXPECT_EQ(CallInt("SetCropSelect", {Int(1), Int(INT32_MIN), Int(1), Int(1), Int(3), Int(3)}), 1);
  EXPECT_EQ(CallInt("SetCropSelect", {Int(1), Int(2), Int(1), Int(2), Int(3), Int(4)}), 1);
  const PageMarkup* markup = FindMarkup(Viewer(), 1);
  ASSERT_NE(markup, nullptr);
  EXPECT_TRUE(markup->cropActive);
  EXPECT_EQ(markup->crop.right, 3);
  EXPECT_EQ(markup->crop.bottom, 5);
  EXPECT_TRUE(Host().calls.empty()) << "a script's crop fires nothing";
  EXPECT_EQ(CallInt("SetCropSelect", {Int(0), Int(2), Int(0), Int(0), Int(0), Int(0)}), 1);
  EXPECT_FALSE(FindMarkup(Viewer(), 1)->cropActive);
}

TEST_F(ScriptObject, PrintWithoutPrinterTellsThePageNothingWasPrinted) {
  Open();
  Load();
  EXPECT_EQ(CallInt("Print", {Int(1)}), 0);
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Host().calls[0].function, "mvtf_OnPrintComplete");
  EXPECT_EQ(ValueToJson(Host().calls[0].args[1]), "0");
  EXPECT_EQ(CallInt("ClearAnnotations", {Int(1), Int(1)}), 1);
  EXPECT_EQ(CallInt("Upload", {Int(1), Int(0)}), 0);
}

}  // namespace
