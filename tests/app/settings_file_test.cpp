#include "app/settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/file_error.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

// `count` port lines "port<k>", each followed by `end`.
std::string PortLines(int count, const std::string& end = "\r\n") {
  std::string text;
  for (int k = 1; k <= count; ++k) text += "port" + std::to_string(k) + end;
  return text;
}

std::string Defaults(int count) {
  std::string text;
  for (int k = 0; k < count; ++k) text += "38400,E,8\r\n";
  return text;
}

// Holds a file open for writing, as another program saving it would.
class HeldForWriting {
 public:
  explicit HeldForWriting(const char* name) : fd_(::open(name, O_WRONLY | O_APPEND)) {}
  ~HeldForWriting() { ::close(fd_); }
  HeldForWriting(const HeldForWriting&) = delete;
  HeldForWriting& operator=(const HeldForWriting&) = delete;

 private:
  int fd_;
};

TEST(LoadSettings, NoFileKeepsTheDefaults) {
  ScratchDir scratch;
  Model model;
  LoadSettings(model);
  for (const PortSlot& slot : model.slots) EXPECT_EQ(slot.settings, "38400,E,8") << slot.name;
  EXPECT_EQ(model.EdTm, "500");
  EXPECT_EQ(model.EdCnt, "0");
}

TEST(LoadSettings, FillsTheSlotsAndFieldsLineByLine) {
  ScratchDir scratch;
  WriteFile(kSettingsFileName, "9600,N,8\r\n" + PortLines(28) + "115200,O,7\r\n1000\r\n3\r\n");
  Model model;
  LoadSettings(model);
  EXPECT_EQ(model.Slot(1).settings, "9600,N,8");
  EXPECT_EQ(model.Slot(2).settings, "port1");
  EXPECT_EQ(model.Slot(30).settings, "115200,O,7");
  EXPECT_EQ(model.EdTm, "1000");
  EXPECT_EQ(model.EdCnt, "3");
}

TEST(LoadSettings, AShortFileLeavesTheLaterSettingsEmpty) {
  ScratchDir scratch;
  WriteFile(kSettingsFileName, "9600,N,8\n4800,E,7");
  Model model;
  LoadSettings(model);
  EXPECT_EQ(model.Slot(1).settings, "9600,N,8");
  EXPECT_EQ(model.Slot(2).settings, "4800,E,7");
  EXPECT_EQ(model.Slot(3).settings, "");
  EXPECT_EQ(model.EdTm, "");
  EXPECT_EQ(model.EdCnt, "");
}

TEST(LoadSettings, AFileHeldOpenForWritingRaisesAndChangesNothing) {
  ScratchDir scratch;
  WriteFile(kSettingsFileName, PortLines(30) + "1000\r\n3\r\n");
  const HeldForWriting writer(kSettingsFileName);
  Model model;
  try {
    LoadSettings(model);
    FAIL() << "a file held open for writing must not be read";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "ファイル Tamarindinf.txt は開けません");
  }
  EXPECT_EQ(model.Slot(1).settings, "38400,E,8");
  EXPECT_EQ(model.EdTm, "500");
}

TEST(SaveSettings, AFileOf32LinesEndingInCrLfSurvivesLoadAndSaveByteForByte) {
  ScratchDir scratch;
  // Odd but legal contents: bytes that are no UTF-8, blanks, an empty port line.
  const std::string file =
      "9600,N,8\r\n\xE9\xFF,x\r\n \r\n\r\n" + PortLines(26) + "1000\r\n  7x\r\n";
  WriteFile(kSettingsFileName, file);
  Model model;
  LoadSettings(model);
  SaveSettings(model);
  EXPECT_EQ(ReadFile(kSettingsFileName), file);
}

TEST(SaveSettings, WritesTheFieldsAfterTheFilesOwnPortLinesNotTheShownOnes) {
  ScratchDir scratch;
  WriteFile(kSettingsFileName, PortLines(30) + "500\r\n0\r\n");
  Model model;
  LoadSettings(model);
  model.Slot(4).settings = "changed while running";
  model.EdTm = "750";
  model.EdCnt = "12";
  SaveSettings(model);
  EXPECT_EQ(ReadFile(kSettingsFileName), PortLines(30) + "750\r\n12\r\n");
}

struct SaveCase {
  const char* name;
  std::string file;  // "<none>" for no file at all
  std::string EdTm;
  std::string EdCnt;
  std::string saved;
};

