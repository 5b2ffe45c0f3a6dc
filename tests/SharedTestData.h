#pragma once

// The public GEDCOM files beside the repository. CI always has them, so there
// a missing folder fails the test; elsewhere the test is skipped, visibly.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kinloom::test {

inline const std::string sharedTestData = "../shared/testdata/";

inline bool inCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

} // namespace kinloom::test

#define REQUIRE_SHARED_TESTDATA()                                                                            \
    if (!std::filesystem::is_directory(kinloom::test::sharedTestData)) {                                     \
        if (kinloom::test::inCi()) FAIL() << kinloom::test::sharedTestData << " is missing in CI";           \
        GTEST_SKIP() << kinloom::test::sharedTestData << " is absent";                                       \
    }
