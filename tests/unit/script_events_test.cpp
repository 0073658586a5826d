#include "plugin/script_events.h"

#include <string>
#include <vector>

#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin_test_browser.h"

namespace {

class ScriptEvents : public PluginTest {
 protected:
  ViewerInstance* Viewer() { return static_cast<ViewerInstance*>(npp_.pdata); }

  std::string Call(size_t i) const {
    const PageCall& call = Host().calls.at(i);
    std::string text = call.function;
    text += '(';
    for (size_t a = 0; a < call.args.size(); ++a) {
      if (a) text += ',';
      text += ValueToJson(call.args[a]);
    }
    text += ')';
    return text;
  }
};

TEST_F(ScriptEvents, DefaultMaskDeliversReadyFileReadyAndCropSelectOnly) {
  for (const char* name : {"mvtf_OnReady", "mvtf_OnFileReady", "mvtf_OnPageChange", "mvtf_OnNegativeChange",
                           "mvtf_OnCropSelect"}) {
    DefineFunction(name);
  }
  Host().hasElementId = true;
  Host().elementId = "viewer1";
  ASSERT_EQ(Embed({{"id", "viewer1"}}), NPERR_NO_ERROR);
  FirePageChange(Viewer(), 2);
  FireNegativeChange(Viewer(), 1);
  FireCropSelect(Viewer(), 1, 2, 10, 20, 30, 40);
  FireFileReady(Viewer());
  ASSERT_EQ(Host().calls.size(), 3u);
  EXPECT_EQ(Call(0), "mvtf_OnReady(\"viewer1\")");
  EXPECT_EQ(Call(1), "mvtf_OnCropSelect(\"viewer1\",1,2,10,20,30,40)");
  EXPECT_EQ(Call(2), "mvtf_OnFileReady(\"viewer1\")");
}

TEST_F(ScriptEvents, MaskFourDeliversOnlyPageChangesAndZeroNothing) {
  DefineFunction("mvtf_OnReady");
  DefineFunction("mvtf_OnPageChange");
  DefineFunction("mvtf_OnFileReady");
  ASSERT_EQ(Embed({{"enableevents", "4"}}), NPERR_NO_ERROR);
  FireFileReady(Viewer());
  FirePageChange(Viewer(), 3);
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Call(0), "mvtf_OnPageChange(\"\",3)") << "an element without id passes the empty string";
  NPP_Destroy(&npp_, nullptr);

  Host().calls.clear();
  ASSERT_EQ(Embed({{"EnableEvents", "0"}}), NPERR_NO_ERROR);
  FirePageChange(Viewer(), 3);
  FireFileReady(Viewer());
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(ScriptEvents, ScriptRestrictionClosesTheGate) {
  DefineFunction("mvtf_OnReady");
  ASSERT_EQ(Embed({{"access", "256"}}), NPERR_NO_ERROR);
  EXPECT_EQ(EventGateOpen(Viewer(), kEventReady), 0);
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(ScriptEvents, AHandlerTriggersNoSecondEvent) {
  DefineFunction("mvtf_OnPageChange");
  ASSERT_EQ(Embed({{"enableevents", "4"}}), NPERR_NO_ERROR);
  static ViewerInstance* viewer = nullptr;
  viewer = Viewer();
  Host().onCall = [](const PageCall&, const PageFunction&) { FirePageChange(viewer, 5); };
  FirePageChange(Viewer(), 4);
  Host().onCall = nullptr;
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Call(0), "mvtf_OnPageChange(\"\",4)");
  FirePageChange(Viewer(), 6);
  EXPECT_EQ(Host().calls.size(), 2u) << "the flag is cleared after the handler";
}

TEST_F(ScriptEvents, ReadyIsAttemptedOnceWithoutAPageFunction) {
  ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
  DefineFunction("mvtf_OnReady");  // defined too late: the attempt was made
  char mime[] = "image/tiff";
  NPStream stream{};
  uint16_t stype = 0;
  ASSERT_EQ(NPP_NewStream(&npp_, mime, &stream, 0, &stype), NPERR_NO_ERROR);
  EXPECT_TRUE(Host().calls.empty());
}

TEST_F(ScriptEvents, ReadyIsRetriedAtTheNextStreamWhenTheCallFailed) {
  DefineFunction("mvtf_OnReady", FunctionAnswer::kFail);
  DefineFunction("mvtf_OnFileReady");
  ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
  Host().functions["mvtf_OnReady"].answer = FunctionAnswer::kSucceed;
  char mime[] = "image/tiff";
  NPStream stream{};
  uint16_t stype = 0;
  ASSERT_EQ(NPP_NewStream(&npp_, mime, &stream, 0, &stype), NPERR_NO_ERROR);
  ASSERT_EQ(NPP_DestroyStream(&npp_, &stream, NPRES_NETWORK_ERR), NPERR_NO_ERROR);
  NPStream second{};
  NPP_NewStream(&npp_, mime, &second, 0, &stype);
  NPP_DestroyStream(&npp_, &second, NPRES_USER_BREAK);
  EXPECT_EQ(CalledFunctions(), (std::vector<std::string>{"mvtf_OnReady", "mvtf_OnReady", "mvtf_OnFileReady",
                                                         "mvtf_OnFileReady"}))
      << "the failed call, its retry, and a file-ready after every stream end, refused or not";
}

TEST_F(ScriptEvents, DeliveryAnswersAndReleasesWhatItTook) {
  ASSERT_EQ(Embed({{"enableevents", "0"}}), NPERR_NO_ERROR);
  Host().hasElementId = true;
  Host().elementId = "v";
  const uint32_t windowReferences = ReferenceCount(Host().windowObject);
  const uint32_t elementReferences = ReferenceCount(Host().elementObject);
  const int64_t allocations = Host().liveAllocations;
  NPVariant args[2];
  args[1].type = NPVariantType_Int32;
  args[1].value.intValue = 7;
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 2), kNotDelivered);
  DefineFunction("mvtf_OnPageChange", FunctionAnswer::kFail);
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 2), kCallFailed);
  DefineFunction("mvtf_OnPageChange");
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 2), kDelivered);
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 0), kNotDelivered);
  EXPECT_EQ(Call(1), "mvtf_OnPageChange(\"v\",7)");
  EXPECT_EQ(ReferenceCount(Host().windowObject), windowReferences);
  EXPECT_EQ(ReferenceCount(Host().elementObject), elementReferences);
  EXPECT_EQ(Host().liveAllocations, allocations);

  // Without a window object, or without one of the services, nothing is called.
  ClosePage();
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 2), kNotDelivered);
  OpenPage();
  browser_.hasproperty = nullptr;
  ASSERT_EQ(InitializePlugin(&browser_), NPERR_NO_ERROR);
  EXPECT_EQ(DeliverEvent(&npp_, "mvtf_OnPageChange", args, 2), kNotDelivered);
  EXPECT_EQ(Host().calls.size(), 2u);
}

