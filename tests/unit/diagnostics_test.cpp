#include "common/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

struct Shown {
  std::u16string text, caption;
  uint32_t flags;
};
std::vector<Shown> g_shown;

int Record(void*, const std::u16string& text, const std::u16string& caption, uint32_t flags) {
  g_shown.push_back({text, caption, flags});
  return 1;
}

class Diagnostics : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    SetMessageBoxHook(Record);
  }
  void TearDown() override { SetMessageBoxHook(nullptr); }
};

TEST_F(Diagnostics, MessageBoxUsesCaptionAndWarningIconByDefault) {
  ShowMessage(nullptr, 0, "Unable to save settings!");
  ShowMessage(nullptr, kIconError, "%s %d", "code", 5);
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_EQ(g_shown[0].text, u"Unable to save settings!");
  EXPECT_EQ(g_shown[0].caption, u"Mervane");
  EXPECT_EQ(g_shown[0].flags, 0x30u);
  EXPECT_EQ(g_shown[1].text, u"code 5");
  EXPECT_EQ(g_shown[1].flags, 0x10u);
}

TEST_F(Diagnostics, FailedAllocationIsLoggedWithTheLow32Bits) {
  MessageLog log;
  // More than any machine can give; the low 32 bits of the size are reported.
  size_t huge = static_cast<size_t>(-1) - 4095;
  EXPECT_EQ(AllocateOrReport(&log, huge), nullptr);
  EXPECT_EQ(std::u16string(TextOf(&log.text)),
            u"Error: Out of memory (failed to allocate 4294963200 bytes)\r\n");
  void* block = AllocateZeroedOrReport(&log, 64);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(block)[63], 0);
  free(block);
  EXPECT_EQ(log.errorCount, 1);
}

TEST_F(Diagnostics, TempFileIsCreatedEmptyAndUnique) {
  std::u16string first, second;
  ASSERT_TRUE(CreateTempFile(nullptr, &first));
  ASSERT_TRUE(CreateTempFile(nullptr, &second));
  EXPECT_NE(first, second);
  EXPECT_TRUE(FileExists(first));
  EXPECT_NE(first.find(u"mrv"), std::u16string::npos);
  EXPECT_TRUE(DeleteFileAt(first));
  EXPECT_TRUE(DeleteFileAt(second));
  EXPECT_FALSE(FileExists(first));
  EXPECT_TRUE(g_shown.empty());
}

}  // namespace
