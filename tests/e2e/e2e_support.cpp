// Boxes, directories and snapshots for the end-to-end tests that break things for real.
#include "e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

#include "platform/win32/edge.h"

namespace mojifix::e2e {

const Expected kConfirmApply{"フォントを設定します。よろしいですか？", 36, ""};
const Expected kApplied{"フォントを設定しました。", 64, "MOJIFIX"};
const Expected kConfirmRemove{"フォント設定を解除しますよろしいですか？", 36, "MOJIFIX"};
const Expected kRemoved{"フォント設定を解除しました。", 64, "MOJIFIX"};
const Expected kRestart{"システムを再起動します。よろしいですか？", 36, ""};
const Expected kSectionMissing{"win.iniファイル内に[FontSubstitutes]エリアが存在しません。", 16,
                               ""};
const Expected kNotApplied{"win.iniファイル内にフォント設定は存在しません。", 48, ""};
const Expected kNotReplaced{"win.iniファイルを置き換えられませんでした。win.iniは元のままです。",
                            16, "エラー発生"};
const Expected kSettingsOpenFailure{"\\win.ini ファイルがオープンできませんでした。", 48,
                                    "エラー発生"};
const Expected kTemporaryOpenFailure{"\\winini.tmp ファイルがオープンできませんでした。", 48,
                                     "エラー発生"};
const Expected kTemporaryWriteFailure{"\\winini.tmp ファイルに書き込めませんでした。", 48,
                                      "エラー発生"};

const Expected& confirmation(int button) {
  return button == kAgree ? kConfirmApply : kConfirmRemove;
}

const Expected& completion(int button) { return button == kAgree ? kApplied : kRemoved; }

namespace {

Icon iconOf(int style) {
  switch (style) {
    case 16:
      return Icon::Stop;
    case 36:
      return Icon::Question;
    case 48:
      return Icon::Exclamation;
    case 64:
      return Icon::Information;
  }
  return Icon::Unknown;
}

std::wstring longForm(const std::string& path) {
  std::wstring wide = toUtf16(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return L"\\\\?\\" + wide;
}

// Reads every byte; nullopt when the file does not open.
std::optional<std::string> readBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(1 << 16);
  DWORD got = 0;
  while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0) {
    bytes.append(buffer.data(), got);
  }
  CloseHandle(file);
  return bytes;
}

std::vector<std::pair<std::wstring, DWORD>> entries(const std::wstring& directory) {
  std::vector<std::pair<std::wstring, DWORD>> found;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") found.emplace_back(name, data.dwFileAttributes);
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

Snapshot snapshotOf(const std::wstring& directory) {
  Snapshot snapshot;
  for (const auto& [name, attributes] : entries(directory)) {
    const std::wstring path = directory + L"\\" + name;
    std::string entry;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry = "<directory>";
      for (const auto& [inner, content] : snapshotOf(path)) entry += "\n" + inner + "=" + content;
    } else if (isDevice(path)) {
      entry = "<device>";  // reading /dev/full would never end
    } else {
      entry = (attributes & FILE_ATTRIBUTE_READONLY) ? "<read-only>" : "";
      entry += readBytes(path).value_or("<unreadable>");
    }
    snapshot[toUtf8(name)] = entry;
  }
  return snapshot;
}

bool isMissing(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  FindClose(search);
  return false;
}

// Deletes everything inside `directory`, read-only files and links included. Wine deletes no
// device and, through a link, only the link's target, which leaves a dangling link behind.
void removeContents(const std::wstring& directory) {
  for (const auto& [name, attributes] : entries(directory)) {
    const std::wstring path = directory + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeContents(path);
      RemoveDirectoryW(path.c_str());
    } else if (!DeleteFileW(path.c_str()) || !isMissing(path)) {
      removeUnixLink(path);
    }
  }
}

std::string describe(const std::optional<std::string>& entry) {
  if (!entry) return "nothing";
  std::string shown;
  for (const char c : entry->substr(0, 48)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f) {
      shown += c;
    } else {
      static const char digits[] = "0123456789abcdef";
      shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
    }
  }
  return std::to_string(entry->size()) + " bytes \"" + shown +
         (entry->size() > 48 ? "\"..." : "\"");
}

