#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>

#include "app/stop_signals.h"

namespace tamarind {
namespace {

int stop_pipe[2] = {-1, -1};

// Only async-signal-safe calls here: one non-blocking write, errno kept.
void OnStopSignal(int signal_number) {
  const int saved_errno = errno;
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const ssize_t ignored = ::write(stop_pipe[1], &byte, 1);
  errno = saved_errno;
}

}  // namespace

void CallOnStopSignals(QObject* owner, std::function<void()> on_stop) {
  if (::pipe2(stop_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    std::perror("tamarind: no pipe for SIGINT/SIGTERM");
    return;
  }
  auto* notifier = new QSocketNotifier(stop_pipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [on_stop = std::move(on_stop)] {
    char bytes[64];
    while (::read(stop_pipe[0], bytes, sizeof bytes) > 0) {
    }
    on_stop();
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tamarind
