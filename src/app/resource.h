/* Identifiers shared by the resource script and the code. */
#ifndef MOJIFIX_APP_RESOURCE_H
#define MOJIFIX_APP_RESOURCE_H

#define IDI_MOJIFIX 1

#endif
