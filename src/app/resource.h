/* Identifiers shared by the resource script and the code.
   The resource compiler reads only the #defines. */
#ifndef MOJIFIX_APP_RESOURCE_H
#define MOJIFIX_APP_RESOURCE_H

#define IDI_MOJIFIX 1

/* The controls of Form1. 1 and 2 are left out: they are IDOK and IDCANCEL, which Windows sends
   for Enter and Escape, and this window has no default or cancel button. */
#define IDC_COMMAND1 101
#define IDC_TEXT1 102
#define IDC_COMMAND2 103
#define IDC_COMMAND3 104
#define IDC_LABEL1 105
#define IDC_COMMAND4 106

#endif
