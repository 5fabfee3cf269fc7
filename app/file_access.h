#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamarind {

// The few whole-file operations the program needs, behind one header so that each platform
// supplies its own backend (file_access_posix.cpp here). Names are relative to the working
// directory. None of them blocks: a FIFO or device in place of a file is refused.

// True when the file can be opened for reading at this moment (opened and closed again at once),
// sharing it with readers and writers alike.
bool CanOpenForReading(const std::string& file_name);

// The whole of a regular file; nothing when it is missing, unreadable, not a regular file, or
// while another process holds it open for writing (so a half-written file is never read).
std::optional<std::string> ReadFileDenyingWriters(const std::string& file_name);

enum class WriteOutcome { Written, CannotCreate, ShortWrite };

// Creates `file_name` or truncates it, then writes `bytes` whole.
WriteOutcome ReplaceFile(const std::string& file_name, std::string_view bytes);

// Appends `bytes` at the current end of the file, creating it if missing, with one write on an
// append-only descriptor, so that the bytes are in the file when this returns and are never
// torn or interleaved with another program's appends. False when the file could not be opened
// or the write fell short.
bool AppendToFile(const std::string& file_name, std::string_view bytes);

}  // namespace tamarind
