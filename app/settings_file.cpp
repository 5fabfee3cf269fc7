#include "app/settings_file.h"

#include <filesystem>
#include <utility>

#include "app/file_access.h"

namespace tamarind {
namespace {

constexpr std::size_t kPortLines = kPortCount;
constexpr std::size_t kIntervalLine = kPortLines;  // counted from 0
constexpr std::size_t kRepeatLine = kPortLines + 1;

bool FileExists(const char* file_name) {
  std::error_code ignored;
  return std::filesystem::exists(file_name, ignored);
}

// Puts the job buffer back when the save leaves, however it leaves: the buffer only lends itself
// as scratch space for the file, and a close that is cancelled goes on with the running job.
class JobBufferLoan {
 public:
  explicit JobBufferLoan(LineList& buffer) : buffer_(buffer), kept_(buffer) {}
  ~JobBufferLoan() { buffer_ = std::move(kept_); }
  JobBufferLoan(const JobBufferLoan&) = delete;
  JobBufferLoan& operator=(const JobBufferLoan&) = delete;

 private:
  LineList& buffer_;
  LineList kept_;
};

}  // namespace

void LoadSettings(Model& model) {
  if (!CanOpenForReading(kSettingsFileName)) return;
  LineList& file = model.COMall_D;
  file.FillFromFile(kSettingsFileName);
  for (std::size_t k = 0; k < kPortLines; ++k) model.slots[k].settings = file.Line(k);
  model.EdTm = file.Line(kIntervalLine);
  model.EdCnt = file.Line(kRepeatLine);
}

void SaveSettings(Model& model) {
  const JobBufferLoan loan(model.COMall_D);
  LineList& file = model.COMall_D;
  // An existing file that cannot be read raises here rather than being replaced by defaults; a
  // missing one starts from nothing, never from the job lines the buffer happens to hold.
  if (FileExists(kSettingsFileName)) {
    file.FillFromFile(kSettingsFileName);
  } else {
    file.Clear();
  }
  while (file.Count() > kPortLines) file.Remove(kPortLines);
  while (file.Count() < kPortLines) file.Append(kDefaultPortSettings);
  // An empty interval appended to a text without a final line break would only add the break and
  // move the repeat count up to line 31; end the port lines first.
  if (model.EdTm.empty() && !file.EndsWithLineBreak()) file.Append("");
  file.Append(model.EdTm);
  file.Append(model.EdCnt);
  file.SaveToFile(kSettingsFileName);
}

}  // namespace tamarind
