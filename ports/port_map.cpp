#include "ports/port_map.h"

#include <filesystem>
#include <optional>
#include <string_view>

#include "app/file_access.h"

namespace tamarind {
namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 30;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The number of a name of the form COMn, any case, n written without leading zeros; nothing
// when the name is not of that form. The number may still be out of range.
std::optional<int> PortNumberOf(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return std::nullopt;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((name[i] | 0x20) != "com"[i]) return std::nullopt;
  }
  const std::string_view digits = name.substr(3);
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  int number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace

PortMap PortMap::Read(const std::string& file_name) {
  const std::optional<std::string> text = ReadFileDenyingWriters(file_name);
  if (text) return Parse(*text);

  PortMap map;
  std::error_code ignored;
  if (std::filesystem::exists(file_name, ignored)) {
    map.problems_.push_back(
        {0, "", "the file could not be read; every port uses its default device"});
  }
  return map;
}

PortMap PortMap::Parse(const std::string& text) {
  PortMap map;
  int line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    ++line_number;
    // One line end: CR LF, LF or a lone CR.
    start =
        (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? end + 2 : end + 1;

    std::string_view content = line;
    content = Trim(content.substr(0, content.find('#')));
    if (content.empty()) continue;

    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
      map.problems_.push_back({line_number, line, "not of the form COMn=path"});
      continue;
    }
    const std::string_view name = Trim(content.substr(0, equals));
    const std::optional<int> number = PortNumberOf(name);
    if (!number) {
      map.problems_.push_back({line_number, line, "not a port name COM1 … COM30"});
      continue;
    }
    if (*number < kFirstPort || *number > kLastPort) {
      map.problems_.push_back({line_number, line, "no such port (ports are COM1 … COM30)"});
      continue;
    }
    if (map.listed_.count(*number) != 0) {
      map.problems_.push_back({line_number, line, "port listed again; the first line counts"});
      continue;
    }
    map.listed_[*number] = std::string(Trim(content.substr(equals + 1)));
  }
  return map;
}

std::string PortMap::DevicePath(const std::string& port_name) const {
  const std::optional<int> number = PortNumberOf(port_name);
  if (!number || *number < kFirstPort || *number > kLastPort) return "";
  const auto found = listed_.find(*number);
  if (found != listed_.end()) return found->second;
  return "/dev/ttyS" + std::to_string(*number - 1);
}

}  // namespace tamarind
