#include "engine/run_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "engine/job.h"
#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::FileWriterProcess;
using testing::LinesOf;
using testing::ParseRecord;
using testing::PtyDevice;
using testing::ReadFile;
using testing::Record;
using testing::WriteFile;

using RunControlTest = EngineTest;

void ExpectIdle(const Model& model) {
  EXPECT_TRUE(model.Timer1_enabled);
  EXPECT_FALSE(model.Timer2_enabled);
  EXPECT_TRUE(model.EdTm_enabled);
}

TEST_F(RunControlTest, TheTypicalJobRunsAndEmptiesTheJobFile) {
  PtyDevice& device = Attach(3);
  model_.EdTm = "500";
  model_.EdCnt = "0";
  model_.Me1.Append("a record of the last job");

  Poll("COM3,ATZ<0d>\r\nCOM3,ATI<0d>\r\n");
  EXPECT_EQ(device.Read(4), "ATZ\r");
  EXPECT_EQ(model_.EdTx, "COM3,ATZ<0d>");
  EXPECT_TRUE(model_.Me1.Empty());
  EXPECT_FALSE(model_.Timer1_enabled);
  EXPECT_TRUE(model_.Timer2_enabled);
  EXPECT_FALSE(model_.EdTm_enabled);
  Answer(3, "OK\r\n");

  clock_.time_text = "10:00:01";
  for (int tick = 1; tick <= 5; ++tick) Tick();
  EXPECT_TRUE(model_.Me1.Empty()) << "500 ms have not passed yet";
  Tick();
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"10:00:01,COM3,ATZ<0d>,OK<0d><0a>,1,1"});
  EXPECT_EQ(device.Read(4), "ATI\r");
  EXPECT_EQ(model_.EdTx, "COM3,ATI<0d>");
  Answer(3, "Tamarind\r\nOK\r\n");

  clock_.time_text = "10:00:02";
  for (int tick = 1; tick <= 5; ++tick) Tick();
  EXPECT_TRUE(model_.Timer2_enabled);
  Tick();
  ExpectIdle(model_);
  EXPECT_EQ(ReadFile("RxDataLog.txt"),
            "10:00:01,COM3,ATZ<0d>,OK<0d><0a>,1,1\r\n"
            "10:00:02,COM3,ATI<0d>,Tamarind<0d><0a>OK<0d><0a>,2,1\r\n"
            "\r\n");
  EXPECT_EQ(ReadFile("TxData.txt"), "") << "emptied, not deleted";
  EXPECT_EQ(model_.EdTx, "送信データ");
  EXPECT_TRUE(model_.Slot(3).handle.IsNoPort());
  EXPECT_EQ(device.Drain(), "") << "nothing more was sent";

  // The emptied file starts no job; the closed port can be opened again by the next job.
  Poll("");
  ExpectIdle(model_);
  Poll("COM3,again");
  EXPECT_EQ(device.Read(5), "again");
}

// Per due step, the records it made.
std::vector<std::vector<Record>> RunRecordingSteps(Model& model,
                                                   const std::function<void()>& tick) {
  std::vector<std::vector<Record>> steps;
  for (int ticks = 0; ticks < 1000 && model.Timer2_enabled; ++ticks) {
    const std::size_t before = model.Me1.Count();
    tick();
    if (model.Me1.Count() == before) continue;
    std::vector<Record> records;
    for (std::size_t i = before; i < model.Me1.Count(); ++i) {
      records.push_back(ParseRecord(model.Me1.WholeLine(i)));
    }
    steps.push_back(records);
  }
  return steps;
}

TEST_F(RunControlTest, UnequalQueuesOverTwoPasses) {
  PtyDevice& two = Attach(2);
  PtyDevice& five = Attach(5);
  PtyDevice& seven = Attach(7);
  model_.EdTm = "200";
  model_.EdCnt = "1";
  Poll("COM7,g1\r\nCOM2,b1\r\nCOM5,e1\r\nCOM2,b2\r\nCOM7,g2\r\nCOM2,b3\r\n");
  const PortHandle five_handle = model_.Slot(5).handle;

  const auto steps = RunRecordingSteps(model_, [this] { Tick(); });
  ExpectIdle(model_);

  // Each due step: the answered lines in slot order, all with the step's number.
  const std::vector<std::vector<std::string>> lines_per_step = {
      {"COM2,b1,", "COM5,e1,", "COM7,g1,"}, {"COM2,b2,", "COM7,g2,"}, {"COM2,b3,"}};
  ASSERT_EQ(steps.size(), 6u);
  for (std::size_t index = 0; index < steps.size(); ++index) {
    const long long pass = static_cast<long long>(index / 3 + 1);
    const long long step = static_cast<long long>(index % 3 + 1);
    std::vector<std::string> lines;
    for (const Record& record : steps[index]) {
      lines.push_back(record.line_and_answer);
      EXPECT_EQ(record.step, step) << "due step " << index + 1;
      EXPECT_EQ(record.pass, pass) << "due step " << index + 1;
    }
    EXPECT_EQ(lines, lines_per_step[index % 3]) << "due step " << index + 1;
  }
  EXPECT_EQ(two.Read(12), "b1b2b3b1b2b3");
  EXPECT_EQ(five.Read(4), "e1e1") << "port 5 ran dry in pass 1 and was written again in pass 2";
  EXPECT_EQ(seven.Read(8), "g1g2g1g2");
  EXPECT_NE(five_handle, kNoPort);
  for (const PortSlot& slot : model_.slots) EXPECT_TRUE(slot.handle.IsNoPort()) << slot.name;
}

