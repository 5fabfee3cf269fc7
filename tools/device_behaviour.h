#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tamarind::devsim {

// How a simulated device answers: a pure function of the bytes it receives, bytes in, bytes out,
// with whatever state the device keeps between calls. Knows nothing of ptys, time or delays.
class DeviceBehaviour {
 public:
  virtual ~DeviceBehaviour() = default;
  // The bytes the device sends back for `received`, in the order it sends them.
  virtual std::string Answer(std::string_view received) = 0;
};

// A Hayes-style modem: echoes what it receives while echo is on (the default), and for each
// command line ended by CR answers "OK" to an AT command and "ERROR" to anything else, every
// reply framed with CR LF. ATE0 turns echo off and ATE1 on again, ATZ restores the defaults,
// ATI answers the identification line before its OK. An empty line gets no answer and LF is
// ignored, as a terminal sends CR LF.
class HayesModem final : public DeviceBehaviour {
 public:
  static constexpr const char* kIdentification = "Tamarind devsim modem 1.0";
  // A command line longer than this is no command a modem accepts; it answers ERROR for it.
  static constexpr std::size_t kCommandLineLimit = 256;

  std::string Answer(std::string_view received) override;

 private:
  std::string ExecuteLine(const std::string& line);

  bool echo_ = true;
  std::string line_;
  bool line_overflowed_ = false;
};

// Sends back every byte it receives, unchanged.
class ByteEcho final : public DeviceBehaviour {
 public:
  std::string Answer(std::string_view received) override { return std::string(received); }
};

enum class BehaviourKind { Modem, Echo };

std::unique_ptr<DeviceBehaviour> MakeBehaviour(BehaviourKind kind);

}  // namespace tamarind::devsim
