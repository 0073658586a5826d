#include <string>
#include <vector>

#include "common/text_format.h"
#include "platform/platform.h"
#include "plugin/instance_bridge.h"
#include "plugin_test_browser.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"

namespace {

std::vector<uint8_t> SmallTiff() {
  TestPage page;
  page.width = 9;
  page.height = 7;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(7, std::vector<uint8_t>(9, 0x80)));
  return WriteTestTiff(page);
}

class PluginStream : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    DefineFunction("mvtf_OnFileReady");
    ASSERT_EQ(Embed({{"id", "v"}}), NPERR_NO_ERROR);
    stream_.url = url_;
  }
  ViewerInstance* Viewer() { return static_cast<ViewerInstance*>(npp_.pdata); }
  NPError Open(NPStream* stream, uint32_t announced) {
    stream->end = announced;
    uint16_t stype = 0;
    return NPP_NewStream(&npp_, mime_, stream, 0, &stype);
  }
  int32_t Write(NPStream* stream, std::vector<uint8_t>& bytes, int32_t from, int32_t count) {
    return NPP_Write(&npp_, stream, from, count, bytes.data() + from);
  }

  char url_[32] = "http://127.0.0.1/doc.tif";
  char mime_[16] = "image/tiff";
  NPStream stream_{};
};

TEST_F(PluginStream, TheDocumentIsKeptAndShown) {
  std::vector<uint8_t> tiff = SmallTiff();
  const int32_t size = static_cast<int32_t>(tiff.size());
  ASSERT_EQ(Open(&stream_, 0), NPERR_NO_ERROR);
  const std::u16string temp = TextOf(&Viewer()->download.tempFileName);
  EXPECT_EQ(Write(&stream_, tiff, 0, 5), 5);
  EXPECT_EQ(Write(&stream_, tiff, 5, size - 5), size - 5);
  EXPECT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_DONE), NPERR_NO_ERROR);
  EXPECT_TRUE(Viewer()->download.hasPages);
  ASSERT_NE(Viewer()->view.pageBitmap.block, nullptr);
  EXPECT_EQ(HeaderOf(&Viewer()->view.pageBitmap)->width, 9);
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Host().calls[0].function, "mvtf_OnFileReady");
  EXPECT_TRUE(FileExists(temp));
  NPP_Destroy(&npp_, nullptr);
  EXPECT_FALSE(FileExists(temp)) << "destroying the instance deletes its download";
}

TEST_F(PluginStream, NetworkErrorStillTellsThePage) {
  std::vector<uint8_t> tiff = SmallTiff();
  ASSERT_EQ(Open(&stream_, static_cast<uint32_t>(tiff.size())), NPERR_NO_ERROR);
  EXPECT_EQ(Write(&stream_, tiff, 0, 20), 20);
  EXPECT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_NETWORK_ERR), NPERR_NO_ERROR);
  EXPECT_EQ(Utf16ToUtf8(TextOf(&Viewer()->status.statusText)), "  Download failed");
  EXPECT_EQ(Utf16ToUtf8(TextOf(&Viewer()->logs.documentLog.text)),
            "Error: Download failed (network error)\r\n");
  ASSERT_EQ(Host().calls.size(), 1u);
  EXPECT_EQ(Host().calls[0].function, "mvtf_OnFileReady");
}

TEST_F(PluginStream, OtherStreamsCannotTouchTheDownload) {
  std::vector<uint8_t> tiff = SmallTiff();
  const int32_t size = static_cast<int32_t>(tiff.size());
  ASSERT_EQ(Open(&stream_, static_cast<uint32_t>(size)), NPERR_NO_ERROR);
  NPStream other{};
  other.url = url_;
  EXPECT_EQ(Open(&other, 10), NPERR_GENERIC_ERROR);
  EXPECT_EQ(Write(&other, tiff, 0, 4), -1);
  EXPECT_EQ(NPP_DestroyStream(&npp_, &other, NPRES_NETWORK_ERR), NPERR_NO_ERROR);
  EXPECT_EQ(LoadStateOf(Viewer()), kLoadDownloading) << "the refused stream's end changes nothing";
  EXPECT_EQ(Write(&stream_, tiff, 0, size), size);
  EXPECT_EQ(NPP_DestroyStream(&npp_, &stream_, NPRES_DONE), NPERR_NO_ERROR);
  EXPECT_TRUE(Viewer()->download.hasPages);
  EXPECT_EQ(Write(&stream_, tiff, 0, 4), -1) << "nothing after the end";
}

}  // namespace
