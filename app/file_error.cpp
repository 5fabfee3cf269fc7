#include "app/file_error.h"

namespace tamarind {

FileError FileError::CannotOpen(const std::string& file_name) {
  return FileError("ファイル " + file_name + " は開けません");
}

FileError FileError::CannotCreate(const std::string& file_name) {
  return FileError("ファイル " + file_name + " を作成できません");
}

FileError FileError::WriteFailed() {
  return FileError("ストリームへの書き込みエラー");
}

}  // namespace tamarind
