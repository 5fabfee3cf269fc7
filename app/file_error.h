#pragma once

#include <stdexcept>
#include <string>

namespace tamarind {

// The one error a line list raises: a file that cannot be opened or created, or a short write.
// It carries the text the window shows in its error box; every other failure in the program
// is silent by design and is kept in the model instead.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  static FileError CannotOpen(const std::string& file_name);  // "ファイル %s は開けません"
  static FileError CannotCreate(const std::string& file_name);  // "ファイル %s を作成できません"
  static FileError WriteFailed();  // "ストリームへの書き込みエラー"
};

}  // namespace tamarind
