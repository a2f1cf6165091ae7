// Registration scripts run through the script registrar object.
#include <string>

#include "winport/owners.h"
#include "winport/script_registrar.h"
#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

class ScriptRegistrarTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_ScriptRegistrar, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IScriptRegistrar, m_registrar.PutVoid()));
    ASSERT_HR(S_OK, m_registrar->AddReplacement(u"Module", u"/opt/app/lib.so"));
  }

  HRESULT Register(const std::string& script) {
    return m_registrar->StringRegister(winport::Utf8ToOle(script).c_str());
  }
  HRESULT Unregister(const std::string& script) {
    return m_registrar->StringUnregister(winport::Utf8ToOle(script).c_str());
  }
  // The file's text after its header line.
  std::string Sections() const {
    const std::string text = FileText();
    const size_t first = text.find('\n');
    return first == std::string::npos ? std::string() : text.substr(first + 1);
  }

  winport::ComPtr<IScriptRegistrar> m_registrar;
};

struct GrammarCase {
  const char* m_title;
  const char* m_script;
  HRESULT m_result;
  const char* m_sections;  // the file after registration
};

const GrammarCase kGrammarCases[] = {
    {"text and number values, named values",
     "HKCR { A = s 'text' { val N = d 42 val H = d '0x10' val T = s 'it''s' } }", S_OK,
     "\n[HKEY_CLASSES_ROOT]\n\n[HKEY_CLASSES_ROOT\\A]\n@=\"text\"\n\"H\"=dword:00000010\n"
     "\"N\"=dword:0000002a\n\"T\"=\"it's\"\n"},
    {"braced bare names, quoted names and empty keys",
     "HKEY_CLASSES_ROOT\n{\n  {E47FE2CC-A57B-11D2-BE8E-00C04F990001}\n  {\n    'Two Words'\n  }\n}",
     S_OK,
     "\n[HKEY_CLASSES_ROOT]\n\n[HKEY_CLASSES_ROOT\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}]\n"
     "\n[HKEY_CLASSES_ROOT\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}\\Two Words]\n"},
    {"replacements ignore case; %% is a percent sign",
     "HKCR { S = s '%MODULE%' { val P = s '100%%' } }", S_OK,
     "\n[HKEY_CLASSES_ROOT]\n\n[HKEY_CLASSES_ROOT\\S]\n@=\"/opt/app/lib.so\"\n\"P\"=\"100%\"\n"},
    {"unknown replacement", "HKCR { S = s '%OTHER%' }", DISP_E_EXCEPTION, ""},
    {"unterminated text", "HKCR { S = s 'open }", DISP_E_EXCEPTION, ""},
    {"missing closing brace", "HKCR { S = s 'x' ", DISP_E_EXCEPTION, ""},
    {"unknown root", "HKXX { S }", DISP_E_EXCEPTION, ""},
    {"unknown value type", "HKCR { S = q 'x' }", DISP_E_EXCEPTION, ""},
    {"number out of range", "HKCR { S = d 4294967296 }", DISP_E_EXCEPTION, ""},
    {"name with a separator", "HKCR { 'a\\b' }", DISP_E_EXCEPTION, ""},
};

TEST_F(ScriptRegistrarTest, GrammarTable) {
  for (const GrammarCase& c : kGrammarCases) {
    SCOPED_TRACE(c.m_title);
    std::remove(m_file.c_str());
    EXPECT_HR(c.m_result, Register(c.m_script));
    // A script that does not parse changes nothing.
    EXPECT_EQ(c.m_sections, Sections());
  }
}

constexpr char kClassScript[] = R"(
HKCR
{
    Demo.Thing.1 = s 'Demo Thing'
    {
        CLSID = s '{11111111-2222-3333-4444-555555555555}'
    }
    NoRemove CLSID
    {
        ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Demo Thing'
        {
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
        }
    }
})";

TEST_F(ScriptRegistrarTest, ForceRemoveClearsAStaleKeyBeforeWritingIt) {
  Put("CLSID\\{11111111-2222-3333-4444-555555555555}\\Stale", "left over");
  Put("CLSID\\{99999999-2222-3333-4444-555555555555}", "another class");
  ASSERT_HR(S_OK, Register(kClassScript));
  EXPECT_FALSE(Exists("CLSID\\{11111111-2222-3333-4444-555555555555}\\Stale"));
  EXPECT_TRUE(Exists("CLSID\\{11111111-2222-3333-4444-555555555555}\\Programmable"));
  EXPECT_EQ("/opt/app/lib.so",
            Text("CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32"));
  EXPECT_EQ("Apartment", Text("CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32",
                              "ThreadingModel"));
  EXPECT_EQ("another class", Text("CLSID\\{99999999-2222-3333-4444-555555555555}"));
}

TEST_F(ScriptRegistrarTest, UnregisterKeepsNoRemoveKeysAndWhatOthersHold) {
  Put("CLSID\\{99999999-2222-3333-4444-555555555555}", "another class");
  ASSERT_HR(S_OK, Register(kClassScript));
  ASSERT_HR(S_OK, Unregister(kClassScript));
  EXPECT_FALSE(Exists("Demo.Thing.1"));
  EXPECT_FALSE(Exists("CLSID\\{11111111-2222-3333-4444-555555555555}"));
  EXPECT_TRUE(Exists("CLSID"));
  EXPECT_EQ("another class", Text("CLSID\\{99999999-2222-3333-4444-555555555555}"));
  // Nothing left to remove is not a failure.
  EXPECT_HR(S_OK, Unregister(kClassScript));
}

TEST_F(ScriptRegistrarTest, DeleteRemovesAKeyOnRegistration) {
  Put("Old.Name\\Sub", "x");
  ASSERT_HR(S_OK, Register("HKCR { Delete Old.Name New.Name = s 'n' }"));
  EXPECT_FALSE(Exists("Old.Name"));
  EXPECT_EQ("n", Text("New.Name"));
}

TEST_F(ScriptRegistrarTest, ScriptsComeFromModuleResourcesAndFiles) {
  // The test program has no REGISTRY resource.
  char self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  const std::basic_string<OLECHAR> selfPath = winport::Utf8ToOle(self);
  EXPECT_HR(HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND),
            m_registrar->ResourceRegister(selfPath.c_str(), 101, u"REGISTRY"));
  EXPECT_HR(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND),
            m_registrar->ResourceRegister(u"/no/such/module.so", 101, u"REGISTRY"));

  const std::string script = m_folder / "script.rgs";
  WriteFile(script, "\xEF\xBB\xBFHKCR { From.File = s '%module%' }");
  ASSERT_HR(S_OK, m_registrar->FileRegister(winport::Utf8ToOle(script).c_str()));
  EXPECT_EQ("/opt/app/lib.so", Text("From.File"));
  ASSERT_HR(S_OK, m_registrar->ClearReplacements());
  EXPECT_HR(DISP_E_EXCEPTION, m_registrar->FileUnregister(winport::Utf8ToOle(script).c_str()));
  EXPECT_TRUE(Exists("From.File"));
}

}  // namespace
}  // namespace winport_test
