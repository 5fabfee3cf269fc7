#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <string>

#include "app/settings_file.h"
#include "app/tf1.h"
#include "tests/app/qt_environment.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using std::chrono::milliseconds;
using testing::PtyDevice;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WaitUntil;
using testing::WriteFile;
using testing::WritePortMap;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole job through the real window and its real timers: the first poll comes 3000 ms after
// start-up, the two steps 200 ms apart, so this takes about four seconds.
TEST(WindowJob, RunsFromTheJobFileToTheEmptiedJobFileOnAPseudoTerminal) {
  ScratchDir scratch;
  PtyDevice com3;
  WritePortMap({{3, com3.path()}});
  std::string settings;
  for (int k = 0; k < 30; ++k) settings += "38400,E,8\r\n";
  WriteFile(kSettingsFileName, settings + "200\r\n0\r\n");
  // The second line carries a byte that is no UTF-8: sent and logged as it is, shown as Latin-1.
  WriteFile("TxData.txt", "COM3,ATZ<0d>\r\nCOM3,AT\xE9<0d>\r\n");

  Model model;
  TF1 F1(model);
  F1.RunFormCreate();
  F1.show();
  auto& interval = *F1.findChild<QLineEdit*>("EdTm");
  auto& last_sent = *F1.findChild<QLineEdit*>("EdTx");
  auto& records = *F1.findChild<QPlainTextEdit*>("Me1");
  auto& poll = *F1.findChild<QTimer*>("Timer1");
  auto& step = *F1.findChild<QTimer*>("Timer2");

  // The device answers each line as it arrives.
  std::string received;
  bool seen_running = false;
  const auto started = std::chrono::steady_clock::now();
  const bool done = WaitUntil(
      [&] {
        const std::string more = com3.Drain();
        received += more;
        if (more.find("ATZ\r") != std::string::npos) com3.Write("OK\r\n");
        if (more.find("AT\xE9\r") != std::string::npos) com3.Write("ready\r\n");
        if (step.isActive() && !poll.isActive() && !interval.isEnabled() &&
            last_sent.text() == "COM3,ATé<0d>") {
          seen_running = true;
        }
        return ReadFile("TxData.txt").empty();
      },
      milliseconds(10000));
  const auto took = std::chrono::steady_clock::now() - started;

  ASSERT_TRUE(done) << "the job did not complete; the device got: " << received;
  EXPECT_GE(took, milliseconds(2900)) << "the first poll comes after 3000 ms";
  EXPECT_EQ(received, "ATZ\rAT\xE9\r");
  EXPECT_TRUE(seen_running) << "running: step timer on, poll timer off, EdTm greyed out";

  const QStringList shown = records.toPlainText().split('\n');
  ASSERT_EQ(shown.size(), 2) << records.toPlainText().toStdString();
  EXPECT_TRUE(shown[0].endsWith(",COM3,ATZ<0d>,OK<0d><0a>,1,1")) << shown[0].toStdString();
  EXPECT_TRUE(shown[1].endsWith(",COM3,ATé<0d>,ready<0d><0a>,2,1")) << shown[1].toStdString();

  const std::string log = ReadFile("RxDataLog.txt");
  EXPECT_TRUE(EndsWith(log, ",COM3,AT\xE9<0d>,ready<0d><0a>,2,1\r\n\r\n")) << log;
  EXPECT_EQ(last_sent.text(), "送信データ");
  EXPECT_TRUE(poll.isActive());
  EXPECT_FALSE(step.isActive());
  EXPECT_TRUE(interval.isEnabled());
}

}  // namespace
}  // namespace tamarind
