#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/instance_bridge.h"
#include "plugin/plugin_callbacks.h"
#include "plugin_test_browser.h"
#include "viewer/viewer_instance.h"

namespace {

struct PrintCalls {
  std::vector<int32_t> printKinds;
  std::vector<std::vector<intptr_t>> embedded;  // dc, x, y, width, height
};
PrintCalls g_calls;

class PrintRouting : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    g_calls = {};
    ASSERT_EQ(Embed({}), NPERR_NO_ERROR);
    viewer_ = static_cast<ViewerInstance*>(npp_.pdata);
    viewer_->hooks.printDocument = [](ViewerInstance*, int32_t kind) {
      g_calls.printKinds.push_back(kind);
      return 1;
    };
    viewer_->hooks.drawEmbeddedPrint = [](ViewerInstance*, void* dc, int32_t x, int32_t y, int32_t w,
                                          int32_t h) {
      g_calls.embedded.push_back({reinterpret_cast<intptr_t>(dc), x, y, w, h});
      return 1;
    };
  }
  void TearDown() override {
    ReleasePageBitmap(&viewer_->view.pageBitmap);
    PluginTest::TearDown();
  }
  void ShowAPage() {
    viewer_->download.hasPages = 1;
    viewer_->download.document.pageCount = 1;
    viewer_->view.pageInfo.valid = 1;
    RasterSettings raster;
    ASSERT_TRUE(CreatePageBitmap(&raster, &viewer_->logs.pageLog, &viewer_->view.pageBitmap, 8, 8, 1, 1));
  }
  ViewerInstance* viewer_ = nullptr;
};

TEST_F(PrintRouting, FullPageAndNullRecordsPrintTheDocumentAndAreHandled) {
  NPP_Print(&npp_, nullptr);
  NPPrint full{};
  full.mode = NP_FULL;
  NPP_Print(&npp_, &full);
  EXPECT_EQ(g_calls.printKinds, (std::vector<int32_t>{0, 0}));
  EXPECT_TRUE(full.print.fullPrint.pluginPrinted);

  viewer_->access.restrictions |= kRestrictPrint;
  NPPrint refused{};
  refused.mode = NP_FULL;
  NPP_Print(&npp_, &refused);
  EXPECT_EQ(g_calls.printKinds.size(), 2u) << "printing is taken away";
  EXPECT_TRUE(refused.print.fullPrint.pluginPrinted) << "still answered as handled";
}

TEST_F(PrintRouting, EmbeddedPrintDrawsIntoTheBrowsersRectangle) {
  NPPrint embed{};
  embed.mode = NP_EMBED;
  embed.print.embedPrint.window = {nullptr, 10, 20, 300, 400, {}, NPWindowTypeDrawable};
  embed.print.embedPrint.platformPrint = reinterpret_cast<void*>(0x1234);
  NPP_Print(&npp_, &embed);
  EXPECT_TRUE(g_calls.embedded.empty()) << "no page shown";
  ShowAPage();
  NPP_Print(&npp_, &embed);
  ASSERT_EQ(g_calls.embedded.size(), 1u);
  EXPECT_EQ(g_calls.embedded[0], (std::vector<intptr_t>{0x1234, 10, 20, 300, 400}));
  viewer_->access.restrictions |= kRestrictPrint;
  NPP_Print(&npp_, &embed);
  EXPECT_EQ(g_calls.embedded.size(), 1u) << "printing is taken away";
  EXPECT_TRUE(g_calls.printKinds.empty());
}

TEST(EmbeddedPrintContext, OldBrowsersPassTheContextAtByteThirtyTwo) {
  NPPrint print{};
  print.mode = NP_EMBED;
  print.print.embedPrint.platformPrint = reinterpret_cast<void*>(0x5678);
  const uint32_t old = 0xABCD;
  memcpy(reinterpret_cast<uint8_t*>(&print) + kOldEmbedPrintContextOffset, &old, sizeof old);
  EXPECT_EQ(EmbeddedPrintContext(&print, 0, 10), reinterpret_cast<void*>(0xABCD));
  EXPECT_EQ(EmbeddedPrintContext(&print, 0, 11), reinterpret_cast<void*>(0x5678));
  EXPECT_EQ(EmbeddedPrintContext(&print, 1, 0), reinterpret_cast<void*>(0x5678));
}

}  // namespace
