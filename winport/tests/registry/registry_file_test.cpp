// The registry file's limits: how deep keys nest and how long their names
// are, so that no file can crash or stall the process that reads it.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "winport/src/registry/registration_script.h"
#include "winport/src/registry/registry_file.h"
#include "winport/src/registry/registry_text.h"
#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

using winport::registry::ChangeRegistry;
using winport::registry::Key;
using winport::registry::kMaxKeyDepth;
using winport::registry::kMaxKeyNameLength;
using winport::registry::ReadRegistry;
using winport::registry::ReadRegText;
using winport::registry::WriteRegText;

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n";

// "HKEY_CLASSES_ROOT\k\k..." with levels names in all, the root included.
std::string DeepPath(size_t levels, const std::string& name = "k") {
  std::string path = "HKEY_CLASSES_ROOT";
  path.reserve(levels * (name.size() + 1) + path.size());
  for (size_t level = 1; level < levels; ++level) {
    path.append("\\").append(name);
  }
  return path;
}

class RegistryFile : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    std::filesystem::create_directories(m_folder / "data");
  }

  LONG ReadStatus() const {
    return ReadRegistry([](const Key&) -> LONG { return ERROR_SUCCESS; });
  }
};

TEST_F(RegistryFile, KeysDeeperOrLongerThanTheLimitsMakeTheFileDamaged) {
  const std::string longest(kMaxKeyNameLength, 'n');
  struct Case {
    const char* m_title;
    std::string m_path;
    LONG m_status;
  } const cases[] = {
      {"as deep as allowed", DeepPath(kMaxKeyDepth), ERROR_SUCCESS},
      {"one level deeper", DeepPath(kMaxKeyDepth + 1), ERROR_BADDB},
      {"a name as long as allowed", "HKEY_CLASSES_ROOT\\" + longest, ERROR_SUCCESS},
      {"a name one longer", "HKEY_CLASSES_ROOT\\" + longest + "n", ERROR_BADDB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_title);
    WriteFile(m_file, std::string(kHeader) + "\n[" + c.m_path + "]\n@=\"deepest\"\n");
    std::string found;
    const LONG status = ReadRegistry([&](const Key& top) -> LONG {
      if (const Key* key = winport::registry::Lookup(top, c.m_path)) {
        found = winport::registry::ValueText(key->m_values.at(""));
      }
      return ERROR_SUCCESS;
    });
    EXPECT_EQ(c.m_status, status);
    EXPECT_EQ(status == ERROR_SUCCESS ? "deepest" : "", found);
  }
}

// A path of a million levels (2 MB) once overflowed the stack when the tree
// was torn down, so every process that read the file crashed. The reading
// runs in a child so that a crash fails this test alone.
TEST_F(RegistryFile, AMillionLevelsAreReportedDamagedAndLeftAlone) {
  const std::string text = std::string(kHeader) + "\n[" + DeepPath(1000000) + "]\n";
  WriteFile(m_file, text);
  EXPECT_EXIT(
      {
        const bool reported =
            ReadStatus() == ERROR_BADDB && ChangeRegistry([](Key&, bool* modified) -> LONG {
                                             *modified = true;
                                             return ERROR_SUCCESS;
                                           }) == ERROR_BADDB;
        std::exit(reported && FileText() == text ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(RegistryFile, AMillionLevelsInMemoryAreTornDownWithoutRecursion) {
  EXPECT_EXIT(
      {
        auto top = std::make_unique<Key>();
        Key* key = top.get();
        for (int level = 0; level < 1000000; ++level) {
          key = &key->Ensure("k");
        }
        top.reset();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(RegistryFile, AChangeThatNestsTooDeepIsNotWritten) {
  WriteFile(m_file, std::string(kHeader) + "\n[HKEY_CLASSES_ROOT\\Kept]\n");
  const std::string before = FileText();
  const auto nest = [](size_t levels) {
    return ChangeRegistry([levels](Key& top, bool* modified) -> LONG {
      Key* key = &top;
      for (size_t level = 0; level < levels; ++level) {
        key = &key->Ensure("k");
      }
      *modified = true;
      return ERROR_SUCCESS;
    });
  };
  EXPECT_EQ(ERROR_BAD_PATHNAME, nest(kMaxKeyDepth + 1));
  EXPECT_EQ(before, FileText());
  EXPECT_EQ(ERROR_SUCCESS, nest(kMaxKeyDepth));
  EXPECT_EQ(ERROR_SUCCESS, ReadStatus());
}

// Sections come in key order, each after its parent's, with the full path;
// reading the text back gives the same text.
TEST(RegistryText, WritesEveryKeyUnderItsFullPathInOrder) {
  Key top;
  Key& root = top.Ensure("HKEY_CLASSES_ROOT");
  root.Ensure("b").Ensure("c").m_values["v"] = winport::registry::TextValue("x");
  root.Ensure("B").Ensure("a");
  root.Ensure("a").m_values[""] = winport::registry::TextValue("first");
  top.Ensure("HKEY_CURRENT_USER");
  const std::string text = WriteRegText(top);
  EXPECT_EQ(std::string(kHeader) +
                "\n[HKEY_CLASSES_ROOT]\n"
                "\n[HKEY_CLASSES_ROOT\\a]\n@=\"first\"\n"
                "\n[HKEY_CLASSES_ROOT\\b]\n"
                "\n[HKEY_CLASSES_ROOT\\b\\a]\n"
                "\n[HKEY_CLASSES_ROOT\\b\\c]\n\"v\"=\"x\"\n"
                "\n[HKEY_CURRENT_USER]\n",
            text);
  Key read;
  ASSERT_TRUE(ReadRegText(text, &read));
  EXPECT_EQ(text, WriteRegText(read));
}

TEST(RegistrationScriptDepth, BlocksNestNoDeeperThanTheRegistry) {
  const auto nested = [](size_t keys) {
    std::string script = "HKCR {";
    for (size_t i = 0; i < keys; ++i) {
      script += " k {";
    }
    script.append(keys + 1, '}');
    return script;
  };
  struct Case {
    size_t m_keys;  // below the root
    bool m_parses;
  } const cases[] = {{kMaxKeyDepth - 1, true}, {kMaxKeyDepth, false}, {100000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_keys);
    std::vector<winport::registry::ScriptRoot> roots;
    std::string error;
    EXPECT_EQ(c.m_parses,
              winport::registry::ParseRegistrationScript(nested(c.m_keys), {}, &roots, &error));
    if (!c.m_parses) {
      EXPECT_EQ("line 1: keys nested deeper than 512 levels", error);
    }
  }
}

}  // namespace
}  // namespace winport_test
