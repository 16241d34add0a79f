// The steps both operations share: locating, scanning and rewriting the settings file, swapping
// the rewritten copy in, and offering the restart. Each step tells the user about its own
// failures, so a caller only decides whether to go on.
#ifndef MOJIFIX_FONTSUBST_SETTINGS_FILE_H
#define MOJIFIX_FONTSUBST_SETTINGS_FILE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fontsubst/settings_paths.h"
#include "platform/platform.h"
#include "platform/text_file.h"

namespace mojifix {

inline constexpr unsigned kSwapPauseMilliseconds = 500;

// The paths under the directory named by WINDIR; nullopt, after telling the user, when WINDIR is
// empty or unset.
std::optional<SettingsPaths> locateSettingsFile(Platform& platform);

// Keeps the file services on the Windows directory as it was found at the start of an operation,
// for as long as the operation runs, so that a link switched meanwhile cannot move a later step
// to another directory.
struct DirectoryHold {
  DirectoryHold(Platform& platform, const SettingsPaths& paths) : platform(platform) {
    platform.holdDirectory(paths.settings);
  }
  ~DirectoryHold() { platform.releaseDirectory(); }
  DirectoryHold(const DirectoryHold&) = delete;
  DirectoryHold& operator=(const DirectoryHold&) = delete;

  Platform& platform;
};

struct ScanResult {
  bool completed = false;  // false: the file could not be opened or read, and the user was told
  bool sectionSeen = false;
  bool substitutionFound = false;  // the substitution line stands inside the section
};

// Opens the settings file, reads it up to the substitution line or its end, and closes it.
ScanResult scanFontSection(Platform& platform, const SettingsPaths& paths);

// How one line of the settings file is written to its rewritten copy, setting `changed` when it
// inserts or drops a line; false when a write failed.
using LineRule = bool (*)(std::string_view line, LineWriter& out, bool& changed);

// Agree: every line as it is, and the substitution line directly under every section header.
bool insertSubstitution(std::string_view line, LineWriter& out, bool& changed);
// Remove: every line but the exact substitution line, wherever it stands.
bool dropSubstitution(std::string_view line, LineWriter& out, bool& changed);

// Copies the settings file through `rule` into the temporary file and swaps it in, telling the
// platform when the files start changing and when they are in place. True only when the new file
// is in place; on any failure the user has been told and the settings file is as it was (or, in
// the one case the message names, waits under the backup path). When the file has changed since
// the scan so that `rule` changes no line, nothing is swapped and the user is told what a scan
// would find now.
bool rewriteSettingsFile(Platform& platform, const SettingsPaths& paths, LineRule rule);

enum class SwapOutcome {
  Replaced,              // the new file is in place, the previous one is the backup
  NotReplaced,           // the settings file is unchanged and the temporary file is gone
  OriginalLeftInBackup,  // no new settings file in place; the original waits under the backup path
};

// Moves the previous settings file to the backup and the temporary file into its place, one
// rename straight after the other, pausing before and after them so the file system settles, and
// undoes what it can when a rename fails. The settings file is moved only while it still holds what
// the copy read (`copied`): a change that another program made since would otherwise survive only
// in the backup. The new one counts as in place only when it reads back as written (`written`).
SwapOutcome swapSettingsFile(Platform& platform, const SettingsPaths& paths, std::uint64_t copied,
                             std::uint64_t written);

// Asks whether to restart the system now, and requests it on Yes.
void offerRestart(Platform& platform);

}  // namespace mojifix

#endif
