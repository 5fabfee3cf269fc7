#include "log/receive_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/fake_clock.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::FakeClock;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

TEST(ReceiveLog, AMissingLogIsCreatedByTheFirstLine) {
  const ScratchDir dir;
  EXPECT_TRUE(AppendLog("12:34:56,COM3,ATZ<0d>,OK<0d><0a>,1,1"));
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "12:34:56,COM3,ATZ<0d>,OK<0d><0a>,1,1\r\n");
}

TEST(ReceiveLog, LinesAreAppendedAfterWhatIsThere) {
  const ScratchDir dir;
  WriteFile("RxDataLog.txt", "written by someone else, without a line end");
  EXPECT_TRUE(AppendLog("first"));
  EXPECT_TRUE(AppendLog(""));
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "written by someone else, without a line endfirst\r\n\r\n");
}

TEST(ReceiveLog, TwoStartsLeaveTwoHeaders) {
  const ScratchDir dir;
  FakeClock clock;
  clock.date_text = "12/10/26";
  EXPECT_TRUE(WriteStartupHeader(clock));
  clock.date_text = "12/11/26";
  EXPECT_TRUE(WriteStartupHeader(clock));
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "\r\n12/10/26\r\n\r\n12/11/26\r\n");
}

TEST(ReceiveLog, ALogThatCannotBeWrittenSaysWhichFileAndWhy) {
  const ScratchDir dir;
  std::filesystem::create_directory("RxDataLog.txt");  // root ignores modes; a folder still refuses
  std::string why;
  EXPECT_FALSE(AppendLog("a record", &why));
  EXPECT_EQ(why, "Cannot write the receive log RxDataLog.txt: Is a directory");

  std::string header_why;
  EXPECT_FALSE(WriteStartupHeader(FakeClock(), &header_why));
  EXPECT_EQ(header_why, why);
}

TEST(ReceiveLog, SuccessLeavesTheReasonAlone) {
  const ScratchDir dir;
  std::string why = "an earlier problem";
  EXPECT_TRUE(AppendLog("fine", &why));
  EXPECT_EQ(why, "an earlier problem");
}

}  // namespace
}  // namespace tamarind
