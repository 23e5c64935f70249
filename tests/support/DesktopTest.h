#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// Skips a desktop test, with the reason, where the test program could not make a desktop.
#define REQUIRE_DESKTOP()                                                                                              \
    do {                                                                                                               \
        if (const char* reason = std::getenv("TESSALY_NO_DESKTOP"))                                                    \
            GTEST_SKIP() << "no desktop: " << reason;                                                                  \
    } while (false)