TEST_F(RunControlTest, APortThatRanDryKeepsItsHandleUntilTheJobEnds) {
  Attach(2);
  Attach(5);
  model_.EdTm = "200";
  Poll("COM2,b1\r\nCOM5,e1\r\nCOM2,b2\r\n");
  const PortHandle five = model_.Slot(5).handle;
  ASSERT_NE(five, kNoPort);
  for (int tick = 0; tick < 3; ++tick) Tick();  // the first due step: port 5's queue is dry
  ASSERT_EQ(model_.Me1.Count(), 2u);
  EXPECT_EQ(model_.Slot(5).handle, five);
  EXPECT_EQ(model_.Slot(5).current_line, "");
  RunUntilIdle();
  EXPECT_TRUE(model_.Slot(5).handle.IsNoPort());
  // Closed for real: another job can open it again.
  Poll("COM5,e2");
  EXPECT_NE(model_.Slot(5).handle, kNoPort);
  EXPECT_EQ(devices_.at(5)->Read(4), "e1e2");
}

struct TimingRow {
  const char* name;
  const char* interval;
  Tick start;
  std::vector<Tick> step_offsets;  // ms after the job started at which the first steps run
  const char* interval_after_start;
};

TEST_F(RunControlTest, StepsFallOnTheFirstTickMoreThanTheIntervalAfterTheLast) {
  const TimingRow rows[] = {
      {"500", "500", 1'000'000, {600, 1200, 1800}, "500"},
      {"500ms is read as 500 and kept as typed", "500ms", 1'000'000, {600, 1200, 1800}, "500ms"},
      {"50 is clamped, first step by 50", "50", 1'000'000, {100, 400, 700}, "200"},
      {"abc is clamped, first step at once", "abc", 1'000'000, {100, 400, 700}, "200"},
      {"-5 is clamped, first step at once", "-5", 1'000'000, {100, 400, 700}, "200"},
      {"200 is not clamped", "200", 1'000'000, {300, 600, 900}, "200"},
      {"tick count wraps before the first step", "500", 0xFFFFFF00u, {600, 1200, 1800}, "500"},
      {"tick count wraps between steps", "500", 0xFFFFFC00u, {600, 1200, 1800}, "500"},
  };
  for (const TimingRow& row : rows) {
    SCOPED_TRACE(row.name);
    Model model;
    model.clock = &clock_;
    model.EdTm = row.interval;
    clock_.now = row.start;
    WriteFile("TxData.txt", "COM3,1\r\nCOM3,2\r\nCOM3,3\r\nCOM3,4\r\n");
    Timer1Timer(model);
    EXPECT_EQ(model.EdTm, row.interval_after_start);

    // A step is seen by the line it takes off the queue (port 3 is unavailable: no device needed).
    std::vector<tamarind::Tick> steps;
    for (tamarind::Tick offset = kStepPeriodMs;
         steps.size() < row.step_offsets.size() && offset <= 3000; offset += kStepPeriodMs) {
      const std::size_t before = model.Slot(3).queue.Count();
      clock_.now = row.start + offset;
      Timer2Timer(model);
      if (model.Slot(3).queue.Count() != before) steps.push_back(offset);
    }
    EXPECT_EQ(steps, row.step_offsets);
  }
}

struct RepeatRow {
  const char* name;
  const char* repeat_count;
  long long passes;
};

TEST_F(RunControlTest, TheRepeatCountDecidesHowManyPassesRun) {
  const RepeatRow rows[] = {
      {"0: one pass", "0", 1},   {"2: three passes", "2", 3}, {"empty: one pass", "", 1},
      {"-1: one pass", "-1", 1}, {"abc: one pass", "abc", 1}, {" 1x: two passes", " 1x", 2},
  };
  PtyDevice& device = Attach(3);
  model_.EdTm = "200";
  for (const RepeatRow& row : rows) {
    model_.EdCnt = row.repeat_count;
    Poll("COM3,p");
    RunUntilIdle();
    std::vector<long long> passes;
    for (const std::string& line : LinesOf(model_.Me1)) passes.push_back(ParseRecord(line).pass);
    std::vector<long long> expected;
    for (long long pass = 1; pass <= row.passes; ++pass) expected.push_back(pass);
    EXPECT_EQ(passes, expected) << row.name;
    EXPECT_EQ(device.Read(static_cast<std::size_t>(row.passes)),
              std::string(static_cast<std::size_t>(row.passes), 'p'))
        << row.name;
  }
}

