// Line splitting and buffered writing over a `File`.
#include "platform/text_file.h"

#include <utility>

namespace mojifix {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
constexpr char kCr = '\r';
constexpr char kLf = '\n';

}  // namespace

LineReader::LineReader(std::unique_ptr<File> file) : file_(std::move(file)), buffer_(kBufferSize) {}

bool LineReader::fill() {
  position_ = 0;
  size_ = 0;
  if (endOfFile_ || failed_) return false;
  switch (file_->read(buffer_.data(), buffer_.size(), size_)) {
    case ReadStatus::Ok:
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

ReadStatus LineReader::readLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (position_ == size_ && !fill()) {
      if (failed_) return ReadStatus::Error;
      return any ? ReadStatus::Ok : ReadStatus::EndOfFile;
    }
    any = true;
    const char* start = buffer_.data() + position_;
    const char* end = buffer_.data() + size_;
    const char* p = start;
    while (p != end && *p != kCr) ++p;
    line.append(start, p);
    position_ += static_cast<std::size_t>(p - start);
    if (p == end) continue;
    ++position_;  // the CR
    // A CR LF pair may straddle two reads.
    if (position_ == size_ && !fill() && failed_) return ReadStatus::Error;
    if (position_ < size_ && buffer_[position_] == kLf) ++position_;
    return ReadStatus::Ok;
  }
}

bool LineReader::close() {
  if (!file_) return true;
  const bool closed = file_->close();
  file_.reset();
  return closed;
}

LineWriter::LineWriter(std::unique_ptr<File> file) : file_(std::move(file)) {
  buffer_.reserve(kBufferSize);
}

bool LineWriter::drain() {
  if (!failed_ && !buffer_.empty() && !file_->write(buffer_.data(), buffer_.size())) {
    failed_ = true;
  }
  buffer_.clear();
  return !failed_;
}

bool LineWriter::writeLine(std::string_view line) {
  if (failed_) return false;
  if (line.size() >= kBufferSize) {
    // A long line goes straight through rather than growing the buffer.
    if (!drain()) return false;
    if (!file_->write(line.data(), line.size())) failed_ = true;
  } else {
    if (buffer_.size() + line.size() + 2 > kBufferSize && !drain()) return false;
    buffer_.append(line);
  }
  buffer_.push_back(kCr);
  buffer_.push_back(kLf);
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

void LineWriter::abandon() {
  if (!file_) return;
  file_->close();
  file_.reset();
}

}  // namespace mojifix
