#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace tamarind::testing {

// A fresh temporary folder made the working directory for the lifetime of the object; the
// program's files are all relative to it. Removed, with everything in it, at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Writes the whole file `name` in the working directory, bytes unchanged.
void WriteFile(const std::string& name, const std::string& bytes);
// The whole file `name`, or "<missing>" when there is none.
std::string ReadFile(const std::string& name);

// Writes "Tamarindports.txt" naming all thirty ports: those in `devices` (port number → path)
// map there, every other one to no device, so nothing ever falls through to /dev/ttyS*.
void WritePortMap(const std::map<int, std::string>& devices);

}  // namespace tamarind::testing
