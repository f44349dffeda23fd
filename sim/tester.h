// The simulated tester as its serial line sees it: bytes in, answer bytes
// out when they are due. Time comes only from the caller's clock (virtual
// time in tests, a steady clock in the pseudo-terminal program); the tester
// never sleeps and works out everything lazily whenever it is called.
#pragma once

#include "scenario.h"
#include "tester_state.h"

#include <QByteArray>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <random>

namespace sim {

class Instrument;

class Tester {
public:
    Tester(Scenario s, std::function<qint64()> nowMs);
    ~Tester();
    Tester(const Tester&) = delete;
    Tester& operator=(const Tester&) = delete;

    // Bytes from the host. A line ends at CR, at LF, or at CR LF (counted once);
    // empty lines are ignored; XON/XOFF bytes are flow control and are dropped.
    void write(const QByteArray& fromHost);
    // Answer bytes that are due by now.
    qint64 bytesAvailable();
    QByteArray readAll();

    // Every command line received, exactly as sent (without its line end).
    QStringList receivedLines() const;
    void clearReceived();

    // The tester's state as of now.
    const TesterState& state();
    // The next time at which an answer becomes due or a waiting line runs;
    // -1 when nothing is waiting.
    qint64 nextEventMs();

    // Puts the phone of another scenario in the coupler: the tester keeps its settings
    // and what it is doing on the line; the phone's attempt counts start afresh.
    void changePhone(Scenario s);

    // True once the device has vanished (fault.vanish_at): the pseudo-terminal
    // program then closes the line, as when the device is pulled.
    bool vanished();

    // One line per received command line ("host: ...") and per piece of
    // answer sent ("tester: ..."), when set.
    std::function<void(const QString&)> log;

private:
    struct QueuedLine {
        QStringList commands;
        int next = 0;
        QStringList path;
        QStringList answers;
        bool anyQuery = false;
        qint64 readyAtMs = 0;
        qint64 extraDelayMs = 0;
        bool unended = false;    // the answer goes out without its line end
        bool flood = false;      // the answer is a flood without a line end
        bool lastAnswer = false; // half the answer goes out, then the device vanishes
    };
    struct Chunk {
        qint64 dueMs;
        QByteArray bytes;
    };

    void lineReceived(const QByteArray& raw, qint64 nowMs);
    void abortForReset(qint64 nowMs);
    void advance(qint64 nowMs);
    QString transportAnswer(const QString& command, const QString& answer);
    void sendAnswer(const QueuedLine& line, qint64 dueMs);
    void restart(qint64 nowMs);
    void say(const QString& line) const;

    Scenario scenario_;
    std::function<qint64()> now_;
    std::unique_ptr<Instrument> instrument_;
    std::mt19937 latencyRng_;

    QByteArray partial_;
    bool lastWasCr_ = false;
    QStringList received_;
    int lineCount_ = 0;
    int queryCount_ = 0;
    bool silent_ = false;
    bool restarted_ = false;
    bool vanishing_ = false; // the last half answer is on its way
    bool vanished_ = false;

    std::deque<QueuedLine> input_;
    std::deque<Chunk> output_;
    qint64 busyUntilMs_ = 0;
    qint64 lastDueMs_ = 0;
};

// Splits a command line at ';' outside double quotes.
QStringList splitCommands(const QString& line);

}  // namespace sim
