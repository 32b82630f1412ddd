// A scratch folder for tests that write files, removed with the object. Its
// name holds non-ASCII characters so that every file test also proves that
// UTF-8 names reach the file system intact (the wide APIs on Windows).
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include "skin/format/FileIo.h"

namespace nuvskin::test {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const std::string name = "nuvskin-t\xC3\xA9st-\xC3\xBC\xE2\x82\xAC-" + std::to_string(Pid()) + "-" +
                             std::to_string(counter++);
    path_ = std::filesystem::temp_directory_path() / format::PathFromUtf8(name);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // UTF-8 name of a file in the folder.
  std::string File(const std::string& utf8Name) const {
    return format::Utf8FromPath(path_ / format::PathFromUtf8(utf8Name));
  }

 private:
  static unsigned long Pid();
  std::filesystem::path path_;
};

}  // namespace nuvskin::test