class SaveSettingsShape : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveSettingsShape, PutsTheFieldsOnLines31And32) {
  const SaveCase& row = GetParam();
  ScratchDir scratch;
  if (row.file != "<none>") WriteFile(kSettingsFileName, row.file);
  Model model;
  model.EdTm = row.EdTm;
  model.EdCnt = row.EdCnt;
  SaveSettings(model);
  EXPECT_EQ(ReadFile(kSettingsFileName), row.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveSettingsShape,
    ::testing::Values(
        SaveCase{"lines_after_the_32nd_are_dropped",
                 PortLines(30) + "500\r\n0\r\nthree\r\nfour\r\n", "500", "0",
                 PortLines(30) + "500\r\n0\r\n"},
        SaveCase{"more_lines_without_final_break_are_cut", PortLines(32) + "port33", "500", "0",
                 PortLines(30) + "500\r\n0\r\n"},
        SaveCase{"no_file_gives_thirty_default_port_lines", "<none>", "500", "0",
                 Defaults(30) + "500\r\n0\r\n"},
        SaveCase{"a_short_file_is_padded_with_defaults", PortLines(5), "250", "2",
                 PortLines(5) + Defaults(25) + "250\r\n2\r\n"},
        SaveCase{"an_empty_file_is_padded", "", "500", "0", Defaults(30) + "500\r\n0\r\n"},
        SaveCase{"a_short_file_without_final_break_stays_without", PortLines(4) + "port5", "500",
                 "0", PortLines(5) + Defaults(24) + "38400,E,8\r\n500\r\n0"},
        SaveCase{"thirty_lines_without_final_break_stay_without", PortLines(29) + "port30", "500",
                 "0", PortLines(30) + "500\r\n0"},
        SaveCase{"an_empty_interval_is_not_absorbed_into_the_port_lines", PortLines(29) + "port30",
                 "", "3", PortLines(30) + "\r\n3\r\n"},
        SaveCase{"an_empty_interval_after_a_final_break_is_a_line", PortLines(30), "", "3",
                 PortLines(30) + "\r\n3\r\n"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

TEST(SaveSettings, WhatWasSavedLoadsBackIntoTheSameFields) {
  ScratchDir scratch;
  WriteFile(kSettingsFileName, PortLines(3, "\n"));
  Model model;
  model.EdTm = "1000";
  model.EdCnt = "4";
  SaveSettings(model);
  Model next_run;
  LoadSettings(next_run);
  EXPECT_EQ(next_run.Slot(3).settings, "port3");
  EXPECT_EQ(next_run.Slot(4).settings, "38400,E,8");
  EXPECT_EQ(next_run.EdTm, "1000");
  EXPECT_EQ(next_run.EdCnt, "4");
  SaveSettings(next_run);
  Model third_run;
  LoadSettings(third_run);
  EXPECT_EQ(third_run.EdTm, "1000") << "the file must not grow at each close";
}

TEST(SaveSettings, LeavesTheJobBufferAsItWas) {
  ScratchDir scratch;
  Model model;
  model.COMall_D.SetText("COM3,ATZ<0d>\r\nCOM3,ATI<0d>\r\n");
  const LineList job = model.COMall_D;

  SaveSettings(model);  // no file: the job lines must not become port settings
  EXPECT_EQ(ReadFile(kSettingsFileName), Defaults(30) + "500\r\n0\r\n");
  EXPECT_EQ(model.COMall_D, job);

  SaveSettings(model);  // with a file: the buffer lends itself and is given back
  EXPECT_EQ(model.COMall_D, job);
}

TEST(SaveSettings, AFileThatCannotBeReadRaisesAndIsNotReplaced) {
  ScratchDir scratch;
  std::filesystem::create_directory(kSettingsFileName);
  Model model;
  model.COMall_D.SetText("COM3,ATZ<0d>\r\n");
  const LineList job = model.COMall_D;
  EXPECT_THROW(SaveSettings(model), FileError);
  EXPECT_TRUE(std::filesystem::is_directory(kSettingsFileName));
  EXPECT_EQ(model.COMall_D, job);
}

TEST(SaveSettings, AFileHeldOpenForWritingRaisesAndKeepsItsBytes) {
  ScratchDir scratch;
  const std::string file = PortLines(30) + "500\r\n0\r\n";
  WriteFile(kSettingsFileName, file);
  const HeldForWriting writer(kSettingsFileName);
  Model model;
  model.EdTm = "999";
  EXPECT_THROW(SaveSettings(model), FileError);
  EXPECT_EQ(ReadFile(kSettingsFileName), file);
}

}  // namespace
}  // namespace tamarind
