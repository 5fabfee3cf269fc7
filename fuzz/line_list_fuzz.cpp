// Fills a line list from arbitrary bytes as a file, then edits it with arbitrary operations, and
// checks every result against a plain model of the edit control's text: one byte string in which
// lines break only at CR LF.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "app/line_list.h"
#include "tests/support/scratch_dir.h"

namespace {

using tamarind::LineList;

constexpr std::string_view kBreak = "\r\n";
constexpr const char* kFileName = "fuzz.txt";

bool EndsWithBreak(const std::string& text) {
  return text.ends_with(kBreak);
}

// The text as the edit control holds it, with the operations written straight from its rules.
struct TextModel {
  std::string text;

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find(kBreak, start);
      if (end == std::string::npos) {
        lines.push_back(text.substr(start));
        break;
      }
      lines.push_back(text.substr(start, end - start));
      start = end + kBreak.size();
    }
    return lines;
  }

  void Append(std::string line) {
    line = line.substr(0, line.find('\0'));
    if (text.empty() || EndsWithBreak(text)) {
      text += line;
      text += kBreak;
    } else {
      text += kBreak;
      text += line;
    }
  }

  void Remove(std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
      start = text.find(kBreak, start);
      if (start == std::string::npos) return;
      start += kBreak.size();
    }
    if (start >= text.size()) return;
    const std::size_t end = text.find(kBreak, start);
    text.erase(start, end == std::string::npos ? std::string::npos : end + kBreak.size() - start);
  }

  void CopyFrom(const TextModel& other) {
    const std::vector<std::string> lines = other.Lines();
    text.clear();
    for (const std::string& line : lines) Append(line.substr(0, LineList::kMaxLineRead));
  }

  // A file's bytes as a fill leaves them: every lone CR, lone LF and CR LF becomes CR LF, and
  // the text ends at the first NUL.
  void Fill(const std::string& bytes) {
    const std::string cut = bytes.substr(0, bytes.find('\0'));
    text.clear();
    for (std::size_t i = 0; i < cut.size(); ++i) {
      if (cut[i] == '\r' || cut[i] == '\n') {
        if (cut[i] == '\r' && i + 1 < cut.size() && cut[i + 1] == '\n') ++i;
        text += kBreak;
      } else {
        text += cut[i];
      }
    }
  }
};

void Check(const LineList& list, const TextModel& model) {
  const std::vector<std::string> lines = model.Lines();
  if (list.Text() != model.text || list.Count() != lines.size() ||
      list.EndsWithLineBreak() != EndsWithBreak(model.text)) {
    std::abort();
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (list.Line(i) != lines[i].substr(0, LineList::kMaxLineRead)) std::abort();
    if (list.WholeLine(i) != lines[i]) std::abort();
  }
  if (!list.Line(lines.size()).empty()) std::abort();
}

void Fill(LineList& list, TextModel& model, const std::string& bytes) {
  tamarind::testing::WriteFile(kFileName, bytes);
  list.FillFromFile(kFileName);
  model.Fill(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tamarind::testing::ScratchDir scratch;
  FuzzedDataProvider input(data, size);

  LineList lists[2];
  TextModel models[2];
  Fill(lists[0], models[0], input.ConsumeRandomLengthString());
  Check(lists[0], models[0]);

  while (input.remaining_bytes() > 0) {
    const int which = input.ConsumeIntegralInRange(0, 1);
    LineList& list = lists[which];
    TextModel& model = models[which];
    switch (input.ConsumeIntegralInRange(0, 6)) {
      case 0: {
        const std::string line = input.ConsumeRandomLengthString(64);
        list.Append(line);
        model.Append(line);
        break;
      }
      case 1: {
        const std::size_t index = input.ConsumeIntegralInRange<std::size_t>(0, list.Count() + 1);
        list.Remove(index);
        model.Remove(index);
        break;
      }
      case 2:
        list.Clear();
        model.text.clear();
        break;
      case 3:
        list.CopyFrom(lists[1 - which]);
        model.CopyFrom(models[1 - which]);
        break;
      case 4:
        list.CopyFrom(list);
        model.CopyFrom(TextModel(model));
        break;
      case 5:
        Fill(list, model, input.ConsumeRandomLengthString(256));
        break;
      case 6: {
        // What is saved is the text, byte for byte.
        list.SaveToFile(kFileName);
        if (tamarind::testing::ReadFile(kFileName) != model.text) std::abort();
        break;
      }
    }
    Check(list, model);
  }
  return 0;
}
