#pragma once
// Pins the local time zone for tests whose dates go through local midnight.
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace lbv {

class LocalTimeZone : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "EST5EDT", 1);
        tzset();
    }
};

} // namespace lbv