// The Linux path of a Windows path; empty when not under Wine.
std::string unixPath(const std::wstring& path) {
  using UnixFileName = char*(__cdecl*)(const wchar_t*);
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
  if (!proc) return {};
  // Through void (*)(), which converts to any function pointer without a warning.
  const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(proc));
  char* name = convert(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Wine hands back no process handle for a Linux program, so the caller's `done` tells when it
// has had its effect.
template <typename Predicate>
bool runUnixProgram(const std::wstring& program, const std::wstring& arguments, Predicate done) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW((L"Z:" + program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return pollUntil(5s, done);
}

}  // namespace

void expectBox(const App& app, const Expected& expected, int answer, const std::string& windir) {
  std::string prompt = expected.prompt;
  if (!prompt.empty() && prompt.front() == '\\') prompt = windir + prompt;
  SCOPED_TRACE(prompt);
  const Box box = app.waitForBox();
  if (answer == IDYES && box.prompt != prompt) {
    throw DriverError("not answering Yes to an unexpected box: " + box.prompt);
  }
  EXPECT_EQ(box.prompt, prompt);
  EXPECT_EQ(box.title, expected.title);
  const bool question = expected.style == 36;
  EXPECT_EQ(box.ok, !question);
  EXPECT_EQ(box.yes, question);
  EXPECT_EQ(box.no, question);
  EXPECT_STREQ(iconName(box.icon), iconName(iconOf(expected.style)));
  app.answer(box, answer);
}

void expectIdle(const App& app) {
  // Called after a box closed, when the click handler has no more events to process: the next
  // message the program takes is in its main loop, or in a further box that already exists.
  app.sync();
  const auto box = app.currentBox(false);
  EXPECT_FALSE(box) << "unexpected box: " << box->prompt;
  EXPECT_TRUE(app.running());
}

void closeApp(const App& app) {
  app.post(WM_CLOSE);
  app.waitForExit();
}

void expectSnapshot(const Snapshot& actual, const Snapshot& expected) {
  std::set<std::string> names;
  for (const auto& entry : actual) names.insert(entry.first);
  for (const auto& entry : expected) names.insert(entry.first);
  for (const auto& name : names) {
    const auto find = [&name](const Snapshot& s) -> std::optional<std::string> {
      const auto found = s.find(name);
      if (found == s.end()) return std::nullopt;
      return found->second;
    };
    const auto is = find(actual);
    const auto wanted = find(expected);
    if (is == wanted) continue;
    std::size_t at = 0;
    if (is && wanted) {
      at = static_cast<std::size_t>(
          std::mismatch(is->begin(), is->begin() + std::min(is->size(), wanted->size()),
                        wanted->begin())
              .first -
          is->begin());
    }
    ADD_FAILURE() << name << " holds " << describe(is) << " instead of " << describe(wanted)
                  << "; they differ from byte " << at;
  }
}

WindowsDirectory::WindowsDirectory(const std::string& relative) : path_(root_.path()) {
  std::replace(path_.begin(), path_.end(), '/', '\\');
  std::size_t start = 0;
  while (start < relative.size()) {
    const std::size_t end = std::min(relative.find('\\', start), relative.size());
    path_ += "\\" + relative.substr(start, end - start);
    if (!CreateDirectoryW(longForm(path_).c_str(), nullptr)) {
      throw std::runtime_error("cannot make " + path_ + ": error " +
                               std::to_string(GetLastError()));
    }
    start = end + 1;
  }
}

WindowsDirectory::WindowsDirectory(System) {
  wchar_t buffer[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  CharUpperBuffW(buffer, length);
  path_ = toUtf8(std::wstring(buffer, length));
  for (const char* name : {"win.ini", "winini.tmp", "win.ini.old"}) {
    saved_[name] = readBytes(file(name));
    DeleteFileW(file(name).c_str());
  }
}

WindowsDirectory::~WindowsDirectory() {
  for (const auto& [name, bytes] : saved_) {
    DeleteFileW(file(name).c_str());
    if (bytes) write(name, *bytes);
  }
  // std::filesystem under mingw cannot reach past MAX_PATH, nor delete a read-only file.
  removeContents(longForm(root_.path()));
}

std::wstring WindowsDirectory::file(const std::string& name) const {
  return longForm(path_ + "\\" + name);
}

void WindowsDirectory::write(const std::string& name, const std::string& bytes) const {
  const HANDLE handle = CreateFileW(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD put = 0;
  const bool written =
      handle != INVALID_HANDLE_VALUE &&
      WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
      put == bytes.size();
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  if (!written) throw std::runtime_error("cannot write test file " + name);
}

void WindowsDirectory::makeDirectory(const std::string& name) const {
  if (!CreateDirectoryW(file(name).c_str(), nullptr)) {
    throw std::runtime_error("cannot make directory " + name);
  }
}

void WindowsDirectory::setReadOnly(const std::string& name, bool readOnly) const {
  if (!SetFileAttributesW(file(name).c_str(),
                          readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL)) {
    throw std::runtime_error("cannot set the attributes of " + name);
  }
}

Snapshot WindowsDirectory::snapshot() const {
  if (saved_.empty()) return snapshotOf(longForm(path_));
  Snapshot names;
  for (const auto& entry : saved_) {
    if (const auto bytes = readBytes(file(entry.first))) names[entry.first] = *bytes;
  }
  return names;
}

bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool makeUnixLink(const std::wstring& path, const std::wstring& target, bool hard) {
  const std::string linkPath = unixPath(path);
  const std::string targetPath = unixPath(target);
  return !linkPath.empty() && !targetPath.empty() &&
         runUnixProgram(L"/bin/ln",
                        std::wstring(hard ? L"" : L"-s ") + L"\"" + toUtf16(targetPath) + L"\" \"" +
                            toUtf16(linkPath) + L"\"",
                        [&] { return !isMissing(path); });
}

bool removeUnixLink(const std::wstring& path) {
  const std::string linkPath = unixPath(path);
  return !linkPath.empty() && runUnixProgram(L"/bin/rm", L"-f \"" + toUtf16(linkPath) + L"\"",
                                             [&] { return isMissing(path); });
}

bool isDevice(const std::wstring& path) {
  const HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool device = GetFileType(handle) == FILE_TYPE_CHAR;
  CloseHandle(handle);
  return device;
}

}  // namespace mojifix::e2e
