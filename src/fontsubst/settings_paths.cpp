// Deriving the three paths of one operation from the Windows directory.
#include "fontsubst/settings_paths.h"

namespace mojifix {

SettingsPaths makeSettingsPaths(const std::string& windowsDirectory) {
  SettingsPaths paths;
  paths.settings = windowsDirectory + "\\win.ini";
  paths.temporary = windowsDirectory + "\\winini.tmp";
  paths.backup = paths.settings + ".old";
  return paths;
}

}  // namespace mojifix
