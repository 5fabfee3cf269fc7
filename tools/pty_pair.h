#pragma once

#include <string>
#include <string_view>

namespace tamarind::devsim {

// One pseudo-terminal playing a serial device: the program opens `path()` (the slave side); the
// simulator reads and writes the master side, never blocking. The slave side stays open here
// for the pair's whole life, so the device survives the program's opens and closes and never
// reports a hang-up. Raw from the start, so the line discipline neither echoes nor edits.
class PtyPair {
 public:
  // Throws std::system_error when no pseudo-terminal can be made.
  PtyPair();
  ~PtyPair();
  PtyPair(PtyPair&& other) noexcept;
  PtyPair& operator=(PtyPair&&) = delete;
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& path() const { return path_; }
  int master_fd() const { return master_; }

  // Everything the program has written so far; "" when nothing waits.
  std::string ReadAvailable();
  // Writes as much of `bytes` as the pty takes now and returns how many bytes that was.
  std::size_t WriteSome(std::string_view bytes);

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace tamarind::devsim
