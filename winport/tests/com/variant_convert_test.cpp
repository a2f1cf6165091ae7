// VariantChangeType: conversions to text and numbers and the codes for values
// that do not convert.

#include <gtest/gtest.h>

#include <string>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/variant_values.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::Variant;
using winport_test::RefTo;
using winport_test::ValueOf;

Variant I4(LONG v) { return Variant(v); }
Variant I2(SHORT v) { return ValueOf(VT_I2, v); }
Variant R8(double v) { return ValueOf(VT_R8, v); }
Variant R4(float v) { return ValueOf(VT_R4, v); }
Variant Bool(bool v) { return ValueOf(VT_BOOL, v ? VARIANT_TRUE : VARIANT_FALSE); }
Variant Text(const char16_t* v) { return Variant(Bstr(v)); }
Variant Typed(VARTYPE vt) {
  Variant out;
  V_VT(out.Get()) = vt;
  return out;
}

std::u16string AsText(Variant source, USHORT flags = 0) {
  Variant out;
  const HRESULT hr = VariantChangeType(out.Get(), source.Get(), flags, VT_BSTR);
  if (FAILED(hr)) return u"<failed " + std::u16string(1, u'0' + (hr & 0xF)) + u">";
  return std::u16string(V_BSTR(out.Get()), SysStringLen(V_BSTR(out.Get())));
}

TEST(VariantConvertTest, ToText) {
  EXPECT_EQ(u"", AsText(Typed(VT_EMPTY)));
  EXPECT_EQ(u"-7", AsText(I2(-7)));
  EXPECT_EQ(u"2147483647", AsText(I4(2147483647)));
  EXPECT_EQ(u"2.5", AsText(R8(2.5)));
  EXPECT_EQ(u"0.1", AsText(R8(0.1)));
  EXPECT_EQ(u"1E+20", AsText(R8(1e20)));
  EXPECT_EQ(u"0.1", AsText(R4(0.1f)));
  EXPECT_EQ(u"-1", AsText(Bool(true)));
  EXPECT_EQ(u"0", AsText(Bool(false)));
  EXPECT_EQ(u"True", AsText(Bool(true), VARIANT_ALPHABOOL));
  EXPECT_EQ(u"False", AsText(Bool(false), VARIANT_ALPHABOOL));
  EXPECT_EQ(u"same", AsText(Text(u"same")));
}

TEST(VariantConvertTest, ToLongFromEveryKindOfSource) {
  const struct {
    const char* what;
    Variant (*make)();
    HRESULT hr;
    LONG value;
  } cases[] = {
      {"empty", [] { return Typed(VT_EMPTY); }, S_OK, 0},
      {"null", [] { return Typed(VT_NULL); }, DISP_E_TYPEMISMATCH, 0},
      {"short", [] { return I2(-300); }, S_OK, -300},
      {"double rounds half to even", [] { return R8(2.5); }, S_OK, 2},
      {"double rounds half to even up", [] { return R8(3.5); }, S_OK, 4},
      {"double too large", [] { return R8(3e9); }, DISP_E_OVERFLOW, 0},
      {"float", [] { return R4(-1.75f); }, S_OK, -2},
      {"true", [] { return Bool(true); }, S_OK, -1},
      {"text", [] { return Text(u" 153 "); }, S_OK, 153},
      {"signed text", [] { return Text(u"-12"); }, S_OK, -12},
      {"text with exponent", [] { return Text(u"1.5e2"); }, S_OK, 150},
      {"text out of range", [] { return Text(u"2147483648"); }, DISP_E_OVERFLOW, 0},
      {"huge text", [] { return Text(u"1e999"); }, DISP_E_OVERFLOW, 0},
      {"tiny text", [] { return Text(u"1e-999"); }, S_OK, 0},
      {"words", [] { return Text(u"twelve"); }, DISP_E_TYPEMISMATCH, 0},
      {"empty text", [] { return Text(u""); }, DISP_E_TYPEMISMATCH, 0},
      {"trailing junk", [] { return Text(u"12abc"); }, DISP_E_TYPEMISMATCH, 0},
      {"infinity", [] { return Text(u"inf"); }, DISP_E_TYPEMISMATCH, 0},
      {"hex", [] { return Text(u"0x10"); }, DISP_E_TYPEMISMATCH, 0},
  };
  for (const auto& c : cases) {
    Variant source = c.make();
    Variant out;
    EXPECT_HR(c.hr, VariantChangeType(out.Get(), source.Get(), 0, VT_I4)) << c.what;
    if (SUCCEEDED(c.hr)) {
      EXPECT_EQ(VT_I4, V_VT(out.Get())) << c.what;
      EXPECT_EQ(c.value, V_I4(out.Get())) << c.what;
    } else {
      EXPECT_EQ(VT_EMPTY, V_VT(out.Get())) << c.what << ": destination left alone";
    }
  }
}

