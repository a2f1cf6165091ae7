// The scope owners: references, strings, VARIANTs and arrays given back
// exactly once.

#include <gtest/gtest.h>

#include <utility>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/probe_unknown.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::ComPtr;
using winport::SafeArray;
using winport::SafeArrayDataLock;
using winport::Variant;
using winport_test::ProbeUnknown;

TEST(OwnersTest, ComPtrCountsEveryReference) {
  ProbeUnknown probe;
  {
    ComPtr<IUnknown> first(&probe);
    EXPECT_EQ(1u, probe.Refs());
    ComPtr<IUnknown> second = first;
    EXPECT_EQ(2u, probe.Refs());
    ComPtr<IUnknown> moved = std::move(second);
    EXPECT_EQ(2u, probe.Refs());
    EXPECT_EQ(nullptr, second.Get());
    IUnknown* out = nullptr;
    ASSERT_HR(S_OK, moved.CopyTo(&out));
    EXPECT_EQ(3u, probe.Refs());
    out->Release();
    first = moved;  // same object: count unchanged
    EXPECT_EQ(2u, probe.Refs());
    IUnknown* detached = moved.Detach();
    EXPECT_EQ(2u, probe.Refs());
    moved.Attach(detached);
    moved.Put();  // releases before handing out the slot
    EXPECT_EQ(1u, probe.Refs());
  }
  EXPECT_EQ(0u, probe.Refs());
}

TEST(OwnersTest, VariantOwnerClearsWhatItHolds) {
  ProbeUnknown probe;
  {
    Variant v;
    V_VT(v.Get()) = VT_UNKNOWN;
    V_UNKNOWN(v.Get()) = &probe;
    probe.AddRef();
    Variant moved = std::move(v);
    EXPECT_EQ(VT_EMPTY, V_VT(v.Get()));
    Variant copy;
    ASSERT_HR(S_OK, copy.CopyFrom(moved.Get()));
    EXPECT_EQ(2u, probe.Refs());
    VARIANT raw;
    ASSERT_HR(S_OK, copy.Detach(&raw));
    EXPECT_EQ(VT_EMPTY, V_VT(copy.Get()));
    VariantClear(&raw);
  }
  EXPECT_EQ(0u, probe.Refs());
  Variant text(Bstr::FromUtf8("caf\xC3\xA9"));
  EXPECT_EQ(4u, SysStringLen(V_BSTR(text.Get())));
}

TEST(OwnersTest, SafeArrayOwnerAndDataLock) {
  SafeArray a = SafeArray::Vector(VT_I4, 0, 3);
  {
    SafeArrayDataLock<LONG> data(a.Get());
    ASSERT_HR(S_OK, data.Status());
    data.Data()[2] = 9;
  }
  LONG index = 2, value = 0;
  ASSERT_HR(S_OK, SafeArrayGetElement(a.Get(), &index, &value));
  EXPECT_EQ(9, value);
  SafeArrayDataLock<LONG> none(nullptr);
  EXPECT_HR(E_INVALIDARG, none.Status());
  EXPECT_EQ(nullptr, none.Data());
  SafeArray moved = std::move(a);
  EXPECT_FALSE(a);
  EXPECT_TRUE(moved);
}

}  // namespace