TEST_F(RunControlTest, TheRepeatCountIsReadAtEachPassEnd) {
  Attach(3);
  model_.EdTm = "200";
  model_.EdCnt = "0";
  Poll("COM3,p");
  model_.EdCnt = "2";  // edited while the first pass runs
  RunUntilIdle();
  EXPECT_EQ(model_.Me1.Count(), 3u);

  model_.EdCnt = "5";
  Poll("COM3,p");
  for (int tick = 0; tick < 3; ++tick) Tick();  // the first pass ends
  ASSERT_EQ(model_.PassCount, 1);
  model_.EdCnt = "1";
  RunUntilIdle();
  EXPECT_EQ(ParseRecord(model_.Me1.WholeLine(model_.Me1.Count() - 1)).pass, 2);
}

TEST_F(RunControlTest, AHugeRepeatCountDoesNotWrapToOnePass) {
  Attach(3);
  model_.EdTm = "200";
  model_.EdCnt = "2147483647";
  Poll("COM3,p");
  for (int tick = 0; tick < 30; ++tick) Tick();
  EXPECT_TRUE(model_.Timer2_enabled);
  EXPECT_EQ(model_.PassCount, 10);
}

TEST_F(RunControlTest, AJobForAnUnavailablePortCompletesAndEmptiesTheJobFile) {
  Poll("COM4,nobody there\r\n");
  EXPECT_TRUE(model_.Timer2_enabled);
  RunUntilIdle();
  ExpectIdle(model_);
  EXPECT_TRUE(model_.Me1.Empty());
  EXPECT_EQ(ReadFile("TxData.txt"), "");
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "\r\n");
}

TEST_F(RunControlTest, AFailedOpenLeavesARecordWithAnEmptyAnswerAndIsTriedAgain) {
  PtyDevice& device = Attach(3);
  MapTo(3, "/nonexistent/tamarind-device");
  model_.EdTm = "200";
  Poll("COM3,first\r\nCOM3,second\r\n");
  EXPECT_TRUE(model_.Slot(3).handle.IsNoPort());
  MapTo(3, device.path());  // the device is back
  for (int tick = 0; tick < 3; ++tick) Tick();
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"12:34:56,COM3,first,,1,1"});
  EXPECT_EQ(device.Read(6), "second");
  RunUntilIdle();
}

TEST_F(RunControlTest, LinesWithoutMarkersStartNoJobAndLeaveTheFileAlone) {
  model_.Me1.Append("a record of the last job");
  Poll("hello\r\ncom3,x\r\nCOM31,y\r\n");
  ExpectIdle(model_);
  EXPECT_EQ(ReadFile("TxData.txt"), "hello\r\ncom3,x\r\nCOM31,y\r\n");
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"a record of the last job"});
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "<missing>");
}

TEST_F(RunControlTest, AJobFileStillBeingWrittenIsNotRunUntilItsWriterCloses) {
  PtyDevice& device = Attach(3);
  WriteFile("TxData.txt", "COM3,half");
  {
    FileWriterProcess writer("TxData.txt");
    EXPECT_THROW(Timer1Timer(model_), FileError);
    ExpectIdle(model_);
    EXPECT_TRUE(model_.Slot(3).queue.Empty());
  }
  Timer1Timer(model_);
  EXPECT_TRUE(model_.Timer2_enabled);
  EXPECT_EQ(device.Read(4), "half");
}

TEST_F(RunControlTest, ALogThatCannotBeWrittenIsReportedOncePerJobAndTheJobGoesOn) {
  Attach(3);
  model_.EdTm = "200";
  std::filesystem::create_directory("RxDataLog.txt");
  const std::string why = "Cannot write the receive log RxDataLog.txt: Is a directory";

  Poll("COM3,a\r\nCOM3,b\r\n");
  for (int tick = 0; tick < 3; ++tick) Tick();
  EXPECT_EQ(model_.log_problem, why);
  model_.log_problem.clear();  // the window has shown it
  RunUntilIdle();
  EXPECT_EQ(model_.log_problem, "") << "not raised again by the same job";
  EXPECT_EQ(model_.Me1.Count(), 2u);
  EXPECT_EQ(ReadFile("TxData.txt"), "");

  Poll("COM3,c");
  RunUntilIdle();
  EXPECT_EQ(model_.log_problem, why) << "a new job reports it again";
}

TEST_F(RunControlTest, TheTimersDoNothingInTheWrongMode) {
  Attach(3);
  Timer2Timer(model_);
  ExpectIdle(model_);
  Poll("COM3,a\r\nCOM3,b\r\n");
  WriteFile("TxData.txt", "COM3,other");
  Timer1Timer(model_);
  EXPECT_EQ(model_.Slot(3).queue.Count(), 1u) << "a poll tick during a job starts nothing";
  RunUntilIdle();
}

}  // namespace
}  // namespace tamarind
