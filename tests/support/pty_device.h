#pragma once

#include <chrono>
#include <string>

namespace tamarind::testing {

// A pseudo-terminal that plays a serial device: the program opens `path()` (the slave side), the
// test reads and writes the master side. The test also keeps the slave open, so the tty keeps its
// settings between the program's opens and closes.
class PtyDevice {
 public:
  PtyDevice();
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  const std::string& path() const { return path_; }
  int master_fd() const { return master_; }
  int slave_fd() const { return slave_; }

  // Sends bytes to the program, as the device answering.
  void Write(const std::string& bytes);

  // What the program has written so far, waiting up to `timeout` for at least `minimum` bytes.
  std::string Read(std::size_t minimum = 1,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
  // Everything already waiting, without waiting for more.
  std::string Drain();

  // Waits until bytes written by Write are waiting on the slave side, where the program reads
  // (a pty delivers them a moment later).
  void WaitUntilReadable(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

  // The device goes away: the master side is closed.
  void Vanish();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace tamarind::testing
