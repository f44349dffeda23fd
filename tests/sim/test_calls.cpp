// Call processing: registration, calls from and to the phone, the service
// timer, the failure bit, resets, and which band a call is on.
#include "sim_bench.h"

#include <gtest/gtest.h>

using simtest::Bench;

namespace {

Bench::Bench* unused = nullptr;

sim::Scenario with(const char* key, const char* value)
{
    sim::Scenario s = Bench::fastScenario();
    EXPECT_TRUE(s.set(QString::fromLatin1(key), QString::fromLatin1(value)));
    return s;
}

void armTimer(Bench& b, int seconds)
{
    b.send(QStringLiteral("SYST:COMM:SER:TIM %1").arg(seconds));
    b.send(QStringLiteral("SYST:COMM:SER:TIM:STAT ON"));
}

}  // namespace
