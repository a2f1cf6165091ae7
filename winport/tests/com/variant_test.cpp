// VARIANT ownership: what VariantClear frees, what VariantCopy duplicates,
// and the nested shape of a search result (a vector of rows, each a vector of
// three strings, with empty elements for filtered hits).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/probe_unknown.h"
#include "winport/tests/support/variant_values.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::SafeArray;
using winport::Variant;
using winport_test::RefTo;

std::u16string TextOf(const VARIANT* v) {
  return std::u16string(V_BSTR(v), SysStringLen(V_BSTR(v)));
}

// Builds one result row: score, key and title as VT_BSTR elements.
SAFEARRAY* MakeRow(const char16_t* score, const char16_t* key, const char16_t* title) {
  SafeArray row = SafeArray::Vector(VT_VARIANT, 0, 3);
  const char16_t* texts[] = {score, key, title};
  for (LONG i = 0; i < 3; ++i) {
    Variant cell(Bstr(texts[i]));
    if (FAILED(SafeArrayPutElement(row.Get(), &i, cell.Get()))) return nullptr;
  }
  return row.Detach();
}

// Rows 0 and 2 hold hits, rows 1 and 3 stay empty as filtered hits do.
HRESULT MakeResult(VARIANT* out) {
  SafeArray result = SafeArray::Vector(VT_VARIANT, 0, 4);
  if (!result) return E_OUTOFMEMORY;
  const char16_t* keys[] = {u"/help/a.htm", nullptr, u"/help/c.htm", nullptr};
  for (LONG i = 0; i < 4; ++i) {
    if (!keys[i]) continue;
    Variant row;
    V_VT(row.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(row.Get()) = MakeRow(u"100", keys[i], u"Title");
    if (!V_ARRAY(row.Get())) return E_OUTOFMEMORY;
    HRESULT hr = SafeArrayPutElement(result.Get(), &i, row.Get());
    if (FAILED(hr)) return hr;
  }
  VariantInit(out);
  V_VT(out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(out) = result.Detach();
  return S_OK;
}

// Reads the result back element by element, as a host would.
void ExpectResultShape(const VARIANT* v) {
  ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(v));
  SAFEARRAY* rows = V_ARRAY(v);
  LONG lower = -1, upper = -1;
  ASSERT_HR(S_OK, SafeArrayGetLBound(rows, 1, &lower));
  ASSERT_HR(S_OK, SafeArrayGetUBound(rows, 1, &upper));
  ASSERT_EQ(0, lower);
  ASSERT_EQ(3, upper);
  for (LONG i = 0; i <= upper; ++i) {
    Variant row;
    ASSERT_HR(S_OK, SafeArrayGetElement(rows, &i, row.Get()));
    if (i % 2 == 1) {
      EXPECT_EQ(VT_EMPTY, V_VT(row.Get())) << "row " << i;
      continue;
    }
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(row.Get())) << "row " << i;
    const char16_t* expected[] = {u"100", i == 0 ? u"/help/a.htm" : u"/help/c.htm", u"Title"};
    for (LONG k = 0; k < 3; ++k) {
      Variant cell;
      ASSERT_HR(S_OK, SafeArrayGetElement(V_ARRAY(row.Get()), &k, cell.Get()));
      ASSERT_EQ(VT_BSTR, V_VT(cell.Get()));
      EXPECT_EQ(std::u16string(expected[k]), TextOf(cell.Get()));
    }
  }
}

TEST(VariantTest, NestedResultSurvivesVariantCopyAndClear) {
  Variant original;
  ASSERT_HR(S_OK, MakeResult(original.Get()));
  Variant copy;
  ASSERT_HR(S_OK, VariantCopy(copy.Get(), original.Get()));
  // A deep copy: separate arrays all the way down.
  EXPECT_NE(V_ARRAY(original.Get()), V_ARRAY(copy.Get()));
  ASSERT_HR(S_OK, original.Clear());
  ExpectResultShape(copy.Get());
  EXPECT_HR(S_OK, VariantClear(copy.Get()));
  EXPECT_EQ(VT_EMPTY, V_VT(copy.Get()));
}

