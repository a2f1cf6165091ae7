// Tests of the wording of toolkit and system failures.
#include <gtest/gtest.h>

#include "component/toolkit/failure_texts.h"
#include "component/toolkit/toolkit_error.h"
#include "dizode/dizode.h"

namespace {

TEST(ToolkitStatusTest, OnlyTheLowSixteenBitsCountAndAreSigned) {
  struct Case {
    int32_t nReturn;
    int16_t nStatus;
  } cases[] = {{0, 0},
               {0x12340000, 0},
               {-2, -2},
               {0x0001FFFE, -2},
               {0x7FFF, 32767},
               {0x8000, -32768},
               {static_cast<int32_t>(0xABCD0005), 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToolkitStatus(c.nReturn), c.nStatus) << std::hex << c.nReturn;
    EXPECT_EQ(ToolkitFailed(c.nReturn), c.nStatus != 0) << std::hex << c.nReturn;
  }
}

TEST(ToolkitFailureTextTest, AppendsTheSignedStatusWithoutABlank) {
  EXPECT_EQ(ToolkitFailureText(kSearchFailed, -2), "Unable to Search. Dizode error-2");
  EXPECT_EQ(ToolkitFailureText(kSearchInfoFailed, 0x00010007),
            "Unable to Get Search Info. Dizode error7");
  EXPECT_EQ(ToolkitFailureText(kDocReadBatchFailed, 0xFFFF),
            "Unable to do DocReadBatch. Dizode error-1");
  try {
    ThrowToolkitFailure(kAddDocsFailed, -14);
    FAIL();
  } catch (const ToolkitError& error) {
    EXPECT_STREQ(error.what(), "Unable to add new docs into a Dizode Collection. Dizode error-14");
  }
}

TEST(SystemErrorTextTest, GivesTheSystemTextOrANumberedFallback) {
  const std::string sAlreadyExists = SystemErrorText(ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(sAlreadyExists.empty());
  EXPECT_NE(sAlreadyExists, SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(SystemErrorText(0x7FFFFFF0), "System error 2147483632");
}

TEST(RecordsTest, AreZeroFilledWithSizeAndVersionFirst) {
  const TkSearchArgs args = dizode::MakeRecord<TkSearchArgs>();
  EXPECT_EQ(args.size, sizeof(TkSearchArgs));
  EXPECT_EQ(args.version, 576);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&args);
  for (size_t i = 4; i < sizeof args; ++i) {
    ASSERT_EQ(bytes[i], 0) << "byte " << i;
  }
}

}  // namespace
