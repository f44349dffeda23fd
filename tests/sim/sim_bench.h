// A simulated tester on a virtual clock, with the host side of a command
// exchange: send a line, wait (in virtual time) for the answer line.
#pragma once

#include "sim/tester.h"

#include <QString>
#include <gtest/gtest.h>

#include <algorithm>

namespace simtest {

struct Bench {
    qint64 now = 0;
    sim::Tester tester;
    qint64 lastWaitMs = 0; // how long the last ask() waited for its answer

    explicit Bench(sim::Scenario s = fastScenario()) : tester(std::move(s), [this] { return now; }) {}

    // Defaults with a fixed, short answer latency, so that timings are exact.
    static sim::Scenario fastScenario()
    {
        sim::Scenario s;
        s.latencyMinMs = s.latencyMaxMs = 10;
        s.measureMs = 0;
        s.resetMs = 0;
        return s;
    }

    void send(const QString& line) { tester.write(line.toLatin1() + "\r\n"); }

    // Collects output until a line end arrives or nothing more can come
    // within limitMs; returns the raw bytes.
    QByteArray waitForLine(qint64 limitMs = 600000)
    {
        const qint64 start = now;
        QByteArray got;
        for (;;) {
            got += tester.readAll();
            if (got.contains('\n'))
                break;
            const qint64 next = tester.nextEventMs();
            if (next < 0 || next > start + limitMs)
                break;
            now = std::max(now + 1, next);
        }
        lastWaitMs = now - start;
        return got;
    }

    // Sends a line and returns its answer without the line end.
    QString ask(const QString& line, qint64 limitMs = 600000)
    {
        send(line);
        QString answer = QString::fromLatin1(waitForLine(limitMs));
        if (answer.endsWith(QStringLiteral("\r\n")))
            answer.chop(2);
        return answer;
    }

    // Lets virtual time pass and returns whatever arrived meanwhile.
    QByteArray idle(qint64 ms)
    {
        now += ms;
        return tester.readAll();
    }

    // Sets the service timer and switches it on.
    void armTimer(int seconds)
    {
        send(QStringLiteral("SYST:COMM:SER:TIM %1").arg(seconds));
        send(QStringLiteral("SYST:COMM:SER:TIM:STAT ON"));
    }

    // Registers the phone and sets up a call from it, with the service timer on.
    void connectCall()
    {
        armTimer(60);
        ask(QStringLiteral("CALL:LOC;*STB?"));
        ask(QStringLiteral("CALL:MSOR;*STB?"));
    }
};

// The fast scenario with one key set.
inline sim::Scenario with(const char* key, const char* value)
{
    sim::Scenario s = Bench::fastScenario();
    EXPECT_TRUE(s.set(QString::fromLatin1(key), QString::fromLatin1(value)));
    return s;
}

}  // namespace simtest
