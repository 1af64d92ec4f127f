# GoogleTest built from its sources with the project's own compiler, for cross builds where
# no prebuilt library for the target exists (Debian ships the sources in googletest).
set(ZOR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources used for a cross build")
if(NOT EXISTS ${ZOR_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${ZOR_GTEST_SOURCE}: install googletest, "
                      "set ZOR_GTEST_SOURCE, or configure with -DZOR_TESTS=OFF")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZOR_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)
