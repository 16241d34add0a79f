// Where the settings file, its temporary copy and its backup live.
#ifndef MOJIFIX_FONTSUBST_SETTINGS_PATHS_H
#define MOJIFIX_FONTSUBST_SETTINGS_PATHS_H

#include <string>

namespace mojifix {

struct SettingsPaths {
  std::string settings;   // win.ini
  std::string temporary;  // winini.tmp
  std::string backup;     // win.ini.old
};

// The paths inside `windowsDirectory`, joined as they are: a directory that already ends in a
// separator gets a second one, which the file system accepts.
SettingsPaths makeSettingsPaths(const std::string& windowsDirectory);

}  // namespace mojifix

#endif
