#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace tamarind {

// An ordered list of byte-string lines that behaves like a multi-line edit control with word wrap
// off: its text is the lines joined by CR LF, with or without a final CR LF. The job buffer, the
// job working copy, the thirty port queues and the record display are line lists, and the job and
// settings files are read and written through one, so these rules decide the files' bytes.
//
// Held as a deque of lines plus whether the text ends with CR LF, so that appending and removing
// the first line are amortised O(1). Holds text only, never a file handle.
class LineList {
 public:
  // Reading a line yields at most this many bytes of it.
  static constexpr std::size_t kMaxLineRead = 4096;

  // Lines counted; an empty line after the last CR LF does not count.
  std::size_t Count() const { return lines_.size(); }

  // Line `index` without its CR LF, cut to its first 4096 bytes; an index with no line reads empty.
  std::string Line(std::size_t index) const;

  // Appends `line`, cut at its first NUL. If the text is empty or ends with CR LF the line and a
  // CR LF are added; otherwise a CR LF and the line, so the text still has no final CR LF.
  // Appending the empty text then only adds the CR LF. A CR LF inside `line` breaks it, as in
  // the edit control.
  void Append(std::string_view line);

  // Removes line `index` and the CR LF after it; a last line with no CR LF after it goes with the
  // CR LF before it, so the text then ends with CR LF. An index with no line changes nothing.
  void Remove(std::size_t index);

  void Clear();

  // Replaces this list by the counted lines of `other`, each cut to 4096 bytes; the copy ends
  // with CR LF.
  void CopyFrom(const LineList& other);

  // Replaces the list by the contents of `file_name`. Lone LF and lone CR become line breaks
  // (LF CR gives two), and the text ends at the first NUL byte. Raises FileError::CannotOpen, with
  // the list unchanged, when the file cannot be opened or read, or while another process holds it
  // open for writing, so a half-written file is never taken in.
  void FillFromFile(const std::string& file_name);

  // Creates or truncates `file_name` and writes the text unchanged: CR LF between lines and a
  // final CR LF only when the text has one. Raises FileError::CannotCreate or
  // FileError::WriteFailed.
  void SaveToFile(const std::string& file_name) const;

  // The whole text, as the edit control would hold it.
  std::string Text() const;
  // Replaces the whole text; lines break at CR LF only.
  void SetText(std::string_view text);

  bool EndsWithLineBreak() const { return ends_with_break_; }
  bool Empty() const { return lines_.empty(); }

  // Whole line, uncut: for callers that must keep every byte (the record display).
  const std::string& WholeLine(std::size_t index) const { return lines_[index]; }

  friend bool operator==(const LineList&, const LineList&) = default;

 private:
  // Invariant: ends_with_break_ implies lines_ is not empty, and without a final break the last
  // line is not empty (else the text would end with CR LF).
  std::deque<std::string> lines_;
  bool ends_with_break_ = false;
};

}  // namespace tamarind
