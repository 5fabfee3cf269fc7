// Loads arbitrary bytes as the settings file, saves with arbitrary field texts, and loads again:
// the save keeps the file's own port lines, fills the missing ones with the default, puts the two
// fields on lines 31 and 32, and saving again settles at once.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/line_list.h"
#include "app/model.h"
#include "app/settings_file.h"
#include "tests/support/scratch_dir.h"

namespace {

// A one-line field as the user can type it: no line break and no NUL.
std::string FieldText(FuzzedDataProvider& input) {
  std::string text = input.ConsumeRandomLengthString(64);
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tamarind::kSettingsFileName;
  static tamarind::testing::ScratchDir scratch;
  FuzzedDataProvider input(data, size);
  const std::string edit_interval = FieldText(input);
  const std::string edit_repeat = FieldText(input);
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  tamarind::testing::WriteFile(kSettingsFileName, bytes);

  tamarind::LineList original;
  original.FillFromFile(kSettingsFileName);

  tamarind::Model model;
  tamarind::LoadSettings(model);
  for (std::size_t k = 0; k < 30; ++k) {
    if (model.slots[k].settings != original.Line(k)) std::abort();
  }
  if (model.EdTm != original.Line(30) || model.EdCnt != original.Line(31)) std::abort();

  model.EdTm = edit_interval;
  model.EdCnt = edit_repeat;
  tamarind::SaveSettings(model);
  tamarind::LineList saved;
  saved.FillFromFile(kSettingsFileName);
  if (saved.Count() > 32) std::abort();
  for (std::size_t k = 0; k < 30; ++k) {
    const std::string expected = k < original.Count() ? original.WholeLine(k) : "38400,E,8";
    if (saved.WholeLine(k) != expected) std::abort();
  }
  if (saved.Line(30) != edit_interval || saved.Line(31) != edit_repeat) std::abort();

  tamarind::Model reloaded;
  tamarind::LoadSettings(reloaded);
  if (reloaded.EdTm != edit_interval || reloaded.EdCnt != edit_repeat) std::abort();
  // A file of at most 30 lines without a final line break is saved without one; once it has
  // 32 lines, every save ends with CR LF. From then on a save changes no byte.
  const std::string once = tamarind::testing::ReadFile(kSettingsFileName);
  tamarind::SaveSettings(reloaded);
  const std::string twice = tamarind::testing::ReadFile(kSettingsFileName);
  if (twice != once && twice != once + "\r\n") std::abort();
  tamarind::SaveSettings(reloaded);
  if (tamarind::testing::ReadFile(kSettingsFileName) != twice) std::abort();
  return 0;
}
