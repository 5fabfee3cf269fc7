#include "bench/cycle/program_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tamarind::bench {

ProgramProcess::ProgramProcess(const std::string& program, const std::string& working_folder) {
  const std::string runtime_folder = working_folder + "/.runtime";
  ::mkdir(runtime_folder.c_str(), 0700);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    if (::chdir(working_folder.c_str()) != 0) ::_exit(127);
    const int output = ::open("program-output.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output >= 0) {
      ::dup2(output, 1);
      ::dup2(output, 2);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", runtime_folder.c_str(), 1);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
}

ProgramProcess::~ProgramProcess() {
  if (Running()) Stop();
}

std::chrono::nanoseconds ProgramProcess::CpuTime() const {
  const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
  std::int64_t total = 0;
  DIR* folder = ::opendir(tasks.c_str());
  if (folder == nullptr) return std::chrono::nanoseconds(0);
  while (const dirent* entry = ::readdir(folder)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
    std::int64_t on_cpu = 0;
    if (schedstat >> on_cpu) total += on_cpu;
  }
  ::closedir(folder);
  return std::chrono::nanoseconds(total);
}

std::int64_t ProgramProcess::StatusKb(const std::string& key) const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::istringstream value(line.substr(key.size()));
    std::int64_t kb = 0;
    value >> kb;
    return kb;
  }
  return -1;
}

bool ProgramProcess::Running() {
  if (pid_ <= 0) return false;
  if (::waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;  // ended and reaped
  return false;
}

void ProgramProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool ProgramProcess::Stop() {
  if (pid_ <= 0) return false;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int waited = 0; waited < 500; ++waited) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
  return false;
}

}  // namespace tamarind::bench
