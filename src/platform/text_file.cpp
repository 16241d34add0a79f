// Line splitting and buffered writing over a `File`.
#include "platform/text_file.h"

#include <cstring>
#include <utility>

namespace mojifix {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::uint64_t kFnvPrime = 0x100000001b3;

}  // namespace

LineReader::LineReader(std::unique_ptr<File> file) : file_(std::move(file)), buffer_(kBufferSize) {}

bool LineReader::fill() {
  position_ = 0;
  size_ = 0;
  if (endOfFile_ || failed_) return false;
  switch (file_->read(buffer_.data(), buffer_.size(), size_)) {
    case ReadStatus::Ok:
      digest_.add(buffer_.data(), size_);
      if (size_ > 0) return true;
      endOfFile_ = true;
      return false;
    case ReadStatus::EndOfFile:
      endOfFile_ = true;
      return false;
    case ReadStatus::Error:
      failed_ = true;
      return false;
  }
  return false;
}

void Digest::add(const char* data, std::size_t size) {
  const auto mix = [](std::uint64_t& lane, char byte) {
    lane = (lane ^ static_cast<unsigned char>(byte)) * kFnvPrime;
  };
  std::size_t i = 0;
  for (; i < size && (size_ + i) % 4 != 0; ++i) mix(lanes_[(size_ + i) % 4], data[i]);
  // Whole groups of four, with the lanes in registers: each lane's chain waits only for itself.
  std::uint64_t lane0 = lanes_[0], lane1 = lanes_[1], lane2 = lanes_[2], lane3 = lanes_[3];
  for (; i + 4 <= size; i += 4) {
    mix(lane0, data[i]);
    mix(lane1, data[i + 1]);
    mix(lane2, data[i + 2]);
    mix(lane3, data[i + 3]);
  }
  lanes_[0] = lane0, lanes_[1] = lane1, lanes_[2] = lane2, lanes_[3] = lane3;
  for (; i < size; ++i) mix(lanes_[(size_ + i) % 4], data[i]);
  size_ += size;
}

std::uint64_t Digest::value() const {
  std::uint64_t digest = size_;
  for (const std::uint64_t lane : lanes_) digest = (digest ^ lane) * kFnvPrime;
  return digest;
}

bool LineReader::readsAs(std::uint64_t expected) {
  std::string_view line;
  ReadStatus status = ReadStatus::Ok;
  while ((status = readLine(line)) == ReadStatus::Ok) continue;
  return status == ReadStatus::EndOfFile && digest() == expected;
}

ReadStatus LineReader::readLine(std::string_view& line) {
  spill_.clear();
  bool any = false;
  for (;;) {
    if (position_ == size_ && !fill()) {
      if (failed_) return ReadStatus::Error;
      line = spill_;
      return any ? ReadStatus::Ok : ReadStatus::EndOfFile;
    }
    if (pendingLf_) {
      // The previous line ended in a CR at the very end of the last read.
      pendingLf_ = false;
      if (buffer_[position_] == kLf) {
        ++position_;
        continue;
      }
    }
    any = true;
    const char* start = buffer_.data() + position_;
    const std::size_t available = size_ - position_;
    const void* cr = std::memchr(start, kCr, available);
    if (!cr) {
      spill_.append(start, available);
      position_ = size_;
      continue;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
    position_ += length + 1;
    if (position_ < size_) {
      if (buffer_[position_] == kLf) ++position_;
    } else {
      pendingLf_ = true;
    }
    if (spill_.empty()) {
      line = std::string_view(start, length);
    } else {
      spill_.append(start, length);
      line = spill_;
    }
    return ReadStatus::Ok;
  }
}

bool LineReader::close() {
  if (!file_) return true;
  const bool closed = file_->close();
  file_.reset();
  return closed;
}

LineWriter::LineWriter(std::unique_ptr<File> file) : file_(std::move(file)), buffer_(kBufferSize) {}

bool LineWriter::drain() {
  digest_.add(buffer_.data(), used_);
  if (!failed_ && used_ > 0 && !file_->write(buffer_.data(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}

void LineWriter::append(const char* data, std::size_t size) {
  std::memcpy(buffer_.data() + used_, data, size);
  used_ += size;
}

bool LineWriter::writeLine(std::string_view line) {
  static constexpr char kCrLf[] = {kCr, kLf};
  if (failed_) return false;
  if (used_ + line.size() + sizeof(kCrLf) > buffer_.size() && !drain()) return false;
  if (line.size() + sizeof(kCrLf) > buffer_.size()) {
    // A long line goes straight through rather than growing the buffer.
    digest_.add(line.data(), line.size());
    if (!file_->write(line.data(), line.size())) failed_ = true;
  } else {
    append(line.data(), line.size());
  }
  append(kCrLf, sizeof(kCrLf));
  return !failed_;
}

bool LineWriter::commit() {
  if (!file_) return false;
  bool ok = drain();
  ok = ok && file_->flush();
  ok = file_->close() && ok;
  file_.reset();
  return ok;
}

bool fileReadsAs(Platform& platform, const std::string& path, std::uint64_t expected) {
  auto file = platform.openForReading(path);
  if (!file) return false;
  LineReader reader(std::move(file));
  return reader.readsAs(expected) && reader.close();
}

void LineWriter::abandon() {
  if (!file_) return;
  file_->close();
  file_.reset();
}

}  // namespace mojifix
