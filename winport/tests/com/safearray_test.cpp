// SAFEARRAY bounds, dimensions, locks, element copies and the index order of
// multi-dimensional arrays.

#include <gtest/gtest.h>

#include <string>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/probe_unknown.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::SafeArray;
using winport::SafeArrayDataLock;

TEST(SafeArrayTest, VectorBoundsAndDescriptor) {
  SafeArray a = SafeArray::Vector(VT_I4, -2, 5);
  ASSERT_TRUE(a);
  EXPECT_EQ(1u, SafeArrayGetDim(a.Get()));
  EXPECT_EQ(4u, SafeArrayGetElemsize(a.Get()));
  LONG lower = 0, upper = 0;
  ASSERT_HR(S_OK, SafeArrayGetLBound(a.Get(), 1, &lower));
  ASSERT_HR(S_OK, SafeArrayGetUBound(a.Get(), 1, &upper));
  EXPECT_EQ(-2, lower);
  EXPECT_EQ(2, upper);
  VARTYPE vt = 0;
  ASSERT_HR(S_OK, SafeArrayGetVartype(a.Get(), &vt));
  EXPECT_EQ(VT_I4, vt);
  EXPECT_EQ(FADF_HAVEVARTYPE, a.Get()->fFeatures & FADF_HAVEVARTYPE);
}

TEST(SafeArrayTest, BadDimensionsAndIndices) {
  SafeArray a = SafeArray::Vector(VT_I4, 0, 3);
  LONG bound = 0;
  EXPECT_HR(DISP_E_BADINDEX, SafeArrayGetLBound(a.Get(), 0, &bound));
  EXPECT_HR(DISP_E_BADINDEX, SafeArrayGetUBound(a.Get(), 2, &bound));
  EXPECT_HR(E_INVALIDARG, SafeArrayGetLBound(nullptr, 1, &bound));
  LONG value = 5;
  LONG index = 3;
  EXPECT_HR(DISP_E_BADINDEX, SafeArrayPutElement(a.Get(), &index, &value));
  index = -1;
  EXPECT_HR(DISP_E_BADINDEX, SafeArrayGetElement(a.Get(), &index, &value));
  index = 0;
  EXPECT_HR(E_INVALIDARG, SafeArrayGetElement(nullptr, &index, &value));
  EXPECT_HR(E_INVALIDARG, SafeArrayGetElement(a.Get(), nullptr, &value));
  EXPECT_EQ(0u, SafeArrayGetDim(nullptr));
}

TEST(SafeArrayTest, EmptyVectorHasUpperBoundBelowLower) {
  SafeArray a = SafeArray::Vector(VT_VARIANT, 0, 0);
  ASSERT_TRUE(a);
  LONG upper = 0;
  ASSERT_HR(S_OK, SafeArrayGetUBound(a.Get(), 1, &upper));
  EXPECT_EQ(-1, upper);
}

TEST(SafeArrayTest, InvalidElementTypesAreNotCreated) {
  EXPECT_EQ(nullptr, SafeArrayCreateVector(VT_EMPTY, 0, 1));
  EXPECT_EQ(nullptr, SafeArrayCreateVector(VT_NULL, 0, 1));
  SAFEARRAYBOUND bound{1, 0};
  EXPECT_EQ(nullptr, SafeArrayCreate(VT_I4, 0, &bound));
}

TEST(SafeArrayTest, LockedArrayCannotBeDestroyed) {
  SafeArray a = SafeArray::Vector(VT_BSTR, 0, 1);
  {
    SafeArrayDataLock<BSTR> data(a.Get());
    ASSERT_HR(S_OK, data.Status());
    EXPECT_EQ(1u, a.Get()->cLocks);
    EXPECT_HR(DISP_E_ARRAYISLOCKED, SafeArrayDestroy(a.Get()));
  }
  EXPECT_EQ(0u, a.Get()->cLocks);
  EXPECT_HR(E_UNEXPECTED, SafeArrayUnlock(a.Get()));
  EXPECT_HR(S_OK, a.Reset());
}

