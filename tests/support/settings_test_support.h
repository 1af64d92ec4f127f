// The settings record as the tests walk it: through the table of settings, so that a new
// setting changes no test but its own.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "settings/setting_table.h"

namespace test {

// Calls f with each on/off field of the record.
inline void forEachFlag(Settings& s, const std::function<void(Flag&)>& f) {
  for (const Setting& row : settingTable)
    if (row.kind == Kind::flag) f(s.*row.flag);
}

inline Settings allFlags(Flag value) {
  Settings s;
  forEachFlag(s, [value](Flag& flag) { flag = value; });
  return s;
}

// Whether the records agree in every field the table names; the first that differs is told.
inline ::testing::AssertionResult sameSettings(const Settings& a, const Settings& b) {
  for (const Setting& row : settingTable) {
    bool same = row.flag     ? a.*row.flag == b.*row.flag
                : row.number ? a.*row.number == b.*row.number
                : row.text   ? (a.*row.text).view() == (b.*row.text).view()
                             : row.kind != Kind::screenMode || a.screenMode == b.screenMode;
    if (!same) return ::testing::AssertionFailure() << "they differ in " << row.keywords[0];
  }
  return ::testing::AssertionSuccess();
}

}  // namespace test
