#include <gtest/gtest.h>

#include "common/text_buffer.h"

namespace {

TEST(TextResources, LoadsTheStringTableOfTheModuleHoldingTheCode) {
  TextBuffer buffer(100);
  ASSERT_TRUE(SetTextFromResource(&buffer, 4242));
  EXPECT_EQ(std::u16string(TextOf(&buffer)), u"\u00c7a p\u00e8se 5 \u20ac");
  ASSERT_TRUE(SetTextFromResource(&buffer, 4243));
  EXPECT_EQ(std::u16string(TextOf(&buffer)), u"");
}

TEST(TextResources, NarrowTextUsesTheSystemCodePage) {
  // Wine's default code page here is 1252, where 0xE9 is e-acute and 0x80 the euro sign.
  TextBuffer buffer(100);
  ASSERT_TRUE(SetTextFromNarrow(&buffer, "caf\xe9 \x80"));
  EXPECT_EQ(std::u16string(TextOf(&buffer)), u"caf\u00e9 \u20ac");
}

}  // namespace
