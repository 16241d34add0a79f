// What the stand-ins for Windows 95's KERNEL32, USER32 and GDI32 share: how a call fails there,
// and a record of what the model decided, for the tests to read.
#ifndef MOJIFIX_TESTS_WIN95_MODEL_MODEL_H
#define MOJIFIX_TESTS_WIN95_MODEL_MODEL_H

#include <windows.h>

namespace win95 {

// Appends one line (printf format) to the file named by the environment variable
// MOJIFIX_WIN95_MODEL_LOG, when it is set: a test sets it for the program it starts, so that the
// record lies outside the Windows directory, whose contents the tests compare.
void record(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Records the refusal, sets `error` as the last error and returns 0, the failure return of the
// functions modelled (FALSE, NULL or 0 characters).
LONG_PTR refuse(DWORD error, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A W function that Windows 95 exports only as a stub: it sets ERROR_CALL_NOT_IMPLEMENTED and
// returns 0. MSDN Library (June 1998), "Windows 95 General Limitations": "Windows 95 does not
// implement the Unicode (or wide character) version of most functions", whose stubs "simply
// return an error value"; it lists the few that it implements.
LONG_PTR notImplemented(const char* name);

}  // namespace win95

#endif
