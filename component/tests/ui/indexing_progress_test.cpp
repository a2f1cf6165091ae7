// Tests of the progress callback's sorting of status messages when no
// dialog is showing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/com/vivevi_vadiro.h"
#include "component/ui/dialog_state.h"
#include "component/ui/indexing_progress.h"
#include "winport/owners.h"

namespace {

void Send(ViveviVadiro& component, const char* sText) {
  TkStatusMessage message{};
  message.size = sizeof message;
  message.version = TK_VERSION;
  message.text = sText;
  IndexingProgressCallback(&component, &message);
}

TEST(IndexingProgressTest, RecordsTheFirstErrorMessageOnly) {
  struct Case {
    std::vector<const char*> messages;
    std::string sRecorded;
  } cases[] = {
      {{"Error"}, ""},  // exactly "Error" is plain text
      {{"Errors: none"}, "Errors: none"},
      {{"E17 page.htm is unreadable", "E18 later"}, "E17 page.htm is unreadable"},
      {{"D12 (x.htm)", "I indexing", "U updating", "Starting", ""}, ""},
      {{"e lower case"}, ""},
      {{"Document 1 (a.htm)", "E disk full", "Document 2 (b.htm)"}, "E disk full"},
  };
  ResetDialogState();
  for (const Case& c : cases) {
    winport::ComPtr<ViveviVadiro> component(new ViveviVadiro);
    for (const char* sText : c.messages) {
      Send(*component.Get(), sText);
    }
    EXPECT_EQ(component->LastError().Text(), c.sRecorded) << c.messages[0];
  }
}

TEST(IndexingProgressTest, ToleratesANullTextOrContext) {
  winport::ComPtr<ViveviVadiro> component(new ViveviVadiro);
  Send(*component.Get(), nullptr);
  IndexingProgressCallback(nullptr, nullptr);
  EXPECT_EQ(component->LastError().Text(), "");
}

}  // namespace

namespace {

TEST(CountLineTextTest, KeepsTheTextBeforeTheParenthesisAndAddsTheTotal) {
  EXPECT_EQ(CountLineText("D12 (x.htm)", 250), "D12  of 250");
  EXPECT_EQ(CountLineText("Document 3 (a (b).htm)", -1), "Document 3  of -1");
  EXPECT_EQ(CountLineText("D7", 0), "D7 of 0");
}

}  // namespace