TEST(SafeArrayTest, StringElementsAreCopiedInAndOut) {
  SafeArray a = SafeArray::Vector(VT_BSTR, 1, 2);
  Bstr text(u"page.htm");
  LONG index = 2;
  // For BSTR arrays the value itself is passed, not its address.
  ASSERT_HR(S_OK, SafeArrayPutElement(a.Get(), &index, text.Get()));
  text.Reset();
  Bstr out;
  ASSERT_HR(S_OK, SafeArrayGetElement(a.Get(), &index, out.Put()));
  EXPECT_EQ(std::u16string(u"page.htm"), std::u16string(out.Get()));
  // Overwriting frees the previous string (checked by the leak checker).
  ASSERT_HR(S_OK, SafeArrayPutElement(a.Get(), &index, Bstr(u"other").Get()));
  index = 1;
  Bstr never;
  ASSERT_HR(S_OK, SafeArrayGetElement(a.Get(), &index, never.Put()));
  EXPECT_TRUE(never.IsNull());
}

TEST(SafeArrayTest, InterfaceElementsHoldReferences) {
  winport_test::ProbeUnknown probe;
  {
    SafeArray a = SafeArray::Vector(VT_UNKNOWN, 0, 1);
    LONG index = 0;
    ASSERT_HR(S_OK, SafeArrayPutElement(a.Get(), &index, static_cast<IUnknown*>(&probe)));
    EXPECT_EQ(1u, probe.Refs());
    SafeArray copy;
    ASSERT_HR(S_OK, SafeArrayCopy(a.Get(), copy.Put()));
    EXPECT_EQ(2u, probe.Refs());
  }
  EXPECT_EQ(0u, probe.Refs());
}

// Dimension 1 (rgIndices[0]) varies fastest in memory; SafeArrayCreate's
// bounds are given first dimension first and stored in reverse.
TEST(SafeArrayTest, MultiDimensionalIndexOrder) {
  SAFEARRAYBOUND bounds[2] = {{3, 1}, {2, 10}};  // dimension 1: 1..3, dimension 2: 10..11
  SafeArray a(SafeArrayCreate(VT_I4, 2, bounds));
  ASSERT_TRUE(a);
  EXPECT_EQ(2u, SafeArrayGetDim(a.Get()));
  EXPECT_EQ(2u, a.Get()->rgsabound[0].cElements);  // the last dimension
  EXPECT_EQ(3u, a.Get()->rgsabound[1].cElements);  // the first dimension
  LONG lower = 0, upper = 0;
  ASSERT_HR(S_OK, SafeArrayGetLBound(a.Get(), 2, &lower));
  ASSERT_HR(S_OK, SafeArrayGetUBound(a.Get(), 1, &upper));
  EXPECT_EQ(10, lower);
  EXPECT_EQ(3, upper);
  for (LONG j = 10; j <= 11; ++j) {
    for (LONG i = 1; i <= 3; ++i) {
      LONG index[2] = {i, j};
      LONG value = 100 * j + i;
      ASSERT_HR(S_OK, SafeArrayPutElement(a.Get(), index, &value));
    }
  }
  SafeArrayDataLock<LONG> data(a.Get());
  ASSERT_HR(S_OK, data.Status());
  const LONG expected[6] = {1001, 1002, 1003, 1101, 1102, 1103};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(expected[k], data.Data()[k]) << "cell " << k;
  LONG index[2] = {4, 10};
  LONG value = 0;
  EXPECT_HR(DISP_E_BADINDEX, SafeArrayGetElement(a.Get(), index, &value));
}

TEST(SafeArrayTest, CopyOfNullIsNull) {
  SAFEARRAY* out = reinterpret_cast<SAFEARRAY*>(0x1);
  EXPECT_HR(S_OK, SafeArrayCopy(nullptr, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_HR(E_INVALIDARG, SafeArrayCopy(nullptr, nullptr));
}

}  // namespace
