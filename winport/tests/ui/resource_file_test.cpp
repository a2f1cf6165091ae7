// The resource compiler's file and dialog templates read back: the sample
// script's entries and both template layouts, and damaged bytes refused
// without reading outside them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "winport/src/ui/dialog_template.h"
#include "winport/src/ui/resource_file.h"
#include "winport/tests/ui/sample_resources.h"

namespace {

using winport::ui::DialogTemplate;
using winport::ui::ReadDialogTemplate;
using winport::ui::ReadResourceFile;
using winport::ui::ResourceEntry;

std::vector<unsigned char> SampleFile() {
  std::ifstream in(SAMPLE_RES_FILE, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Describe(const winport::ui::ResourceName& name) {
  return name.m_text.empty() ? std::to_string(name.m_id) : name.m_text;
}

const ResourceEntry& Dialog(const std::vector<ResourceEntry>& entries, const std::string& name) {
  for (const ResourceEntry& entry : entries) {
    if (entry.m_type.m_id == 5 && Describe(entry.m_name) == name) return entry;
  }
  throw std::runtime_error("no dialog " + name);
}

TEST(ResourceFile, ListsTheScriptsResourcesInOrder) {
  std::vector<unsigned char> file = SampleFile();
  auto entries = ReadResourceFile(file.data(), file.size());
  ASSERT_TRUE(entries.has_value());
  std::vector<std::string> seen;
  for (const ResourceEntry& entry : *entries)
    seen.push_back(Describe(entry.m_type) + ":" + Describe(entry.m_name));
  // String blocks are named by the first id / 16 + 1: 101..104 are in block 7.
  EXPECT_EQ((std::vector<std::string>{"REGISTRY:101", "5:NAMED", "5:201", "6:7", "6:313", "16:1"}),
            seen);
  EXPECT_EQ(5u, (*entries)[0].m_size);
}

// Every cut of the file is either refused or read as the entries whose data
// ends before the cut; nothing is read beyond it (the copy is exactly as long
// as the cut, so a sanitizer build reports any read past it).
TEST(ResourceFile, CutFilesAreRefusedOrReadUpToTheCut) {
  std::vector<unsigned char> file = SampleFile();
  auto whole = ReadResourceFile(file.data(), file.size());
  ASSERT_TRUE(whole.has_value());
  const auto end = [](const ResourceEntry& entry, const unsigned char* base) {
    return static_cast<std::size_t>(entry.m_data + entry.m_size - base);
  };
  std::size_t accepted = 0;
  for (std::size_t cut = 0; cut < file.size(); ++cut) {
    std::vector<unsigned char> part(file.begin(), file.begin() + cut);
    auto entries = ReadResourceFile(part.data(), part.size());
    if (!entries) continue;
    ++accepted;
    std::size_t count = entries->size();
    ASSERT_LT(count, whole->size()) << cut;
    EXPECT_GT(end((*whole)[count], file.data()), cut);
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(end((*whole)[i], file.data()), end((*entries)[i], part.data())) << cut;
      EXPECT_EQ((*whole)[i].m_name.m_id, (*entries)[i].m_name.m_id) << cut;
    }
  }
  // At most the empty file, the opening entry alone and each entry's end with
  // or without its padding.
  EXPECT_LE(accepted, 2 + 2 * whole->size());
}

TEST(ResourceFile, HeadersWhoseSizesDoNotAddUpAreRefused) {
  // Byte edits of the first entry after the empty one: a 5-byte custom
  // resource with a 48-byte header.
  struct Damage {
    std::vector<std::pair<std::size_t, unsigned char>> edits;
    const char* what;
  } damages[] = {
      {{{3, 0x80}}, "data size beyond the file"},
      {{{7, 0x80}}, "header size beyond the file"},
      // The entry still ends where it did, its data taking in the header's end.
      {{{0, 5 + 4}, {4, 48 - 4}}, "header size shorter than the header"},
  };
  for (const Damage& damage : damages) {
    std::vector<unsigned char> file = SampleFile();
    ASSERT_EQ(5, file[32]);
    ASSERT_EQ(48, file[32 + 4]);
    for (auto [offset, value] : damage.edits) file[32 + offset] = value;
    EXPECT_FALSE(ReadResourceFile(file.data(), file.size()).has_value()) << damage.what;
  }
}

TEST(DialogTemplate, ReadsBothLayouts) {
  std::vector<unsigned char> file = SampleFile();
  auto entries = ReadResourceFile(file.data(), file.size());
  ASSERT_TRUE(entries.has_value());

  const ResourceEntry& plainEntry = Dialog(*entries, "NAMED");
  auto plain = ReadDialogTemplate(plainEntry.m_data, plainEntry.m_size);
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ("Named dialog", plain->m_caption);
  EXPECT_EQ((std::vector<short>{10, 20, 40, 16}),
            (std::vector<short>{plain->m_x, plain->m_y, plain->m_cx, plain->m_cy}));
  ASSERT_EQ(1u, plain->m_controls.size());
  EXPECT_EQ(IDOK, plain->m_controls[0].m_id);
  EXPECT_EQ("button", plain->m_controls[0].m_className);
  EXPECT_EQ("OK", plain->m_controls[0].m_text);
  EXPECT_EQ((std::vector<short>{4, 2, 32, 12}),
            (std::vector<short>{plain->m_controls[0].m_x, plain->m_controls[0].m_y,
                                plain->m_controls[0].m_cx, plain->m_controls[0].m_cy}));

  const ResourceEntry& extendedEntry = Dialog(*entries, std::to_string(sample::kDialog));
  auto extended = ReadDialogTemplate(extendedEntry.m_data, extendedEntry.m_size);
  ASSERT_TRUE(extended.has_value());
  EXPECT_EQ("Help System", extended->m_caption);
  EXPECT_EQ(static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU),
            extended->m_style);
  struct Expected {
    int id;
    const char* className;
    const char* text;
    bool visible;
  } expected[] = {{sample::kHeading, "static", "Indexing, please wait", true},
                  {sample::kBar, PROGRESS_CLASSA, "Progress1", false},
                  {sample::kPane, "edit", "", true},
                  {sample::kCount, "static", "Static", false}};
  ASSERT_EQ(std::size(expected), extended->m_controls.size());
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& control = extended->m_controls[i];
    EXPECT_EQ(expected[i].id, control.m_id);
    EXPECT_EQ(expected[i].className, control.m_className);
    EXPECT_EQ(expected[i].text, control.m_text);
    EXPECT_EQ(expected[i].visible, (control.m_style & WS_VISIBLE) != 0) << expected[i].id;
  }
}

TEST(DialogTemplate, EveryCutTemplateIsRefused) {
  std::vector<unsigned char> file = SampleFile();
  auto entries = ReadResourceFile(file.data(), file.size());
  ASSERT_TRUE(entries.has_value());
  for (const char* name : {"NAMED", "201"}) {
    const ResourceEntry& entry = Dialog(*entries, name);
    for (std::size_t cut = 0; cut < entry.m_size; ++cut) {
      std::vector<unsigned char> part(entry.m_data, entry.m_data + cut);
      EXPECT_FALSE(ReadDialogTemplate(part.data(), part.size()).has_value()) << name << " " << cut;
    }
  }
}

}  // namespace
