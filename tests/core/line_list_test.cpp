#include "app/line_list.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

LineList FromText(std::string_view text) {
  LineList list;
  list.SetText(text);
  return list;
}

std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < list.Count(); ++i) lines.push_back(list.Line(i));
  return lines;
}

struct EditCase {
  const char* name;
  std::string before;
  std::function<void(LineList&)> edit;
  std::string after;
  std::size_t count;
};

class LineListEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(LineListEdit, GivesTheEditControlsText) {
  const EditCase& row = GetParam();
  LineList list = FromText(row.before);
  row.edit(list);
  EXPECT_EQ(list.Text(), row.after);
  EXPECT_EQ(list.Count(), row.count);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, LineListEdit,
    ::testing::Values(
        EditCase{"count_ignores_empty_line_after_last_break", "A\r\n\r\n", [](LineList&) {},
                 "A\r\n\r\n", 2},
        EditCase{"append_to_text_without_final_break", "A\r\nB\r\nC",
                 [](LineList& l) { l.Append("X"); }, "A\r\nB\r\nC\r\nX", 4},
        EditCase{"append_to_empty_text", "", [](LineList& l) { l.Append("X"); }, "X\r\n", 1},
        EditCase{"append_empty_only_adds_the_break", "A\r\nB", [](LineList& l) { l.Append(""); },
                 "A\r\nB\r\n", 2},
        EditCase{"append_after_empty_append_lands_on_that_index", "A\r\nB",
                 [](LineList& l) {
                   l.Append("");
                   l.Append("Y");
                 },
                 "A\r\nB\r\nY\r\n", 3},
        EditCase{"append_cuts_at_first_nul", "",
                 [](LineList& l) { l.Append(std::string("ab\0cd", 5)); }, "ab\r\n", 1},
        EditCase{"append_with_inner_break_makes_two_lines", "",
                 [](LineList& l) { l.Append("a\r\nb"); }, "a\r\nb\r\n", 2},
        EditCase{"remove_last_line_without_final_break_leaves_a_break", "A\r\nB",
                 [](LineList& l) { l.Remove(1); }, "A\r\n", 1},
        EditCase{"remove_first_line", "A\r\nB\r\nC", [](LineList& l) { l.Remove(0); }, "B\r\nC", 2},
        EditCase{"remove_only_line_empties_the_text", "A", [](LineList& l) { l.Remove(0); }, "", 0},
        EditCase{"remove_past_the_end_changes_nothing", "A\r\nB", [](LineList& l) { l.Remove(2); },
                 "A\r\nB", 2},
        EditCase{"remove_line_30_of_33_three_times",
                 [] {
                   std::string text;
                   for (int i = 0; i < 33; ++i) text += "L" + std::to_string(i) + "\r\n";
                   return text.substr(0, text.size() - 2);
                 }(),
                 [](LineList& l) {
                   for (int i = 0; i < 3; ++i) l.Remove(30);
                 },
                 [] {
                   std::string text;
                   for (int i = 0; i < 30; ++i) text += "L" + std::to_string(i) + "\r\n";
                   return text;
                 }(),
                 30},
        EditCase{"copy_cuts_lines_to_4096_and_ends_with_a_break", "",
                 [](LineList& l) { l.CopyFrom(FromText("a\r\n" + kLong)); },
                 "a\r\n" + kLong.substr(0, 4096) + "\r\n", 2},
        EditCase{"copy_of_empty_list_is_empty", "A", [](LineList& l) { l.CopyFrom(LineList{}); },
                 "", 0}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(LineList, ReadingCutsAt4096AndPastTheEndReadsEmpty) {
  const LineList list = FromText(kLong);
  EXPECT_EQ(list.Line(0), kLong.substr(0, 4096));
  EXPECT_EQ(list.WholeLine(0), kLong);
  EXPECT_EQ(list.Line(1), "");
}

struct FillCase {
  const char* name;
  std::string file;
  std::vector<std::string> lines;
  bool ends_with_break;
};

class LineListFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(LineListFill, ReadsLinesAsTheEditControlDoes) {
  const ScratchDir dir;
  WriteFile("in.txt", GetParam().file);
  LineList list;
  list.FillFromFile("in.txt");
  EXPECT_EQ(Lines(list), GetParam().lines);
  EXPECT_EQ(list.EndsWithLineBreak(), GetParam().ends_with_break);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineListFill,
    ::testing::Values(
        FillCase{"lf_cr_and_crlf_all_break", "A\nB\rC", {"A", "B", "C"}, false},
        FillCase{"lf_cr_gives_two_breaks", "A\n\rB", {"A", "", "B"}, false},
        FillCase{"final_break_starts_no_line", "A\r\nB\r\n", {"A", "B"}, true},
        FillCase{
            "nul_ends_the_text", std::string("one\r\ntw\0o\r\nthree", 16), {"one", "tw"}, false},
        FillCase{"empty_file", "", {}, false}, FillCase{"lone_cr_at_end", "A\r", {"A"}, true}),
    [](const ::testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

TEST(LineList, FillThenAppendAndSaveKeepsNoFinalBreak) {
  const ScratchDir dir;
  WriteFile("in.txt", "A\nB\rC");
  LineList list;
  list.FillFromFile("in.txt");
  list.Append("X");
  list.SaveToFile("out.txt");
  EXPECT_EQ(ReadFile("out.txt"), "A\r\nB\r\nC\r\nX");
}

TEST(LineList, EmptyListSavesAnEmptyFile) {
  const ScratchDir dir;
  WriteFile("out.txt", "old");
  LineList{}.SaveToFile("out.txt");
  EXPECT_EQ(ReadFile("out.txt"), "");
}

TEST(LineList, FillOfMissingFileRaisesAndKeepsTheList) {
  const ScratchDir dir;
  LineList list = FromText("keep");
  try {
    list.FillFromFile("missing.txt");
    FAIL() << "no error raised";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "ファイル missing.txt は開けません");
  }
  EXPECT_EQ(list.Text(), "keep");
}

TEST(LineList, FillRefusesAFileAnotherProcessHoldsOpenForWriting) {
  const ScratchDir dir;
  WriteFile("job.txt", "half a jo");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t writer = ::fork();
  if (writer == 0) {
    const int fd = ::open("job.txt", O_WRONLY | O_APPEND);
    char byte = 'x';
    (void)!::write(ready[1], &byte, 1);
    ::pause();
    ::close(fd);
    ::_exit(0);
  }
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);

  LineList list;
  EXPECT_THROW(list.FillFromFile("job.txt"), FileError);
  EXPECT_EQ(list.Count(), 0u);

  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  list.FillFromFile("job.txt");
  EXPECT_EQ(Lines(list), std::vector<std::string>{"half a jo"});
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(LineList, SaveIntoAnUnwritablePlaceRaisesCannotCreate) {
  const ScratchDir dir;
  std::filesystem::create_directory("settings.txt");  // root ignores modes; a folder still refuses
  try {
    FromText("A").SaveToFile("settings.txt");
    FAIL() << "no error raised";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "ファイル settings.txt を作成できません");
  }
}

TEST(LineList, FillRefusesAFolder) {
  const ScratchDir dir;
  std::filesystem::create_directory("job.txt");
  LineList list;
  EXPECT_THROW(list.FillFromFile("job.txt"), FileError);
}

}  // namespace
}  // namespace tamarind
