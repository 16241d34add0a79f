// A fresh directory per test that stands in for the Windows directory.
#ifndef MOJIFIX_TESTS_TEMP_DIRECTORY_H
#define MOJIFIX_TESTS_TEMP_DIRECTORY_H

#include <filesystem>
#include <optional>
#include <string>

namespace mojifix::testing {

class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  // The directory as the program sees it (UTF-8).
  std::string path() const;
  std::filesystem::path file(const std::string& name) const;

  void write(const std::string& name, const std::string& bytes) const;
  // The file's bytes; nullopt when there is no such file.
  std::optional<std::string> read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

}  // namespace mojifix::testing

#endif
