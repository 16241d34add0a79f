// Digests of files, taken while they are read.
#include "fontsubst/content_digest.h"

#include <utility>
#include <vector>

namespace mojifix {
namespace {

class DigestingFile final : public File {
 public:
  DigestingFile(std::unique_ptr<File> file, ContentDigest& digest)
      : file_(std::move(file)), digest_(digest) {}

  ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) override {
    const ReadStatus status = file_->read(buffer, capacity, count);
    if (status == ReadStatus::Ok) digest_.add(buffer, count);
    return status;
  }
  bool write(const char* data, std::size_t size) override { return file_->write(data, size); }
  bool flush() override { return file_->flush(); }
  bool close() override { return file_->close(); }

 private:
  std::unique_ptr<File> file_;
  ContentDigest& digest_;
};

}  // namespace

void ContentDigest::add(const char* data, std::size_t count) {
  size += count;
  for (std::size_t i = 0; i < count; ++i) {
    hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3;
  }
}

std::unique_ptr<File> digesting(std::unique_ptr<File> file, ContentDigest& digest) {
  return std::make_unique<DigestingFile>(std::move(file), digest);
}

bool stillHolds(Platform& platform, const std::string& path, const ContentDigest& digest) {
  auto file = platform.openForReading(path);
  if (!file) return false;
  ContentDigest now;
  std::vector<char> buffer(std::size_t{64} * 1024);
  std::size_t count = 0;
  ReadStatus status = ReadStatus::Ok;
  while ((status = file->read(buffer.data(), buffer.size(), count)) == ReadStatus::Ok) {
    now.add(buffer.data(), count);
  }
  return file->close() && status == ReadStatus::EndOfFile && now == digest;
}

}  // namespace mojifix
