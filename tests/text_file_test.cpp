// Line splitting, byte preservation and checked writing of LineReader and LineWriter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "support/memory_platform.h"
#include "support/temp_directory.h"

namespace mojifix {
namespace {

using testing::TempDirectory;

std::vector<std::string> readLines(const std::string& bytes) {
  TempDirectory dir;
  dir.write("in.txt", bytes);
  auto platform = makeSystemPlatform();
  auto file = platform->openForReading(dir.path() + "\\in.txt");
  EXPECT_NE(file, nullptr);
  LineReader reader(std::move(file));
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.readLine(line) == ReadStatus::Ok) lines.emplace_back(line);
  EXPECT_TRUE(reader.close());
  return lines;
}

TEST(LineReaderTest, SplitsAtCrLfAndLoneCrOnly) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\r\n", {"a\nb"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n", {"a\n"}},
      {"\x82\r\n\x81\rx", {"\x82", "\x81", "x"}},  // no Shift-JIS lead byte takes the CR
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readLines(c.bytes), c.lines) << "input: " << ::testing::PrintToString(c.bytes);
  }
}

std::uint64_t digestOf(const std::string& bytes, std::size_t step) {
  testing::MemoryPlatform platform;
  platform.files["in.txt"] = bytes;
  platform.readStep = step;
  LineReader reader(platform.openForReading("in.txt"));
  std::string_view line;
  while (reader.readLine(line) == ReadStatus::Ok) continue;
  return reader.digest();
}

TEST(LineReaderTest, DigestSeesEveryByteWhateverTheReadSizes) {
  const std::string bytes = "[FontSubstitutes]\r\nMS Sans Serif=System,128,3\r\n";
  const std::uint64_t whole = digestOf(bytes, bytes.size());
  for (const std::size_t step : {1, 3, 5}) EXPECT_EQ(digestOf(bytes, step), whole) << step;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string changed = bytes;
    changed[i] ^= 1;
    EXPECT_NE(digestOf(changed, 3), whole) << i;
  }
  EXPECT_NE(digestOf(bytes + " ", 3), whole);
}

TEST(LineReaderTest, CrLfAcrossTheReadBufferIsOneTerminator) {
  // The reader fills 64 KiB at a time; put the CR as the last byte of the first fill.
  const std::string first(64 * 1024 - 1, 'x');
  EXPECT_EQ(readLines(first + "\r\nnext"), (std::vector<std::string>{first, "next"}));
  EXPECT_EQ(readLines(first + "\rnext"), (std::vector<std::string>{first, "next"}));
}

// Megabytes of short lines, where a line at each end of the writer's 64 KiB buffer exactly fills
// the room left or misses it by 1 to 63 bytes, so that a buffer flushed a little late overflows.
std::vector<std::string> manyShortLines() {
  const std::size_t buffer = 64 * 1024;
  std::vector<std::string> lines;
  std::size_t used = 0;  // of the buffer, as the writer fills it
  for (std::size_t i = 0, boundary = 0; boundary < 64; ++i) {
    if (used == buffer) used = 0;  // the next line finds the full buffer and flushes it
    const std::size_t room = buffer - used;
    std::size_t length = i * 37 % 101;
    if (room < 200) length = room - 2 + boundary++;
    used = length + 2 > room ? length + 2 : used + length + 2;
    lines.emplace_back(length, static_cast<char>(0x20 + i % 0x5F));
  }
  return lines;
}

TEST(TextFileTest, LinesSurviveARoundTrip) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r') bytes.push_back(static_cast<char>(b));
  }
  // A stray Shift-JIS lead byte, Ctrl-Z and NUL inside ordinary text.
  bytes +=
      "\x82\x1a\x00\x81"
      "end";
  struct Case {
    const char* name;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"every byte value, then a line longer than the buffer",
       {bytes, std::string(100 * 1024, '\xff')}},
      {"megabytes of short lines", manyShortLines()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDirectory dir;
    auto platform = makeSystemPlatform();
    LineWriter writer(platform->openForWriting(dir.path() + "\\out.txt"));
    std::string expected;
    for (const std::string& line : c.lines) {
      ASSERT_TRUE(writer.writeLine(line));
      expected += line + "\r\n";
    }
    ASSERT_TRUE(writer.commit());
    // Compared whole, as megabytes make an unreadable report.
    EXPECT_TRUE(dir.read("out.txt") == expected);
    EXPECT_TRUE(readLines(expected) == c.lines);
  }
}

// A file that accepts a limited number of bytes and then fails, like a full disk.
class FullDiskFile final : public File {
 public:
  explicit FullDiskFile(std::size_t room, bool flushFails = false, bool closeFails = false)
      : room_(room), flushFails_(flushFails), closeFails_(closeFails) {}
  ReadStatus read(char*, std::size_t, std::size_t& count) override {
    count = 0;
    return ReadStatus::Error;
  }
  bool write(const char*, std::size_t size) override {
    if (size > room_) return false;
    room_ -= size;
    return true;
  }
  bool flush() override { return !flushFails_; }
  bool close() override { return !closeFails_; }

 private:
  std::size_t room_;
  bool flushFails_;
  bool closeFails_;
};

TEST(LineWriterTest, AnyFailureBeforeTheFileIsClosedIsReported) {
  {
    LineWriter writer(std::make_unique<FullDiskFile>(10));
    writer.writeLine("a line that does not fit");
    EXPECT_FALSE(writer.commit()) << "short of space at commit";
  }
  {
    LineWriter writer(std::make_unique<FullDiskFile>(10));
    EXPECT_FALSE(writer.writeLine(std::string(70 * 1024, 'x'))) << "long line written through";
    EXPECT_FALSE(writer.writeLine("later")) << "a failure sticks";
    EXPECT_FALSE(writer.commit());
  }
  {
    LineWriter writer(std::make_unique<FullDiskFile>(1000, true, false));
    writer.writeLine("fits");
    EXPECT_FALSE(writer.commit()) << "flush failure";
  }
  {
    LineWriter writer(std::make_unique<FullDiskFile>(1000, false, true));
    writer.writeLine("fits");
    EXPECT_FALSE(writer.commit()) << "close failure";
  }
}

TEST(LineReaderTest, AReadErrorIsNotTheEndOfTheFile) {
  LineReader reader(std::make_unique<FullDiskFile>(0));
  std::string_view line;
  EXPECT_EQ(reader.readLine(line), ReadStatus::Error);
}

}  // namespace
}  // namespace mojifix
