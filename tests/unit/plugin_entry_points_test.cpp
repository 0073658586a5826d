#include <cstring>

#include "plugin/browser_services.h"
#include "plugin/np_error_name.h"
#include "plugin_test_browser.h"

namespace {

TEST(NpErrorName, NamesEveryCodeAndTakesTheSigned16BitValue) {
  EXPECT_STREQ(NpErrorName(0), "No error");
  EXPECT_STREQ(NpErrorName(5), "Out of memory");
  EXPECT_STREQ(NpErrorName(9), "Invalid param");
  EXPECT_STREQ(NpErrorName(13), "Stream not seekable");
  EXPECT_STREQ(NpErrorName(14), "Unrecognized error code");
  EXPECT_STREQ(NpErrorName(-1), "Unrecognized error code");
  EXPECT_STREQ(NpErrorName(0x10002), "Invalid instance");
}

TEST(EntryPoints, SmallTableGetsTheTenStreamAndWindowCallbacksOnly) {
  NPPluginFuncs table;
  std::memset(&table, 0xA5, sizeof table);
  table.size = 59;
  ASSERT_EQ(FillEntryPoints(&table), NPERR_NO_ERROR);
  EXPECT_EQ(table.size, 59) << "the size is the browser's";
  EXPECT_EQ(table.version, kPluginApiVersion);
  EXPECT_EQ(table.newp, &NPP_New);
  EXPECT_EQ(table.event, &NPP_HandleEvent);
  NPPluginFuncs untouched;
  std::memset(&untouched, 0xA5, sizeof untouched);
  EXPECT_EQ(std::memcmp(&table.urlnotify, &untouched.urlnotify,
                        offsetof(NPPluginFuncs, gotfocus) - offsetof(NPPluginFuncs, urlnotify)),
            0);

  table.size = 60;
  ASSERT_EQ(FillEntryPoints(&table), NPERR_NO_ERROR);
  EXPECT_EQ(table.getvalue, &NPP_GetValue);
  EXPECT_EQ(table.setvalue, &NPP_SetValue);
  EXPECT_EQ(table.javaClass, nullptr);
  EXPECT_EQ(FillEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
}

TEST(EntryPoints, BrowserTableIsCopiedUpToEnumerateOnly) {
  NPNetscapeFuncs full;
  FillBrowserTable(&full, 448, 27);
  full.pluginthreadasynccall = reinterpret_cast<NPN_PluginThreadAsyncCallProcPtr>(&full);
  ASSERT_EQ(InitializePlugin(&full), NPERR_NO_ERROR);
  EXPECT_EQ(Browser().enumerate, full.enumerate);
  EXPECT_EQ(Browser().pluginthreadasynccall, nullptr);
  EXPECT_EQ(BrowserMinorVersion(), 27);

  NPNetscapeFuncs empty;
  FillBrowserTable(&empty, 0, 27);
  ASSERT_EQ(InitializePlugin(&empty), NPERR_NO_ERROR);
  EXPECT_EQ(Browser().geturl, nullptr);
  EXPECT_EQ(Browser().version, 0) << "nothing at all is copied";

  // Only up to uagent: the wrappers of missing services answer their fallbacks.
  NPNetscapeFuncs partial;
  FillBrowserTable(&partial, offsetof(NPNetscapeFuncs, memalloc), 27);
  ASSERT_EQ(InitializePlugin(&partial), NPERR_NO_ERROR);
  EXPECT_NE(Browser().uagent, nullptr);
  EXPECT_EQ(BrowserAllocate(16), nullptr);
  ShutdownPlugin();
}

TEST(EntryPoints, RefusesAMissingTableAndANewMajorVersion) {
  EXPECT_EQ(InitializePlugin(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
  NPNetscapeFuncs table;
  FillBrowserTable(&table, sizeof table, 0x0113);
  EXPECT_EQ(InitializePlugin(&table), NPERR_INCOMPATIBLE_VERSION_ERROR);
  EXPECT_EQ(Browser().geturl, table.geturl) << "the copy stays";
  ShutdownPlugin();
  EXPECT_EQ(Browser().geturl, nullptr);
}

class BrowserServices : public PluginTest {};

TEST_F(BrowserServices, OpenUrlPushesPopupStateForOtherTargetsThanSelf) {
  std::vector<std::string> services;
  std::vector<std::string> requests;
  Host().onService = [&](const char* service) {
    if (std::strstr(service, "popups")) services.push_back(service);
  };
  Host().getUrl = [&](NPP, const char* url, const char* target) {
    requests.push_back(std::string(url) + "|" + (target ? target : "<null>"));
    return NPERR_NO_ERROR;
  };
  EXPECT_EQ(OpenUrl(&npp_, u"http://127.0.0.1/a b.tif", u"_blank"), NPERR_NO_ERROR);
  EXPECT_EQ(services, (std::vector<std::string>{"pushpopupsenabledstate", "poppopupsenabledstate"}));
  services.clear();
  EXPECT_EQ(OpenUrl(&npp_, u"x.tif", u"_SELF"), NPERR_NO_ERROR);
  EXPECT_EQ(OpenUrl(&npp_, u"\u00e9.tif", nullptr), NPERR_NO_ERROR);
  EXPECT_TRUE(services.empty());
  EXPECT_EQ(requests, (std::vector<std::string>{"http://127.0.0.1/a b.tif|_blank", "x.tif|_SELF",
                                                "\xc3\xa9.tif|<null>"}));
  EXPECT_EQ(OpenUrl(&npp_, nullptr, nullptr), NPERR_OUT_OF_MEMORY_ERROR);
  EXPECT_EQ(requests.size(), 3u);
  Host().onService = nullptr;
  Host().getUrl = nullptr;
}

TEST_F(BrowserServices, UserAgentIsCutToTheBufferAndEmptyWithoutTheService) {
  char16_t agent[8];
  UserAgent(&npp_, agent, 8);
  EXPECT_EQ(std::u16string(agent), u"Mozilla");
  browser_.uagent = nullptr;
  ASSERT_EQ(InitializePlugin(&browser_), NPERR_NO_ERROR);
  UserAgent(&npp_, agent, 8);
  EXPECT_EQ(agent[0], 0);
}

TEST_F(BrowserServices, ObjectWrappersSkipMissingServices) {
  NPObject* window = Host().windowObject;
  const uint32_t before = ReferenceCount(window);
  EXPECT_EQ(RetainObject(window), window);
  EXPECT_EQ(ReferenceCount(window), before + 1);
  ReleaseObject(window);
  ReleaseObject(nullptr);
  EXPECT_EQ(ReferenceCount(window), before);
  NPObject* object = CreateScriptObject(&npp_);
  ASSERT_NE(object, nullptr);
  ReleaseObject(object);
  SetScriptClass(nullptr);
  EXPECT_EQ(CreateScriptObject(&npp_), nullptr) << "no script class";

  browser_.retainobject = nullptr;
  browser_.releaseobject = nullptr;
  browser_.releasevariantvalue = nullptr;
  ASSERT_EQ(InitializePlugin(&browser_), NPERR_NO_ERROR);
  EXPECT_EQ(RetainObject(window), window);
  ReleaseObject(window);
  EXPECT_EQ(ReferenceCount(window), before);
  NPVariant text = HostString("kept");
  ReleaseVariant(&text);
  EXPECT_EQ(text.type, NPVariantType_String);
  HostReleaseVariant(&text);
}

TEST(BrowserText, LongTextsAndNullBecomeAbsent) {
  std::u16string out;
  EXPECT_EQ(BrowserTextToUtf16(nullptr, &out), 0);
  EXPECT_EQ(BrowserTextToUtf16("\xc3\xa9t\xc3\xa9", &out), 1);
  EXPECT_EQ(out, u"\u00e9t\u00e9");
  const std::string limit(kBrowserTextMaximum, 'a');
  EXPECT_EQ(BrowserTextToUtf16(limit.c_str(), &out), 1);
  const std::string over(kBrowserTextMaximum + 1, 'a');
  EXPECT_EQ(BrowserTextToUtf16(over.c_str(), &out), 0);
  EXPECT_TRUE(out.empty());
}

}  // namespace
