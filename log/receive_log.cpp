#include "log/receive_log.h"

#include <cerrno>
#include <cstring>

#include "app/file_access.h"

namespace tamarind {
namespace {

std::string DescribeFailure(int error) {
  std::string why = std::string("Cannot write the receive log ") + kReceiveLogFileName + ": ";
  // errno stays 0 when the open worked and the one write came back short.
  why += error != 0 ? std::strerror(error) : "the write fell short";
  return why;
}

}  // namespace

bool AppendLog(std::string_view text, std::string* why) {
  std::string line;
  line.reserve(text.size() + 2);
  line += text;
  line += "\r\n";
  errno = 0;
  if (AppendToFile(kReceiveLogFileName, line)) return true;
  const int error = errno;
  if (why != nullptr) *why = DescribeFailure(error);
  return false;
}

bool WriteStartupHeader(const Clock& clock, std::string* why) {
  // Both lines are tried even when the first fails; the first failure is the one reported.
  std::string first_problem;
  const bool blank_written = AppendLog("", &first_problem);
  const bool date_written = AppendLog(clock.DateText(), blank_written ? &first_problem : nullptr);
  if (blank_written && date_written) return true;
  if (why != nullptr) *why = first_problem;
  return false;
}

}  // namespace tamarind
