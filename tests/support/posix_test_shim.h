// Put in front of every unit test of the Windows build: the few POSIX calls the tests use
// to set up their environment and scratch directories, over the Windows C runtime.
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

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
//
// A death test runs in a new process here, not in a fork: its fixture is set up again. So
// that it works in the scratch directory its parent made (and the parent sees what it
// wrote there, as after a fork), the name made last for a pattern is handed down in the
// environment and taken over by the child.
inline char* mkdtemp(char* pattern) {
  std::string key = "ZORTEST_SCRATCH_" + std::to_string(std::hash<std::string>{}(pattern));
  if (testing::internal::InDeathTestChild()) {
    if (const char* made = getenv(key.c_str())) {
      if (strlen(made) != strlen(pattern)) return nullptr;
      memcpy(pattern, made, strlen(made));
      return pattern;
    }
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = pattern;
    if (!_mktemp(name.data())) return nullptr;
    if (_mkdir(name.c_str()) == 0) {
      memcpy(pattern, name.data(), name.size());
      _putenv_s(key.c_str(), pattern);
      return pattern;
    }
  }
  return nullptr;
}
#endif
