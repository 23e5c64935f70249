#pragma once

#include <gtest/gtest.h>

// The runner names, in TESSALY_NO_DESKTOP, why it could not make a desktop.
#define REQUIRE_DESKTOP()                                                                                              \
    if (const char* reason = std::getenv("TESSALY_NO_DESKTOP"))                                                        \
    GTEST_SKIP() << "no desktop: " << reason
