// The operating-system services the program needs, behind one small interface.
//
// The font-substitution logic reaches the system only through `Platform`, so the same logic runs
// on Windows (the product) and natively on POSIX (for tests), and tests can script the user's
// answers and make any file service fail. Strings are UTF-8 (paths, prompts); file contents are
// raw bytes and pass through unchanged.
#ifndef MOJIFIX_PLATFORM_PLATFORM_H
#define MOJIFIX_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mojifix {

// The Windows message-box codes: button set plus icon.
enum class MessageStyle : unsigned {
  Stop = 16,           // OK, stop icon
  YesNoQuestion = 36,  // Yes and No, question icon
  Exclamation = 48,    // OK, exclamation icon
  Information = 64,    // OK, information icon
};

// The Windows button identifiers the program looks at; an OK box answers Ok.
enum class MessageResult : int { Ok = 1, Yes = 6, No = 7 };

enum class TitleKind {
  Empty,        // an empty caption
  Application,  // the application title, "MOJIFIX"
  Text,         // the given text
};

struct Message {
  std::string prompt;
  MessageStyle style = MessageStyle::Information;
  TitleKind titleKind = TitleKind::Empty;
  std::string title;  // used only with TitleKind::Text

  bool operator==(const Message& other) const {
    return prompt == other.prompt && style == other.style && titleKind == other.titleKind &&
           title == other.title;
  }
};

// The application title shown when a message box's title is omitted.
inline constexpr const char* kApplicationTitle = "MOJIFIX";

struct AppVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

enum class ReadStatus { Ok, EndOfFile, Error };

// An open file. Reads and writes are byte-exact; nothing is translated.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `capacity` bytes into `buffer`; `count` is 0 only at end of file.
  virtual ReadStatus read(char* buffer, std::size_t capacity, std::size_t& count) = 0;
  // Writes all `size` bytes or fails; a short write is a failure.
  virtual bool write(const char* data, std::size_t size) = 0;
  // Forces written data to the disk itself, so it survives a power cut.
  virtual bool flush() = 0;
  // Releases the file; after it, only the destructor may be called. The destructor closes a file
  // that was not closed and ignores the result.
  virtual bool close() = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Shows a modal message box and returns the button that closed it.
  virtual MessageResult showMessage(const Message& message) = 0;

  // The value of an environment variable; an unset variable reads as the empty string.
  virtual std::string environmentVariable(const std::string& name) = 0;

  // The file services act only on the file that stands under the path's name in the directory
  // the path names, never on one that a link there leads to: the program may run elevated on a
  // directory that any program of the user can name. A link is refused (a failure like any other)
  // and left alone; on Windows a link that opens as itself may also be deleted or renamed as
  // itself.

  // Ties the file services, until releaseDirectory(), to the directory that holds the file `path`
  // names, as that directory is now: a later call whose path leads to another directory (a link
  // on the way switched meanwhile) fails. When it cannot be found, every file call fails until
  // then. Here it does nothing, for platforms where nothing can switch it.
  virtual void holdDirectory(const std::string& path) { static_cast<void>(path); }
  virtual void releaseDirectory() {}

  // Keeps other instances of the program from operating until releaseOperation(), so that none
  // touches the temporary file of another; false when another holds it. Here it always succeeds.
  virtual bool claimOperation() { return true; }
  virtual void releaseOperation() {}

  // Opens an existing file for reading, sharing it with readers only, so that no other program
  // writes it meanwhile; nullptr when it cannot be opened or is not in place.
  virtual std::unique_ptr<File> openForReading(const std::string& path) = 0;
  // Creates a new, empty file for writing after deleting a file of that name; nullptr when it
  // cannot be created (anything but a file in place under the name stays and prevents that).
  virtual std::unique_ptr<File> openForWriting(const std::string& path) = 0;

  // Deletes a file; false when it did not (including when there was none).
  virtual bool deleteFile(const std::string& path) = 0;
  // Renames a file; never replaces an existing target (a link included), so fails when `to`
  // exists.
  virtual bool renameFile(const std::string& from, const std::string& to) = 0;
  // Renames `from` as renameFile does, but only while it holds exactly the bytes whose digest
  // (LineReader::digest) is `read`. Here the file is closed between the check and the rename; a
  // platform that can rename an open file does both through one handle, keeping writers out.
  virtual bool renameIfUnchanged(const std::string& from, const std::string& to,
                                 std::uint64_t read);

  // Lets the window repaint and handle queued input, then returns.
  virtual void processEvents() = 0;
  virtual void pause(unsigned milliseconds) = 0;

  // Told before the operation first writes a file, and when its new files are in place and
  // nothing left of it can lose them: only in between must the session not end.
  virtual void filesChanging() {}
  virtual void filesInPlace() {}

  // Asks the system to restart; false when the request was refused.
  virtual bool requestRestart() = 0;

  // The version recorded in the executable.
  virtual AppVersion applicationVersion() = 0;
};

// The implementation for the system this program was built for.
std::unique_ptr<Platform> makeSystemPlatform();

}  // namespace mojifix

#endif
