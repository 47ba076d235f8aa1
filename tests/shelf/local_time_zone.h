#pragma once
// Pins the local time zone for tests whose dates go through local midnight.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

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
