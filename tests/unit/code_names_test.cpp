#include "document/code_names.h"

#include <gtest/gtest.h>

namespace {

TEST(CompressionNames, KnownAndUnknownCodes) {
  EXPECT_EQ(CompressionName(4), u"CCITT Group 4");
  EXPECT_EQ(CompressionName(32946), u"Deflate (libtiff)");
  EXPECT_EQ(CompressionName(99), u"Unknown (99)");
}

TEST(PhotometricNames, BilevelApartFromGreyAndUnknownCodes) {
  EXPECT_EQ(PhotometricName(0, 1), u"BW, min-is-white");
  EXPECT_EQ(PhotometricName(0, 8), u"Grayscale, min-is-white");
  EXPECT_EQ(PhotometricName(1, 4), u"Grayscale, min-is-black");
  EXPECT_EQ(PhotometricName(32845, 8), u"CIE Log2(L) (u',v')");
  EXPECT_EQ(PhotometricName(7, 8), u"Unknown (7)");
}

}  // namespace
