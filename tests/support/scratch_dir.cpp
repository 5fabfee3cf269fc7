#include "tests/support/scratch_dir.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tamarind::testing {

ScratchDir::ScratchDir() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamarind-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WritePortMap(const std::map<int, std::string>& devices) {
  std::string text = "# written by a test: every port named, none falls through to /dev/ttyS*\n";
  for (int number = 1; number <= 30; ++number) {
    const auto found = devices.find(number);
    text +=
        "COM" + std::to_string(number) + "=" + (found == devices.end() ? "" : found->second) + "\n";
  }
  WriteFile("Tamarindports.txt", text);
}

}  // namespace tamarind::testing
