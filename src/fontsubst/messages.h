// The messages of the two operations, with their styles and titles; the start-up failure is the
// window's own (app/form1.h).
#ifndef MOJIFIX_FONTSUBST_MESSAGES_H
#define MOJIFIX_FONTSUBST_MESSAGES_H

#include <string>

#include "platform/platform.h"

namespace mojifix::messages {

// The title of every error box.
inline constexpr const char* kErrorTitle = "エラー発生";

// Shared by both operations.
Message noWindowsDirectory();
Message openFailure(const std::string& path);
Message readFailure(const std::string& path);
Message writeFailure(const std::string& path);
Message sectionMissing();
// win.ini is the original again; an earlier backup may already be deleted.
Message notReplaced();
Message originalLeftInBackup(const std::string& backupPath);
Message restartQuestion();
Message restartFailed();

// Agree.
Message confirmApply();
Message alreadyApplied();
Message applied();

// Remove.
Message confirmRemove();
Message notApplied();
Message removed();

}  // namespace mojifix::messages

#endif
