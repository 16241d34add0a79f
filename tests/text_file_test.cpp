// Line splitting, byte preservation and checked writing of LineReader and LineWriter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_file.h"
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
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readLines(c.bytes), c.lines) << "input: " << ::testing::PrintToString(c.bytes);
  }
}

TEST(LineReaderTest, CrLfAcrossTheReadBufferIsOneTerminator) {
  // The reader fills 64 KiB at a time; put the CR as the last byte of the first fill.
  const std::string first(64 * 1024 - 1, 'x');
  EXPECT_EQ(readLines(first + "\r\nnext"), (std::vector<std::string>{first, "next"}));
  EXPECT_EQ(readLines(first + "\rnext"), (std::vector<std::string>{first, "next"}));
}

TEST(TextFileTest, EveryByteValueSurvivesARoundTrip) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r') bytes.push_back(static_cast<char>(b));
  }
  // A stray Shift-JIS lead byte, Ctrl-Z and NUL inside ordinary text.
  bytes +=
      "\x82\x1a\x00\x81"
      "end";
  TempDirectory dir;
  auto platform = makeSystemPlatform();
  LineWriter writer(platform->openForWriting(dir.path() + "\\out.txt"));
  ASSERT_TRUE(writer.writeLine(bytes));
  ASSERT_TRUE(writer.writeLine(std::string(100 * 1024, '\xff')));
  ASSERT_TRUE(writer.commit());
  const std::string expected = bytes + "\r\n" + std::string(100 * 1024, '\xff') + "\r\n";
  EXPECT_EQ(dir.read("out.txt"), expected);
  EXPECT_EQ(readLines(expected),
            (std::vector<std::string>{bytes, std::string(100 * 1024, '\xff')}));
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
