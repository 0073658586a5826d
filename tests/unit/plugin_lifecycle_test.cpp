// The browser may destroy an instance while one of the instance's own calls
// is still running: a page handler removes the element, or the browser runs
// its own work while a message box of the plug-in is open. Under the
// sanitizer, a single write into the freed record fails these tests.
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "platform/platform.h"
#include "plugin/instance_bridge.h"
#include "plugin_test_browser.h"
#include "tiff_fixture.h"
#include "viewer/page_view.h"

namespace {

std::vector<uint8_t> TwoPages() {
  TestPage page;
  page.width = 6;
  page.height = 5;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(5, std::vector<uint8_t>(6, 0x40)));
  return WriteTestTiffPages({page, page});
}

NPP g_boxInstance = nullptr;
NPError g_boxDestroyAnswer = -1;

class PluginLifecycle : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    stream_.url = url_;
    g_boxInstance = nullptr;
    g_boxDestroyAnswer = -1;
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    Host().onCall = nullptr;
    PluginTest::TearDown();
  }

  // The page's handler of `function` removes the plug-in's element.
  void DestroyFrom(const std::string& function, FunctionAnswer answer = FunctionAnswer::kSucceed) {
    DefineFunction(function, answer);
    Host().onCall = [this, function](const PageCall& call, const PageFunction&) {
      if (call.function != function || !npp_.pdata) return;
      destroyAnswer_ = NPP_Destroy(&npp_, nullptr);
      pdataAfterDestroy_ = npp_.pdata;
    };
  }

  ViewerInstance* Viewer() { return static_cast<ViewerInstance*>(npp_.pdata); }
  NPError Open(uint32_t announced) {
    stream_.end = announced;
    uint16_t stype = 0;
    return NPP_NewStream(&npp_, mime_, &stream_, 0, &stype);
  }
  int32_t Write(std::vector<uint8_t>& bytes, int32_t from, int32_t count) {
    return NPP_Write(&npp_, &stream_, from, count, bytes.data() + from);
  }

  // What every case ends with: the browser's slot was cleared at once, the
  // instance went when the outermost call returned, and nothing answers for it.
  void ExpectGone(const std::u16string& download) {
    EXPECT_EQ(destroyAnswer_, NPERR_NO_ERROR);
    EXPECT_EQ(pdataAfterDestroy_, nullptr) << "later browser calls must find no instance at once";
    EXPECT_EQ(npp_.pdata, nullptr);
    if (!download.empty()) {
      EXPECT_FALSE(FileExists(download)) << "the deferred destruction deletes the download";
    }
    std::vector<uint8_t> block(4, 0);
    EXPECT_EQ(Write(block, 0, 4), -1);
    EXPECT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_DONE), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(NPP_Destroy(&npp_, nullptr), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(Host().liveAllocations, 0);
  }

  char url_[32] = "http://127.0.0.1/doc.tif";
  char mime_[16] = "image/tiff";
  NPStream stream_{};
  NPError destroyAnswer_ = -1;
  void* pdataAfterDestroy_ = reinterpret_cast<void*>(1);
};

TEST_F(PluginLifecycle, ReadyHandlerRemovesTheElementDuringNew) {
  DestroyFrom("mvtf_OnReady");
  EXPECT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
  ExpectGone(u"");
}

TEST_F(PluginLifecycle, ReadyHandlerRemovesTheElementWhenTheFirstStreamStarts) {
  // A failed first call makes the viewer try again at the stream's start.
  DefineFunction("mvtf_OnReady", FunctionAnswer::kFail);
  Host().onCall = [this, first = true](const PageCall&, const PageFunction&) mutable {
    if (first || !npp_.pdata) {
      first = false;
      return;
    }
    destroyAnswer_ = NPP_Destroy(&npp_, nullptr);
    pdataAfterDestroy_ = npp_.pdata;
  };
  ASSERT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
  ASSERT_NE(npp_.pdata, nullptr);
  EXPECT_EQ(Open(0), NPERR_INVALID_INSTANCE_ERROR) << "a stream for a removed instance is not taken";
  ExpectGone(u"");
}

TEST_F(PluginLifecycle, FileReadyHandlerRemovesTheElementAtTheStreamsEnd) {
  std::vector<uint8_t> tiff = TwoPages();
  DestroyFrom("mvtf_OnFileReady");
  ASSERT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
  ASSERT_EQ(Open(0), NPERR_NO_ERROR);
  const std::u16string download = TextOf(&Viewer()->download.tempFileName);
  ASSERT_EQ(Write(tiff, 0, static_cast<int32_t>(tiff.size())), static_cast<int32_t>(tiff.size()));
  EXPECT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_DONE), NPERR_NO_ERROR);
  ExpectGone(download);
}

TEST_F(PluginLifecycle, PageChangeHandlerRemovesTheElementDuringAWindowMessage) {
  std::vector<uint8_t> tiff = TwoPages();
  DestroyFrom("mvtf_OnPageChange");
  ASSERT_EQ(Embed({{"id", "v"}, {"enableevents", "4"}}), NPERR_NO_ERROR);
  ASSERT_EQ(Open(0), NPERR_NO_ERROR);
  const std::u16string download = TextOf(&Viewer()->download.tempFileName);
  ASSERT_EQ(Write(tiff, 0, static_cast<int32_t>(tiff.size())), static_cast<int32_t>(tiff.size()));
  ASSERT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_DONE), NPERR_NO_ERROR);
  ViewerInstance* viewer = Viewer();
  {
    // As the plug-in window's procedure handles Ctrl+Page Down.
    InstanceCall message(viewer);
    EXPECT_EQ(StepPage(viewer, kStepNext), 1);
    EXPECT_EQ(npp_.pdata, nullptr);
    EXPECT_TRUE(FileExists(download)) << "the instance stays until the message is handled";
  }
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Host().calls[0].function, "mvtf_OnPageChange");
  ExpectGone(download);
}

TEST_F(PluginLifecycle, BrowserDestroysTheInstanceWhileAFailureBoxIsOpen) {
  SetMessageBoxHook([](void*, const std::u16string&, const std::u16string&, uint32_t) {
    if (g_boxInstance && g_boxInstance->pdata) g_boxDestroyAnswer = NPP_Destroy(g_boxInstance, nullptr);
    return 1;
  });
  std::vector<uint8_t> tiff = TwoPages();
  ASSERT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
  // Announced shorter than sent: the second block shows the inconsistency box.
  ASSERT_EQ(Open(static_cast<uint32_t>(tiff.size() - 1)), NPERR_NO_ERROR);
  ASSERT_EQ(Write(tiff, 0, 8), 8);
  g_boxInstance = &npp_;
  EXPECT_EQ(Write(tiff, 8, static_cast<int32_t>(tiff.size()) - 8), -1);
  EXPECT_EQ(g_boxDestroyAnswer, NPERR_NO_ERROR);
  destroyAnswer_ = g_boxDestroyAnswer;
  pdataAfterDestroy_ = npp_.pdata;
  ExpectGone(u"");
}

}  // namespace
