#include "output/upload_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text_format.h"

namespace {

struct Case {
  const char16_t* given;
  const char16_t* cleaned;
};

TEST(UploadFields, AddressKeepsPrintableCharactersButFragmentQuoteAndBackslash) {
  const Case cases[] = {
      {u"", u""},
      {u"https://127.0.0.1:8080/in/up.php?a=1&b=%20~", u"https://127.0.0.1:8080/in/up.php?a=1&b=%20~"},
      {u"http://h/a b\r\n\tX:\x01", u"http://h/a_b___X:_"},
      {u"http://h/#frag'q'\\x\"<>", u"http://h/_frag_q__x\"<>"},
      {u"http://h/\x7f\u00e9\U0001F600", u"http://h/___"},  // one mark for the character outside the BMP
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CleanUploadUrl(c.given), c.cleaned) << Utf16ToUtf8(c.given);
  }
}

TEST(UploadFields, NamesKeepOnlyTheirSafeSet) {
  const Case cases[] = {
      {u"", u""},
      {u"AZaz09 $+,-./@_", u"AZaz09 $+,-./@_"},
      {u"a=b;c:\"d'\r\n", u"a_b_c__d___"},
      {u"~!#%&*()[]{}<>?|\\^`", u"___________________"},
      {u"sc\u00e9n\U0001F600.tif", u"sc_n_.tif"},
      {u"x\xd800y\xdc00", u"x_y_"},  // unpaired halves are characters of their own
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CleanUploadName(c.given), c.cleaned) << Utf16ToUtf8(c.given);
  }
}

}  // namespace
