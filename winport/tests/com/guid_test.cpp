// GUID text round trips and the parser's rejections.

#include <gtest/gtest.h>

#include <string>

#include "winport/tests/support/hr_assert.h"
#include "winport/win32.h"

namespace {

DEFINE_GUID(kSample, 0xE47FE2CC, 0xA57B, 0x11D2, 0xBE, 0x8E, 0x00, 0xC0, 0x4F, 0x99, 0x00, 0x01);

TEST(GuidTest, StringFromGuidWritesUpperCaseBracedFormAndCountsTheNul) {
  OLECHAR text[CHARS_IN_GUID];
  ASSERT_EQ(CHARS_IN_GUID, StringFromGUID2(kSample, text, CHARS_IN_GUID));
  EXPECT_EQ(std::u16string(u"{E47FE2CC-A57B-11D2-BE8E-00C04F990001}"), std::u16string(text));
}

TEST(GuidTest, StringFromGuidReturnsZeroWhenTheBufferIsShort) {
  OLECHAR text[CHARS_IN_GUID] = {u'x'};
  EXPECT_EQ(0, StringFromGUID2(kSample, text, CHARS_IN_GUID - 1));
  EXPECT_EQ(u'x', text[0]);
}

TEST(GuidTest, WellKnownInterfaceIdsHaveTheirRegistryText) {
  const struct {
    const GUID& id;
    const char16_t* text;
  } cases[] = {
      {IID_IUnknown, u"{00000000-0000-0000-C000-000000000046}"},
      {IID_IClassFactory, u"{00000001-0000-0000-C000-000000000046}"},
      {IID_IDispatch, u"{00020400-0000-0000-C000-000000000046}"},
      {IID_ITypeInfo, u"{00020401-0000-0000-C000-000000000046}"},
      {IID_ITypeLib, u"{00020402-0000-0000-C000-000000000046}"},
      {IID_IErrorInfo, u"{1CF2B120-547D-101B-8E65-08002B2BD119}"},
      {IID_ICreateErrorInfo, u"{22F03340-547D-101B-8E65-08002B2BD119}"},
      {GUID_NULL, u"{00000000-0000-0000-0000-000000000000}"},
  };
  for (const auto& c : cases) {
    OLECHAR text[CHARS_IN_GUID];
    ASSERT_EQ(CHARS_IN_GUID, StringFromGUID2(c.id, text, CHARS_IN_GUID));
    EXPECT_EQ(std::u16string(c.text), std::u16string(text));
  }
}

TEST(GuidTest, ClsidFromStringRoundTripsAndAcceptsLowerCase) {
  CLSID parsed{};
  ASSERT_HR(S_OK, CLSIDFromString(u"{e47fe2cc-a57b-11d2-be8e-00c04f990001}", &parsed));
  EXPECT_TRUE(IsEqualCLSID(kSample, parsed));
  EXPECT_TRUE(parsed == kSample);
  EXPECT_FALSE(parsed == IID_IUnknown);
}

TEST(GuidTest, ClsidFromStringRejectsMalformedText) {
  const char16_t* bad[] = {
      u"",
      u"E47FE2CC-A57B-11D2-BE8E-00C04F990001",     // no braces
      u"{E47FE2CC-A57B-11D2-BE8E-00C04F99000}",    // one digit short
      u"{E47FE2CC-A57B-11D2-BE8E-00C04F9900012}",  // one digit long
      u"{E47FE2CC-A57B-11D2-BE8E-00C04F99000G}",   // not hex
      u"{E47FE2CC+A57B-11D2-BE8E-00C04F990001}",   // wrong separator
      u"{E47FE2CC-A57B-11D2-BE8E-00C04F990001}x",  // trailing text
  };
  for (const char16_t* text : bad) {
    CLSID parsed = kSample;
    EXPECT_HR(CO_E_CLASSSTRING, CLSIDFromString(text, &parsed));
  }
}

}  // namespace
