/* The program's version, in one place: the version resource and the code both read it. */
#ifndef MOJIFIX_VERSION_H
#define MOJIFIX_VERSION_H

#define MOJIFIX_VERSION_MAJOR 0
#define MOJIFIX_VERSION_MINOR 9
#define MOJIFIX_VERSION_REVISION 1
/* The same three numbers as the version text shows them: minor two digits, revision four. */
#define MOJIFIX_VERSION_TEXT "0.09.0001"

#endif