TEST(VariantTest, NestedResultSurvivesSafeArrayCopy) {
  Variant original;
  ASSERT_HR(S_OK, MakeResult(original.Get()));
  Variant copy;
  V_VT(copy.Get()) = VT_ARRAY | VT_VARIANT;
  ASSERT_HR(S_OK, SafeArrayCopy(V_ARRAY(original.Get()), &V_ARRAY(copy.Get())));
  original.Clear();
  ExpectResultShape(copy.Get());
}

TEST(VariantTest, ClearReleasesInterfacesButNothingBehindAReference) {
  winport_test::ProbeUnknown probe;
  {
    Variant v;
    V_VT(v.Get()) = VT_UNKNOWN;
    V_UNKNOWN(v.Get()) = &probe;
    probe.AddRef();
    Variant copy;
    ASSERT_HR(S_OK, VariantCopy(copy.Get(), v.Get()));
    EXPECT_EQ(2u, probe.Refs());
  }
  EXPECT_EQ(0u, probe.Refs());

  // A reference to a BSTR owns nothing: clearing it leaves the string alone.
  Bstr text(u"kept");
  BSTR raw = text.Get();
  VARIANT ref = RefTo(VT_BSTR, &raw);
  EXPECT_HR(S_OK, VariantClear(&ref));
  EXPECT_EQ(VT_EMPTY, V_VT(&ref));
  EXPECT_EQ(std::u16string(u"kept"), std::u16string(text.Get()));
}

TEST(VariantTest, InvalidTypesAreRejectedAndLeftUntouched) {
  const VARTYPE bad[] = {
      15, VT_VARIANT, VT_VECTOR | VT_I4, VT_EMPTY | VT_BYREF, VT_ARRAY | VT_EMPTY, 0x7FF};
  for (VARTYPE vt : bad) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = vt;
    EXPECT_HR(DISP_E_BADVARTYPE, VariantClear(&v)) << "vt " << vt;
    EXPECT_EQ(vt, V_VT(&v));
    Variant dest;
    EXPECT_HR(DISP_E_BADVARTYPE, VariantCopy(dest.Get(), &v)) << "vt " << vt;
  }
}

TEST(VariantTest, ClearOfALockedArrayFailsAndKeepsTheArray) {
  Variant v;
  V_VT(v.Get()) = VT_ARRAY | VT_I4;
  V_ARRAY(v.Get()) = SafeArrayCreateVector(VT_I4, 0, 2);
  ASSERT_NE(nullptr, V_ARRAY(v.Get()));
  ASSERT_HR(S_OK, SafeArrayLock(V_ARRAY(v.Get())));
  EXPECT_HR(DISP_E_ARRAYISLOCKED, VariantClear(v.Get()));
  EXPECT_EQ(VT_ARRAY | VT_I4, V_VT(v.Get()));
  ASSERT_HR(S_OK, SafeArrayUnlock(V_ARRAY(v.Get())));
}

TEST(VariantTest, CopyIndDereferencesAndMayWorkInPlace) {
  LONG number = 42;
  VARIANT ref = RefTo(VT_I4, &number);
  Variant copy;
  ASSERT_HR(S_OK, VariantCopyInd(copy.Get(), &ref));
  EXPECT_EQ(VT_I4, V_VT(copy.Get()));
  EXPECT_EQ(42, V_I4(copy.Get()));

  // A VARIANT that refers to another VARIANT holding a string, copied in place.
  Variant inner(Bstr(u"deep"));
  VARIANT outer = RefTo(VT_VARIANT, inner.Get());
  ASSERT_HR(S_OK, VariantCopyInd(&outer, &outer));
  ASSERT_EQ(VT_BSTR, V_VT(&outer));
  EXPECT_NE(V_BSTR(inner.Get()), V_BSTR(&outer));
  EXPECT_EQ(std::u16string(u"deep"), TextOf(&outer));
  VariantClear(&outer);

  // Two levels of indirection are refused.
  VARIANT twice = RefTo(VT_VARIANT, &ref);
  ref = RefTo(VT_VARIANT, inner.Get());
  EXPECT_HR(E_INVALIDARG, VariantCopyInd(copy.Get(), &twice));
}

TEST(VariantTest, CopyOfANullStringStaysNull) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = nullptr;
  Variant copy;
  ASSERT_HR(S_OK, VariantCopy(copy.Get(), &v));
  EXPECT_EQ(VT_BSTR, V_VT(copy.Get()));
  EXPECT_EQ(nullptr, V_BSTR(copy.Get()));
}

}  // namespace
