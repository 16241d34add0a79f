// Line-oriented reading and writing over a `File`, shared by every platform.
//
// Lines are byte strings: nothing is decoded, so bytes that are not valid text in the system's
// code page, NUL and Ctrl-Z come back exactly as they were. A line ends at CR LF or at a lone CR;
// a lone LF stays inside the line. Every written line ends with CR LF. Memory stays bounded by the
// longest line, whatever the size of the file.
#ifndef MOJIFIX_PLATFORM_TEXT_FILE_H
#define MOJIFIX_PLATFORM_TEXT_FILE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace mojifix {

// A 64-bit hash of a run of bytes, FNV-1a over each of four interleaved byte lanes (so that the
// four run side by side): enough to tell whether an ordinary program has changed a file between
// two readings.
class Digest {
 public:
  void add(const char* data, std::size_t size);
  std::uint64_t value() const;

 private:
  std::uint64_t lanes_[4] = {0xcbf29ce484222325, 0xcbf29ce484222325, 0xcbf29ce484222325,
                             0xcbf29ce484222325};
  std::uint64_t size_ = 0;
};

class LineReader {
 public:
  explicit LineReader(std::unique_ptr<File> file);

  // Reads the next line, without its terminator. `line` points into the reader's own buffers
  // and stays valid until the next call.
  ReadStatus readLine(std::string_view& line);
  bool close();
  // The digest of every byte read so far.
  std::uint64_t digest() const { return digest_.value(); }
  // Reads the rest of the file; whether all of it, from the start, has the digest `expected`.
  bool readsAs(std::uint64_t expected);

 private:
  bool fill();

  std::unique_ptr<File> file_;
  std::vector<char> buffer_;
  std::string spill_;  // a line that runs across two reads
  std::size_t position_ = 0;
  std::size_t size_ = 0;
  bool endOfFile_ = false;
  bool failed_ = false;
  bool pendingLf_ = false;
  Digest digest_;
};

class LineWriter {
 public:
  explicit LineWriter(std::unique_ptr<File> file);

  // Buffers the line and its CR LF; false once any write has failed.
  bool writeLine(std::string_view line);
  // Writes what is buffered, forces it to disk and closes the file; false on any failure.
  bool commit();
  // Closes the file without checking anything; used on the way out of a failure.
  void abandon();
  // The digest of every byte handed to the file so far.
  std::uint64_t digest() const { return digest_.value(); }

 private:
  bool drain();
  void append(const char* data, std::size_t size);

  std::unique_ptr<File> file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
  Digest digest_;
};

// Whether the file at `path` opens and reads, from its start to its end, as the bytes whose digest
// is `expected`.
bool fileReadsAs(Platform& platform, const std::string& path, std::uint64_t expected);

}  // namespace mojifix

#endif
