// Waiting in the real event loop inside GoogleTest. QTest's QTRY_* macros only return
// from the test function on failure, which GoogleTest would count as a pass.
#pragma once

#include <QTest>
#include <gtest/gtest.h>

#define WAIT_UNTIL_MS(condition, ms) \
    ASSERT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(condition); }, (ms))) \
        << "still false after " << (ms) << " ms: " #condition

#define WAIT_UNTIL(condition) WAIT_UNTIL_MS(condition, 5000)
