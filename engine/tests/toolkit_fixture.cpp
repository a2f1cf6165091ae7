// @brief Code shared by the engine tests.
#include "toolkit_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace dizode::testing {

namespace {

constexpr const char* kChildMode = "DIZODE_TEST_CHILD";
constexpr const char* kChildArgument = "DIZODE_TEST_CHILD_ARGUMENT";

std::map<std::string, ChildRoutine>& Children() {
  static std::map<std::string, ChildRoutine> children;
  return children;
}

// Runs before any test, once every file's initializers have run.
class ChildEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* mode = std::getenv(kChildMode);
    if (!mode) return;
    auto it = Children().find(mode);
    const char* argument = std::getenv(kChildArgument);
    int status = it == Children().end() ? 125 : it->second(argument ? argument : "");
    std::_Exit(status);  // no test of this program runs in the child
  }
};

}  // namespace

bool RegisterChild(const char* mode, ChildRoutine routine) {
  if (Children().empty()) ::testing::AddGlobalTestEnvironment(new ChildEnvironment);
  Children()[mode] = routine;
  return true;
}

bool RunChild(const char* mode, const std::string& argument) {
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string command = std::string(kChildMode) + "='" + mode + "' " + kChildArgument + "='" +
                        argument + "' '" + self + "'";
  return std::system(command.c_str()) == 0;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dizode-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WritePage(const TempDir& dir, const std::string& name, const std::string& title,
                      const std::string& body) {
  std::string path = dir / name;
  WriteFile(path, "<html><head><title>" + title + "</title></head><body><p>" + body +
                      "</p></body></html>");
  return path;
}

void ShiftMtime(const std::string& path, int seconds) {
  auto when = std::filesystem::last_write_time(path);
  std::filesystem::last_write_time(path, when + std::chrono::seconds(seconds));
}

Toolkit::Toolkit(const std::string& collectionPath, int mode, TkProgressCallback callback,
                 void* context) {
  auto session = MakeRecord<TkSessionArgs>();
  session.commonDir = "";
  session.callback = callback;
  session.callbackContext = context;
  session.messageMask = TK_MSG_ALL;
  m_openStatus = TkOpenSession(&m_session, &session);
  if (m_openStatus != TK_OK) return;
  auto args = MakeRecord<TkCollectionArgs>();
  args.path = collectionPath.c_str();
  args.styleDir = "";
  args.createParam = TK_CREATE_PARAM;
  args.mode = static_cast<uint16_t>(mode);
  m_openStatus = TkOpenCollection(m_session, &m_collection, &args);
}

Toolkit::~Toolkit() {
  if (m_collection) TkCloseCollection(m_collection);
  if (m_session) TkCloseSession(m_session);
}

int32_t Toolkit::Submit(uint32_t operation, const std::vector<std::string>& keys) {
  std::vector<char*> pointers;
  for (const std::string& key : keys) pointers.push_back(const_cast<char*>(key.c_str()));
  auto args = MakeRecord<TkSubmitArgs>();
  args.operation = operation;
  args.count = static_cast<int32_t>(keys.size());
  args.keys = pointers.data();
  args.param16 = TK_SUBMIT_PARAM16;
  return TkSubmit(m_collection, &args);
}

int32_t Toolkit::Search(const char* query, std::vector<Row>& rows, int* warnings) {
  rows.clear();
  auto args = MakeRecord<TkSearchArgs>();
  args.query = query;
  args.param48 = TK_SEARCH_PARAM48;
  TkSearchHandle search = 0;
  if (int32_t status = TkSearch(m_session, &search, &args)) return status;
  auto infoArgs = MakeRecord<TkSearchInfoArgs>();
  TkSearchInfo* info = nullptr;
  int32_t status = TkGetSearchInfo(search, &infoArgs, &info);
  if (status == TK_OK) {
    if (warnings) *warnings = info->warningCount;
    const char* names[] = {"SCORE", "VdkVgwKey", "Title"};
    auto batchArgs = MakeRecord<TkDocBatchArgs>();
    batchArgs.search = search;
    batchArgs.count = info->documentCount;
    batchArgs.fieldCount = 3;
    batchArgs.fieldNames = names;
    TkDocBatch* batch = nullptr;
    status = TkReadDocBatch(m_session, &batchArgs, &batch);
    if (status == TK_OK) {
      for (int32_t i = 0; i < batch->documentCount; ++i)
        rows.push_back({batch->texts[i * 3], batch->texts[i * 3 + 1], batch->texts[i * 3 + 2]});
      TkFreeDocBatch(batch);
    }
    TkFreeSearchInfo(info);
  }
  TkFreeSearch(search);
  return status;
}

std::vector<Row> Toolkit::List() {
  std::vector<Row> rows;
  EXPECT_EQ(Search(nullptr, rows), TK_OK);
  return rows;
}

std::vector<std::string> Toolkit::Keys() {
  std::vector<std::string> keys;
  for (const Row& row : List()) keys.push_back(row.key);
  return keys;
}

std::vector<std::string> Toolkit::FindKeys(const char* query) {
  std::vector<Row> rows;
  EXPECT_EQ(Search(query, rows), TK_OK) << query;
  std::vector<std::string> keys;
  for (const Row& row : rows) keys.push_back(row.key);
  return keys;
}

}  // namespace dizode::testing
