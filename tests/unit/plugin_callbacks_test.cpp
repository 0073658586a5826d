#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin_test_browser.h"

namespace {

class PluginCallbacks : public PluginTest {};

TEST_F(PluginCallbacks, EveryCallbackRefusesAnInstanceWithoutViewer) {
  NPP_t bare{};
  NPStream stream{};
  uint16_t stype = 0;
  char buffer[4] = {};
  EXPECT_EQ(NPP_Destroy(&bare, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_Destroy(nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_SetWindow(&bare, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_NewStream(&bare, nullptr, &stream, 0, &stype), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_DestroyStream(&bare, &stream, NPRES_DONE), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_Write(&bare, &stream, 0, 4, buffer), -1);
  NPObject* object = nullptr;
  EXPECT_EQ(NPP_GetValue(&bare, NPPVpluginScriptableNPObject, &object), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_SetValue(&bare, NPNVWindowNPObject, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_New(nullptr, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(PluginCallbacks, FixedAnswersOfTheSimpleCallbacks) {
  ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
  NPStream stream{};
  EXPECT_EQ(NPP_WriteReady(&npp_, &stream), 0x0FFFFFFF);
  EXPECT_EQ(NPP_HandleEvent(&npp_, nullptr), 0);
  for (int variable : {1, 3, 15, 16, 1000, 12345}) {
    EXPECT_EQ(NPP_SetValue(&npp_, static_cast<NPNVariable>(variable), nullptr), NPERR_NO_ERROR);
  }
  NPObject* object = nullptr;
  EXPECT_EQ(NPP_GetValue(&npp_, NPPVpluginNameString, &object), NPERR_GENERIC_ERROR);
  // The script object is made on the first request.
  EXPECT_EQ(NPP_GetValue(&npp_, NPPVpluginScriptableNPObject, &object), NPERR_NO_ERROR);
  ASSERT_NE(object, nullptr);
  browser_.releaseobject(object);
}

TEST_F(PluginCallbacks, WithoutItsClassNoScriptObjectIsOffered) {
  ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
  SetScriptClass(nullptr);
  NPObject* object = nullptr;
  EXPECT_EQ(NPP_GetValue(&npp_, NPPVpluginScriptableNPObject, &object), NPERR_GENERIC_ERROR);
  EXPECT_EQ(object, nullptr);
}

TEST_F(PluginCallbacks, StreamsAreNormalAndNegativeWritesAbort) {
  ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
  char url[] = "http://127.0.0.1/doc.tif";
  NPStream stream{};
  stream.url = url;
  stream.end = 10;
  uint16_t stype = NP_ASFILE;
  char mime[] = "image/tiff";
  EXPECT_EQ(NPP_NewStream(&npp_, mime, nullptr, 0, &stype), NPERR_INVALID_PARAM);
  ASSERT_EQ(NPP_NewStream(&npp_, mime, &stream, 1, &stype), NPERR_NO_ERROR);
  EXPECT_EQ(stype, NP_NORMAL);
  char data[10] = {};
  EXPECT_EQ(NPP_Write(&npp_, &stream, -1, 4, data), -1);
  EXPECT_EQ(NPP_Write(&npp_, &stream, 0, -4, data), -1);
  EXPECT_EQ(NPP_Write(&npp_, &stream, 0, 10, data), 10);
  EXPECT_EQ(NPP_WriteReady(&npp_, &stream), 0x0FFFFFFF) << "also after data has arrived";
  EXPECT_EQ(NPP_DestroyStream(&npp_, &stream, NPRES_DONE), NPERR_NO_ERROR);
  EXPECT_EQ(LoadStateOf(static_cast<ViewerInstance*>(npp_.pdata)), 3);
}

TEST_F(PluginCallbacks, DestroyClearsTheSlotAndLateCallsFindNoInstance) {
  ASSERT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
  ASSERT_NE(npp_.pdata, nullptr);
  EXPECT_EQ(NPP_Destroy(&npp_, nullptr), NPERR_NO_ERROR);
  EXPECT_EQ(npp_.pdata, nullptr);
  EXPECT_EQ(NPP_SetWindow(&npp_, nullptr), NPERR_INVALID_INSTANCE_ERROR);
  EXPECT_EQ(NPP_Destroy(&npp_, nullptr), NPERR_INVALID_INSTANCE_ERROR);
}

TEST_F(PluginCallbacks, OnlyTheFirstHundredAttributesCount) {
  DefineFunction("mvtf_OnReady");
  std::vector<std::pair<std::string, std::string>> attributes;
  auto filler = [](char prefix, int i) {
    std::string name(1, prefix);
    name += std::to_string(i);
    return name;
  };
  for (int i = 0; i < 100; ++i) attributes.emplace_back(filler('p', i), "x");
  attributes.emplace_back("enableevents", "0");  // the 101st is never seen
  for (int i = 0; i < 49; ++i) attributes.emplace_back(filler('q', i), "x");
  ASSERT_EQ(Embed(attributes), NPERR_NO_ERROR);
  EXPECT_EQ(CalledFunctions(), std::vector<std::string>{"mvtf_OnReady"});
  NPP_Destroy(&npp_, nullptr);

  Host().calls.clear();
  attributes.erase(attributes.begin());  // now it is the 100th
  ASSERT_EQ(Embed(attributes), NPERR_NO_ERROR);
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(PluginCallbacks, NewWithoutAStartedLibraryFailsWithTheMessage) {
  static std::u16string shown;
  static uint32_t flags = 0;
  ShutdownPlugin();
  SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t icon) {
    shown = text;
    flags = icon;
    return 1;
  });
  EXPECT_EQ(Embed({}), NPERR_GENERIC_ERROR);
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(npp_.pdata, nullptr);
  EXPECT_EQ(shown, u"Browser failed to properly initialize the Mervane plug-in");
  EXPECT_EQ(flags & 0xF0, kIconError);
}

}  // namespace
