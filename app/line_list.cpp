#include "app/line_list.h"

#include <optional>

#include "app/file_access.h"
#include "app/file_error.h"

namespace tamarind {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string_view CutAtNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

// Calls `emit` for each piece of `text` between CR LF breaks (k breaks give k + 1 pieces).
template <typename Emit>
void SplitAtLineBreaks(std::string_view text, Emit emit) {
  for (;;) {
    const std::size_t at = text.find(kLineBreak);
    if (at == std::string_view::npos) {
      emit(text);
      return;
    }
    emit(text.substr(0, at));
    text.remove_prefix(at + kLineBreak.size());
  }
}

}  // namespace

std::string LineList::Line(std::size_t index) const {
  if (index >= lines_.size()) return {};
  return lines_[index].substr(0, kMaxLineRead);
}

void LineList::Append(std::string_view line) {
  line = CutAtNul(line);
  if (lines_.empty() || ends_with_break_) {
    // Text gains: line, CR LF.
    SplitAtLineBreaks(line, [this](std::string_view piece) { lines_.emplace_back(piece); });
    ends_with_break_ = true;
    return;
  }
  // Text gains: CR LF, line. A piece left empty at the end is the text's final CR LF.
  std::optional<std::string_view> pending;
  SplitAtLineBreaks(line, [&](std::string_view piece) {
    if (pending) lines_.emplace_back(*pending);
    pending = piece;
  });
  if (pending->empty()) {
    ends_with_break_ = true;
  } else {
    lines_.emplace_back(*pending);
    ends_with_break_ = false;
  }
}

void LineList::Remove(std::size_t index) {
  if (index >= lines_.size()) return;
  const bool was_last = index + 1 == lines_.size();
  if (index == 0) {
    lines_.pop_front();
  } else {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  if (lines_.empty()) {
    ends_with_break_ = false;
  } else if (was_last) {
    ends_with_break_ = true;
  }
}

void LineList::Clear() {
  lines_.clear();
  ends_with_break_ = false;
}

void LineList::CopyFrom(const LineList& other) {
  if (&other == this) {
    for (std::string& line : lines_) line.resize(std::min(line.size(), kMaxLineRead));
    ends_with_break_ = !lines_.empty();
    return;
  }
  Clear();
  for (std::size_t i = 0; i < other.Count(); ++i) lines_.push_back(other.Line(i));
  ends_with_break_ = !lines_.empty();
}

void LineList::FillFromFile(const std::string& file_name) {
  const std::optional<std::string> contents = ReadFileDenyingWriters(file_name);
  if (!contents) throw FileError::CannotOpen(file_name);

  // Lone LF, lone CR and CR LF each end a line; the text ends at the first NUL.
  std::deque<std::string> lines;
  const std::string_view text = CutAtNul(*contents);
  std::size_t start = 0;
  bool ends_with_break = false;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      ends_with_break = false;
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    ends_with_break = true;
  }
  lines_ = std::move(lines);
  ends_with_break_ = ends_with_break;
}

void LineList::SaveToFile(const std::string& file_name) const {
  switch (ReplaceFile(file_name, Text())) {
    case WriteOutcome::Written:
      return;
    case WriteOutcome::CannotCreate:
      throw FileError::CannotCreate(file_name);
    case WriteOutcome::ShortWrite:
      throw FileError::WriteFailed();
  }
}

std::string LineList::Text() const {
  std::size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + kLineBreak.size();
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += kLineBreak;
    text += lines_[i];
  }
  if (ends_with_break_) text += kLineBreak;
  return text;
}

void LineList::SetText(std::string_view text) {
  Clear();
  if (text.empty()) return;
  SplitAtLineBreaks(text, [this](std::string_view piece) { lines_.emplace_back(piece); });
  // A text ending with CR LF leaves an empty last piece: that is the final break, not a line.
  if (lines_.back().empty()) {
    lines_.pop_back();
    ends_with_break_ = true;
  }
}

}  // namespace tamarind
