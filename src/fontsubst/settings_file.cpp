// Locating, scanning, rewriting and swapping the settings file.
#include "fontsubst/settings_file.h"

#include "fontsubst/messages.h"
#include "fontsubst/settings_rules.h"

namespace mojifix {

std::optional<SettingsPaths> locateSettingsFile(Platform& platform) {
  const std::string windowsDirectory = platform.environmentVariable("WINDIR");
  if (windowsDirectory.empty()) {
    platform.showMessage(messages::noWindowsDirectory());
    return std::nullopt;
  }
  return makeSettingsPaths(windowsDirectory);
}

ScanResult scanFontSection(Platform& platform, const SettingsPaths& paths) {
  ScanResult result;
  auto file = platform.openForReading(paths.settings);
  if (!file) {
    platform.showMessage(messages::openFailure(paths.settings));
    return result;
  }
  LineReader reader(std::move(file));
  FontSectionScanner scanner;
  std::string_view line;
  ReadStatus status = ReadStatus::Ok;
  while ((status = reader.readLine(line)) == ReadStatus::Ok) {
    if (scanner.feed(line)) {
      result.substitutionFound = true;
      break;
    }
  }
  reader.close();
  if (status == ReadStatus::Error) {
    platform.showMessage(messages::readFailure(paths.settings));
    return result;
  }
  result.completed = true;
  result.sectionSeen = scanner.sectionSeen();
  return result;
}

bool insertSubstitution(std::string_view line, LineWriter& out, bool& changed) {
  const bool header = isSectionHeader(line);
  changed = changed || header;
  return out.writeLine(line) && (!header || out.writeLine(kSubstitutionLine));
}

bool dropSubstitution(std::string_view line, LineWriter& out, bool& changed) {
  const bool drop = isSubstitutionLine(line);
  changed = changed || drop;
  return drop || out.writeLine(line);
}

bool rewriteSettingsFile(Platform& platform, const SettingsPaths& paths, LineRule rule) {
  auto settingsFile = platform.openForReading(paths.settings);
  if (!settingsFile) {
    platform.showMessage(messages::openFailure(paths.settings));
    return false;
  }
  LineReader reader(std::move(settingsFile));
  // One operation at a time across instances: another could delete this one's temporary file
  // while it is written (95/98/Me delete an open file) and have its own moved into place.
  const std::unique_ptr<Platform, void (*)(Platform*)> claim(
      platform.claimOperation() ? &platform : nullptr, [](Platform* p) { p->releaseOperation(); });
  if (claim) platform.filesChanging();
  auto temporaryFile = claim ? platform.openForWriting(paths.temporary) : nullptr;
  if (!temporaryFile) {
    reader.close();
    platform.showMessage(messages::openFailure(paths.temporary));
    return false;
  }
  LineWriter writer(std::move(temporaryFile));

  std::string_view line;
  ReadStatus status = ReadStatus::Ok;
  bool written = true;
  bool changed = false;
  bool sectionSeen = false;
  while (written && (status = reader.readLine(line)) == ReadStatus::Ok) {
    sectionSeen = sectionSeen || isSectionHeader(line);
    written = rule(line, writer, changed);
  }
  const bool readFailed = written && status == ReadStatus::Error;
  if (written && !readFailed) {
    written = writer.commit();
  } else {
    writer.abandon();
  }
  reader.close();

  if (readFailed || !written) {
    platform.deleteFile(paths.temporary);
    platform.showMessage(readFailed ? messages::readFailure(paths.settings)
                                    : messages::writeFailure(paths.temporary));
    return false;
  }
  if (!changed) {
    // Agree changes no line only where there is no section; Remove, where the line is nowhere.
    platform.deleteFile(paths.temporary);
    platform.showMessage(sectionSeen ? messages::notApplied() : messages::sectionMissing());
    return false;
  }
  const bool replaced =
      swapSettingsFile(platform, paths, reader.digest(), writer.digest()) == SwapOutcome::Replaced;
  if (replaced) platform.filesInPlace();
  return replaced;
}

SwapOutcome swapSettingsFile(Platform& platform, const SettingsPaths& paths, std::uint64_t copied,
                             std::uint64_t written) {
  // Fails quietly when there is no earlier backup; one that cannot be removed makes the first
  // rename fail instead, since a rename never replaces its target.
  platform.deleteFile(paths.backup);
  platform.processEvents();
  platform.pause(kSwapPauseMilliseconds);

  // win.ini moves only while it holds what the copy read, and the new file follows at once:
  // 95/98/Me would make a new win.ini for any program that wrote a setting while there was none.
  if (!platform.renameIfUnchanged(paths.settings, paths.backup, copied)) {
    platform.deleteFile(paths.temporary);
    platform.showMessage(messages::notReplaced());
    return SwapOutcome::NotReplaced;
  }
  if (!platform.renameFile(paths.temporary, paths.settings)) {
    if (!platform.renameFile(paths.backup, paths.settings)) {
      // Nothing is deleted: the backup is now the only copy of the original.
      platform.showMessage(messages::originalLeftInBackup(paths.backup));
      return SwapOutcome::OriginalLeftInBackup;
    }
    platform.deleteFile(paths.temporary);
    platform.showMessage(messages::notReplaced());
    return SwapOutcome::NotReplaced;
  }
  platform.processEvents();
  platform.pause(kSwapPauseMilliseconds);
  // Success only for the file written here: after a setting written during the swap, 95/98/Me's
  // last flush writes the old win.ini, cached before the first rename, over the new one.
  if (!fileReadsAs(platform, paths.settings, written)) {
    platform.showMessage(messages::originalLeftInBackup(paths.backup));
    return SwapOutcome::OriginalLeftInBackup;
  }
  return SwapOutcome::Replaced;
}

void offerRestart(Platform& platform) {
  if (platform.showMessage(messages::restartQuestion()) != MessageResult::Yes) return;
  if (!platform.requestRestart()) platform.showMessage(messages::restartFailed());
}

}  // namespace mojifix
