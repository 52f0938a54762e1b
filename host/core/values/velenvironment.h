#ifndef VELENVIRONMENT_H
#define VELENVIRONMENT_H

#include "velbytearray.h"

// Process environment access. These functions serialise among themselves;
// direct setenv()/getenv() calls elsewhere in the process are not covered.

// The value, or an empty byte array when the variable is unset.
VelByteArray velgetenv(const char *name);
// True when unset or set to the empty string.
bool velEnvironmentVariableIsEmpty(const char *name);
bool velEnvironmentVariableIsSet(const char *name);
// The value as a decimal int (blanks around it and a sign allowed). Unset,
// empty, out-of-range or partly numeric values ("12abc") give 0 with
// *ok = false.
int velEnvironmentVariableIntValue(const char *name, bool *ok = nullptr);
// Sets (overwriting) or removes a variable; false on failure (bad name).
bool velputenv(const char *name, const VelByteArray &value);
bool velunsetenv(const char *name);

#endif