TEST_F(ScriptEvents, StringArgumentsComeFromBrowserMemoryAndAreReleased) {
  DefineFunction("mvtf_OnUploadComplete");
  DefineFunction("mvtf_OnUploadHTTPHeader");
  ASSERT_EQ(Embed({{"enableevents", "3072"}}), NPERR_NO_ERROR);
  const int64_t allocations = Host().liveAllocations;
  FireUploadComplete(Viewer(), 9, 0, u"Successful");
  FireUploadHttpHeader(Viewer(), 9, u"Content-Type", u"text/plain; charset=\u00e9");
  ASSERT_EQ(Host().calls.size(), 2u);
  EXPECT_EQ(Call(0), "mvtf_OnUploadComplete(\"\",9,0,\"Successful\")");
  EXPECT_EQ(Call(1), "mvtf_OnUploadHTTPHeader(\"\",9,\"Content-Type\",\"text/plain; charset=\xc3\xa9\")");
  EXPECT_EQ(Host().liveAllocations, allocations);
}

TEST_F(ScriptEvents, GroupBitsAndArgumentsOfTheOtherEvents) {
  for (const char* name : {"mvtf_OnMouseModeChange", "mvtf_OnSizeModeChange", "mvtf_OnOrientationChange",
                           "mvtf_OnPrintComplete", "mvtf_OnUploadStart", "mvtf_OnAnnotationChange"}) {
    DefineFunction(name);
  }
  ASSERT_EQ(Embed({{"enableevents", "5304"}}), NPERR_NO_ERROR);  // 8|16|32|128|1024|4096
  FireMouseModeChange(Viewer(), 1);
  FireSizeModeChange(Viewer(), 0, 150);
  FireOrientationChange(Viewer(), 2);
  FirePrintComplete(Viewer(), 0);
  FireUploadStart(Viewer(), 3);
  FireAnnotationChange(Viewer(), 2);
  ASSERT_EQ(Host().calls.size(), 6u);
  EXPECT_EQ(Call(1), "mvtf_OnSizeModeChange(\"\",0,150)");
  EXPECT_EQ(Call(5), "mvtf_OnAnnotationChange(\"\",2,1)");
  NPP_Destroy(&npp_, nullptr);
  Host().calls.clear();
  ASSERT_EQ(Embed({{"enableevents", "1016"}}), NPERR_NO_ERROR);  // everything up to 512 but the upload bit
  FireUploadStart(Viewer(), 3);
  EXPECT_TRUE(Host().calls.empty());
}

}  // namespace
