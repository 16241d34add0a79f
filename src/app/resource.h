/* Identifiers shared by the resource script and the code; the resource compiler reads only the
   #defines. */
#ifndef MOJIFIX_APP_RESOURCE_H
#define MOJIFIX_APP_RESOURCE_H

#define IDI_MOJIFIX 1

#ifndef RC_INVOKED
namespace mojifix {

// Control identifiers; 1 and 2 are left out because the dialog keys send them for Enter and
// Escape, and this window has no default or cancel button.
enum ControlId : int {
  kCommand1 = 101,
  kText1 = 102,
  kCommand2 = 103,
  kCommand3 = 104,
  kLabel1 = 105,
  kCommand4 = 106,
};

}  // namespace mojifix
#endif

#endif
