// The Agree and Remove operations as sequences over the shared settings-file steps.
#include "fontsubst/operations.h"

#include "fontsubst/messages.h"
#include "fontsubst/settings_file.h"

namespace mojifix {

void applySubstitution(Platform& platform) {
  if (platform.showMessage(messages::confirmApply()) != MessageResult::Yes) return;
  const auto paths = locateSettingsFile(platform);
  if (!paths) return;
  const DirectoryHold hold(platform, *paths);

  const ScanResult scan = scanFontSection(platform, *paths);
  if (!scan.completed) return;
  if (scan.substitutionFound) {
    platform.showMessage(messages::alreadyApplied());
    return;
  }
  if (!scan.sectionSeen) {
    platform.showMessage(messages::sectionMissing());
    return;
  }

  if (!rewriteSettingsFile(platform, *paths, insertSubstitution)) return;
  platform.showMessage(messages::applied());
  offerRestart(platform);
}

void removeSubstitution(Platform& platform) {
  if (platform.showMessage(messages::confirmRemove()) != MessageResult::Yes) return;
  const auto paths = locateSettingsFile(platform);
  if (!paths) return;
  const DirectoryHold hold(platform, *paths);

  const ScanResult scan = scanFontSection(platform, *paths);
  if (!scan.completed) return;
  if (!scan.sectionSeen) {
    platform.showMessage(messages::sectionMissing());
    return;
  }
  if (!scan.substitutionFound) {
    platform.showMessage(messages::notApplied());
    return;
  }

  if (!rewriteSettingsFile(platform, *paths, dropSubstitution)) return;
  platform.showMessage(messages::removed());
  offerRestart(platform);
}

}  // namespace mojifix
