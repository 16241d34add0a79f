// Per-test directories, removed again afterwards.
#include "support/temp_directory.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace mojifix::testing {

TempDirectory::TempDirectory() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "mojifix-test-" << stamp << '-' << counter++;
  root_ = std::filesystem::temp_directory_path() / name.str();
  std::filesystem::create_directories(root_);
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string TempDirectory::path() const {
  const auto text = root_.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path TempDirectory::file(const std::string& name) const {
  return root_ / std::filesystem::u8path(name);
}

void TempDirectory::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file " + name);
}

std::optional<std::string> TempDirectory::read(const std::string& name) const {
  std::ifstream in(file(name), std::ios::binary);
  if (!in || std::filesystem::is_directory(file(name))) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDirectory::exists(const std::string& name) const {
  return std::filesystem::exists(file(name));
}

}  // namespace mojifix::testing
