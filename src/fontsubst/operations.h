// The two things the user can ask for: put the substitution line into the settings file (Agree)
// or take it out again (Remove). Each runs inside one button click and speaks to the user only
// through message boxes.
#ifndef MOJIFIX_FONTSUBST_OPERATIONS_H
#define MOJIFIX_FONTSUBST_OPERATIONS_H

#include "platform/platform.h"

namespace mojifix {

void applySubstitution(Platform& platform);
void removeSubstitution(Platform& platform);

}  // namespace mojifix

#endif
