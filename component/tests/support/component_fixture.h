// @brief A component object over the fake toolkit, with a help folder on disk.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "component/com/vivevi_vadiro.h"
#include "component/tests/support/fake_toolkit.h"
#include "component/tests/support/temp_folder.h"
#include "component/toolkit/toolkit_error.h"
#include "winport/owners.h"

class ComponentTest : public ::testing::Test {
 protected:
  ComponentTest() : m_component(new ViveviVadiro) {}

  ViveviVadiro& C() { return *m_component.Get(); }

  // The folders Initialize derives from the temporary install folder, which
  // holds the toolkit's common folder as an installed application does.
  void SetFolders() {
    std::filesystem::create_directories(temp.Path() / "dizode/common");
    const std::string sInstall = temp.InstallDir();
    EditFolders([&](HostFolders& folders) {
      folders.m_sInstallDir = sInstall;
      folders.m_sHelpDir = sInstall + "Help";
      folders.m_sCollectionDir = sInstall + "dizode/collections/Searchable Help";
      folders.m_sCommonDir = sInstall + "/dizode/common";
    });
  }

  // Changes the component's folders as edit does to a copy of them.
  template <typename Edit>
  void EditFolders(Edit edit) {
    HostFolders folders = C().Folders();
    edit(folders);
    C().UseFolders(folders);
  }

  // A component with an open session and collection; the calls that took are
  // forgotten.
  void Open() {
    SetFolders();
    std::filesystem::create_directories(temp.Path() / "Help");
    ASSERT_TRUE(C().StartSession(false));
    toolkit.calls.clear();
  }

  // Releases the component now (its teardown runs against the fake).
  void ReleaseComponent() { m_component.Reset(); }

  std::string Help(const std::string& sName) { return temp.Path().string() + "/Help/" + sName; }

  TempFolder temp;
  FakeToolkit toolkit;

 private:
  winport::ComPtr<ViveviVadiro> m_component;
};

using Ops = std::vector<std::string>;

// Checks every byte of a recorded argument record: it must equal a record of
// zero bytes with its size, the version 576 and the fields that fill sets
// (fill may copy pointer fields from the actual record, whose texts the
// call's texts hold). Catches a field at a wrong place and any stray byte.
template <typename Rec, typename Fill>
void ExpectRecord(const ToolkitCall& call, Fill fill) {
  ASSERT_EQ(call.record.size(), sizeof(Rec)) << call.sOp;
  Rec expected;
  std::memset(&expected, 0, sizeof expected);
  expected.size = static_cast<uint16_t>(sizeof(Rec));
  expected.version = 576;
  fill(expected, call.As<Rec>());
  // Every byte, padding included: the records cross the boundary as bytes.
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
  EXPECT_EQ(std::memcmp(&expected, call.record.data(), sizeof(Rec)), 0) << call.sOp;
}

// What GetErrorInfo holds: its description, or "<none>" when the slot is
// empty; the source and interface are checked on the way.
inline std::string TakeDescription() {
  winport::ComPtr<IErrorInfo> pInfo;
  if (GetErrorInfo(0, pInfo.Put()) != S_OK || !pInfo) {
    return "<none>";
  }
  winport::Bstr sSource;
  winport::Bstr sDescription;
  GUID guid = GUID_NULL;
  EXPECT_EQ(pInfo->GetSource(sSource.Put()), S_OK);
  EXPECT_EQ(pInfo->GetDescription(sDescription.Put()), S_OK);
  EXPECT_EQ(pInfo->GetGUID(&guid), S_OK);
  EXPECT_EQ(sSource.ToUtf8(), "Torvane.ViveviVadiro");
  EXPECT_TRUE(IsEqualIID(guid, IID_IViveviVadiro));
  return sDescription.ToUtf8();
}

// The message of the ToolkitError that work raises, or "" when it raises none.
template <typename Work>
std::string ErrorOf(Work work) {
  try {
    work();
  } catch (const ToolkitError& error) {
    return error.Message();
  }
  return "";
}
