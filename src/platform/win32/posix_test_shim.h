// Put in front of every unit test of the Windows build: the few POSIX calls the tests use
// to set up their environment and scratch directories, over the Windows C runtime.
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Failures the tests inject by errno value that the Windows C runtime has no name for
// (the numbers are Linux's).
#ifndef EDQUOT
#define EDQUOT 122
#endif

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  return _putenv_s(name, value);  // changes the process environment as well
}

inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

// A pattern ending in XXXXXX becomes a new directory.
inline char* mkdtemp(char* pattern) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[260];
    snprintf(name, sizeof name, "%s", pattern);
    if (!_mktemp(name)) return nullptr;
    if (_mkdir(name) == 0) {
      snprintf(pattern, strlen(pattern) + 1, "%s", name);
      return pattern;
    }
  }
  return nullptr;
}
#endif
