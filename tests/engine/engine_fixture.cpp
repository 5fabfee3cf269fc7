#include "tests/engine/engine_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/run_control.h"

namespace tamarind::testing {

Record ParseRecord(const std::string& text) {
  Record record;
  const std::size_t first = text.find(',');
  const std::size_t last = text.rfind(',');
  const std::size_t before_last = text.rfind(',', last - 1);
  if (first == std::string::npos || before_last == std::string::npos || before_last <= first) {
    ADD_FAILURE() << "not a record: " << text;
    return record;
  }
  record.time = text.substr(0, first);
  record.line_and_answer = text.substr(first + 1, before_last - first - 1);
  record.step = std::stoll(text.substr(before_last + 1, last - before_last - 1));
  record.pass = std::stoll(text.substr(last + 1));
  return record;
}

std::vector<std::string> LinesOf(const LineList& list) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < list.Count(); ++i) lines.push_back(list.WholeLine(i));
  return lines;
}

EngineTest::EngineTest() {
  model_.clock = &clock_;
  clock_.now = 1'000'000;
  // Nothing here runs the probe, but a port map on disk keeps any later open off /dev/ttyS*.
  WritePortMap({});
  ApplyMap();
}

EngineTest::~EngineTest() {
  for (PortSlot& slot : model_.slots) slot.handle = ClosePort(slot.handle);
}

PtyDevice& EngineTest::Attach(int number) {
  auto& device = devices_[number];
  device = std::make_unique<PtyDevice>();
  paths_[number] = device->path();
  model_.Slot(number).availability = Availability::Available;
  ApplyMap();
  return *device;
}

void EngineTest::MapTo(int number, const std::string& path) {
  paths_[number] = path;
  ApplyMap();
}

void EngineTest::ApplyMap() {
  std::string text;
  for (int number = 1; number <= kPortCount; ++number) {
    const auto found = paths_.find(number);
    text +=
        "COM" + std::to_string(number) + "=" + (found == paths_.end() ? "" : found->second) + "\n";
  }
  model_.ports.map = PortMap::Parse(text);
}

void EngineTest::Poll(const std::string& job_text) {
  WriteFile("TxData.txt", job_text);
  Timer1Timer(model_);
}

void EngineTest::Tick() {
  clock_.Advance(kStepPeriodMs);
  Timer2Timer(model_);
}

void EngineTest::RunUntilIdle(int max_ticks) {
  for (int tick = 0; tick < max_ticks && model_.Timer2_enabled; ++tick) Tick();
  ASSERT_FALSE(model_.Timer2_enabled)
      << "the job did not complete within " << max_ticks << " ticks";
}

void EngineTest::Answer(int number, const std::string& bytes) {
  PtyDevice& device = *devices_.at(number);
  device.Write(bytes);
  // A pty hands the bytes over a moment later; wait until all of them are waiting.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int waiting = 0;
  while (::ioctl(device.slave_fd(), FIONREAD, &waiting) == 0 &&
         static_cast<std::size_t>(waiting) < bytes.size() &&
         std::chrono::steady_clock::now() < deadline) {
    device.WaitUntilReadable(std::chrono::milliseconds(10));
    std::this_thread::yield();
  }
  ASSERT_EQ(static_cast<std::size_t>(waiting), bytes.size()) << "the answer did not arrive";
}

FileWriterProcess::FileWriterProcess(const std::string& file_name) {
  int ready[2];
  if (::pipe(ready) != 0) throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ == 0) {
    const int fd = ::open(file_name.c_str(), O_WRONLY | O_APPEND);
    char byte = fd >= 0 ? 'y' : 'n';
    (void)!::write(ready[1], &byte, 1);
    ::pause();
    ::_exit(0);
  }
  ::close(ready[1]);
  char byte = 0;
  const bool opened = ::read(ready[0], &byte, 1) == 1 && byte == 'y';
  ::close(ready[0]);
  if (!opened) {
    Release();
    throw std::runtime_error("the writer could not open " + file_name);
  }
}

FileWriterProcess::~FileWriterProcess() {
  Release();
}

void FileWriterProcess::Release() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace tamarind::testing