TEST(VariantConvertTest, ToShortBoolAndDouble) {
  Variant out;
  Variant big = I4(40000);
  EXPECT_HR(DISP_E_OVERFLOW, VariantChangeType(out.Get(), big.Get(), 0, VT_I2));
  Variant small = I4(-32768);
  ASSERT_HR(S_OK, VariantChangeType(out.Get(), small.Get(), 0, VT_I2));
  EXPECT_EQ(-32768, V_I2(out.Get()));

  const struct {
    const char16_t* text;
    HRESULT hr;
    VARIANT_BOOL value;
  } bools[] = {{u"True", S_OK, VARIANT_TRUE},
               {u"false", S_OK, VARIANT_FALSE},
               {u"0", S_OK, VARIANT_FALSE},
               {u"-3", S_OK, VARIANT_TRUE},
               {u"yes", DISP_E_TYPEMISMATCH, 0}};
  for (const auto& c : bools) {
    Variant source = Text(c.text);
    Variant b;
    EXPECT_HR(c.hr, VariantChangeType(b.Get(), source.Get(), 0, VT_BOOL));
    if (SUCCEEDED(c.hr)) {
      EXPECT_EQ(c.value, V_BOOL(b.Get()));
    }
  }

  Variant text = Text(u"0.25");
  ASSERT_HR(S_OK, VariantChangeType(out.Get(), text.Get(), 0, VT_R8));
  EXPECT_EQ(0.25, V_R8(out.Get()));
}

TEST(VariantConvertTest, InPlaceConversionReplacesTheSource) {
  Variant v = Text(u"42");
  ASSERT_HR(S_OK, VariantChangeType(v.Get(), v.Get(), 0, VT_I4));
  EXPECT_EQ(VT_I4, V_VT(v.Get()));
  EXPECT_EQ(42, V_I4(v.Get()));
  ASSERT_HR(S_OK, VariantChangeType(v.Get(), v.Get(), 0, VT_BSTR));
  EXPECT_EQ(std::u16string(u"42"), std::u16string(V_BSTR(v.Get())));
  // A failed in-place conversion keeps the value.
  Variant words = Text(u"abc");
  EXPECT_HR(DISP_E_TYPEMISMATCH, VariantChangeType(words.Get(), words.Get(), 0, VT_I4));
  EXPECT_EQ(VT_BSTR, V_VT(words.Get()));
}

TEST(VariantConvertTest, ReferencesAreFollowedOnce) {
  LONG number = 7;
  VARIANT ref = RefTo(VT_I4, &number);
  Variant out;
  ASSERT_HR(S_OK, VariantChangeType(out.Get(), &ref, 0, VT_BSTR));
  EXPECT_EQ(std::u16string(u"7"), std::u16string(V_BSTR(out.Get())));

  Variant inner = Text(u"9");
  VARIANT outer = RefTo(VT_VARIANT, inner.Get());
  ASSERT_HR(S_OK, VariantChangeType(out.Get(), &outer, 0, VT_I4));
  EXPECT_EQ(9, V_I4(out.Get()));
  // The same type behind a reference is a plain copy.
  ASSERT_HR(S_OK, VariantChangeType(out.Get(), &outer, 0, VT_BSTR));
  EXPECT_NE(V_BSTR(inner.Get()), V_BSTR(out.Get()));
}

TEST(VariantConvertTest, UnsupportedTargetsAndSources) {
  Variant out;
  Variant number = I4(1);
  EXPECT_HR(DISP_E_BADVARTYPE, VariantChangeType(out.Get(), number.Get(), 0, VT_I4 | VT_BYREF));
  EXPECT_HR(DISP_E_BADVARTYPE, VariantChangeType(out.Get(), number.Get(), 0, VT_VARIANT));
  EXPECT_HR(DISP_E_TYPEMISMATCH, VariantChangeType(out.Get(), number.Get(), 0, VT_UNKNOWN));
  Variant array;
  V_VT(array.Get()) = VT_ARRAY | VT_I4;
  V_ARRAY(array.Get()) = SafeArrayCreateVector(VT_I4, 0, 1);
  EXPECT_HR(DISP_E_TYPEMISMATCH, VariantChangeType(out.Get(), array.Get(), 0, VT_BSTR));
}

}  // namespace
