#pragma once

#include <string>
#include <string_view>

#include "app/clock.h"

namespace tamarind {

inline constexpr const char* kReceiveLogFileName = "RxDataLog.txt";

// Appends `text` and CR LF to the receive log, creating it if missing, in one write that is on
// disk when this returns and is never torn or interleaved with another program's lines. False
// when the line could not be written; `why`, when given, then says which file and why. The caller
// goes on either way.
bool AppendLog(std::string_view text, std::string* why = nullptr);

// The header of each program start: an empty line, then today's date. False when a line could
// not be written; `why`, when given, then says why.
bool WriteStartupHeader(const Clock& clock, std::string* why = nullptr);

}  // namespace tamarind
