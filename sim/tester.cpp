#include "tester.h"

#include "instrument.h"

#include <algorithm>

namespace sim {

namespace {

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

// Control characters made visible for the log.
QString printable(const QByteArray& bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += QStringLiteral("\\r");
        else if (c == '\n')
            out += QStringLiteral("\\n");
        else if (u < 0x20 || u == 0x7f)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += QChar(u);
    }
    return out;
}

bool isReset(const QString& command)
{
    const QString c = command.trimmed().toUpper();
    return c == u"*RST";
}

}  // namespace

QStringList splitCommands(const QString& line)
{
    QStringList commands;
    QString current;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u';' && !quoted) {
            commands << current;
            current.clear();
        } else {
            current += c;
        }
    }
    commands << current;
    return commands;
}

Tester::Tester(Scenario s, std::function<qint64()> nowMs)
    : scenario_(std::move(s)),
      now_(std::move(nowMs)),
      instrument_(std::make_unique<Instrument>(scenario_)),
      latencyRng_(scenario_.seed ^ 0x5eed1a7eu)
{
}

Tester::~Tester() = default;

void Tester::say(const QString& line) const
{
    if (log)
        log(line);
}

void Tester::write(const QByteArray& fromHost)
{
    const qint64 now = now_();
    advance(now);
    if (scenario_.faults.echoOnly && !fromHost.isEmpty()) {
        output_.push_back({std::max(now, lastDueMs_), fromHost});
        lastDueMs_ = output_.back().dueMs;
    }
    for (const char c : fromHost) {
        if (c == kXon || c == kXoff)
            continue;
        if (c == '\n' && lastWasCr_) {
            lastWasCr_ = false;
            continue;
        }
        lastWasCr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            if (!partial_.isEmpty())
                lineReceived(partial_, now);
            partial_.clear();
        } else {
            partial_ += c;
        }
    }
}

void Tester::lineReceived(const QByteArray& raw, qint64 nowMs)
{
    const QString line = QString::fromLatin1(raw);
    ++lineCount_;
    received_ << line;
    say(QStringLiteral("host: ") + printable(raw));

    const Faults& f = scenario_.faults;
    if (f.echoOnly || vanishing_ || vanished_)
        return;
    const bool lastLine = f.vanishAt.matches(lineCount_, line);
    if (lastLine && !f.vanishMidAnswer) {
        // Gone before it could answer: nothing more comes from it.
        input_.clear();
        output_.clear();
        vanished_ = true;
        say(QStringLiteral("fault: the device vanished"));
        return;
    }
    if (!restarted_ && f.restartAt.matches(lineCount_, line))
        restart(nowMs);
    if (f.silentFromLine > 0 && lineCount_ >= f.silentFromLine)
        silent_ = true;
    if (!f.silentPrefix.isEmpty() && line.trimmed().startsWith(f.silentPrefix, Qt::CaseInsensitive))
        silent_ = true;
    if (silent_)
        return;

    const QStringList commands = splitCommands(line);
    if (instrument_->actionRunning() && std::any_of(commands.begin(), commands.end(), isReset))
        abortForReset(nowMs);
    QueuedLine queued;
    queued.commands = commands;
    queued.readyAtMs = nowMs;
    queued.lastAnswer = lastLine;
    input_.push_back(queued);
    advance(nowMs);
}

// A reset that arrives while a call action runs does not wait for it: the
// action is abandoned, and so is everything the tester had not yet done or
// sent, so that the host finds a clean line after the reset.
void Tester::abortForReset(qint64 nowMs)
{
    instrument_->abortAction();
    input_.clear();
    while (!output_.empty() && output_.back().dueMs > nowMs)
        output_.pop_back();
    busyUntilMs_ = nowMs;
    lastDueMs_ = output_.empty() ? nowMs : std::max(nowMs, output_.back().dueMs);
}

// As after power-on: every setting, the registration, the call, the lines not yet
// carried out and the answers not yet sent are forgotten, and the tester is busy
// starting up for tester.reset_ms.
void Tester::changePhone(Scenario s)
{
    const TesterState settings = instrument_->state();
    scenario_ = std::move(s);
    instrument_ = std::make_unique<Instrument>(scenario_);
    instrument_->keepSettings(settings);
    say(QStringLiteral("phone changed: IMEI ") + scenario_.imei);
}

void Tester::restart(qint64 nowMs)
{
    restarted_ = true;
    instrument_ = std::make_unique<Instrument>(scenario_);
    input_.clear();
    while (!output_.empty() && output_.back().dueMs > nowMs)
        output_.pop_back();
    busyUntilMs_ = nowMs + scenario_.resetMs;
    lastDueMs_ = output_.empty() ? nowMs : std::max(nowMs, output_.back().dueMs);
    say(QStringLiteral("fault: the tester restarted"));
}

// Runs every queued line whose turn has come by nowMs. A line waits for the
// lines before it and, inside itself, for a call action or a reset to end:
// that is why a status query after "CALL:LOC" is answered only when the
// location update has ended.
void Tester::advance(qint64 nowMs)
{
    while (!input_.empty()) {
        QueuedLine& line = input_.front();
        const qint64 t = std::max(line.readyAtMs, busyUntilMs_);
        if (t > nowMs)
            break;
        instrument_->advanceTo(t);
        bool waiting = false;
        while (line.next < line.commands.size()) {
            const QString& command = line.commands[line.next++];
            const CommandResult r = instrument_->execute(command, t, line.path);
            if (r.query) {
                ++queryCount_;
                line.answers << transportAnswer(command, r.answer);
                line.anyQuery = true;
                const Faults& f = scenario_.faults;
                auto byPrefix = [&command](const QString& prefix) {
                    return !prefix.isEmpty() && command.trimmed().startsWith(prefix, Qt::CaseInsensitive);
                };
                line.unended = line.unended || f.unendedQueries.contains(queryCount_) || byPrefix(f.unendedPrefix);
                line.flood = line.flood || f.floodQueries.contains(queryCount_) || byPrefix(f.floodPrefix);
            }
            line.extraDelayMs = std::max(line.extraDelayMs, r.extraDelayMs);
            if (r.resumeAtMs > t) {
                busyUntilMs_ = line.readyAtMs = r.resumeAtMs;
                waiting = true;
                break;
            }
        }
        if (waiting)
            continue;
        busyUntilMs_ = t;
        if (line.anyQuery) {
            std::uniform_int_distribution<int> latency(scenario_.latencyMinMs, scenario_.latencyMaxMs);
            sendAnswer(line, t + latency(latencyRng_) + line.extraDelayMs);
        } else if (line.lastAnswer) {
            vanishing_ = true;
        }
        input_.pop_front();
        if (vanishing_) {
            input_.clear();
            break;
        }
    }
    instrument_->advanceTo(nowMs);
}

QString Tester::transportAnswer(const QString& command, const QString& answer)
{
    const Faults& f = scenario_.faults;
    const bool byPrefix = !f.garbagePrefix.isEmpty()
                          && command.trimmed().startsWith(f.garbagePrefix, Qt::CaseInsensitive);
    return (byPrefix || f.garbageQueries.contains(queryCount_)) ? f.garbageText : answer;
}

void Tester::sendAnswer(const QueuedLine& line, qint64 dueMs)
{
    const Faults& f = scenario_.faults;
    QByteArray bytes;
    if (line.flood) {
        static const QByteArray pattern("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        bytes = pattern.repeated(f.floodBytes / pattern.size() + 1).left(f.floodBytes);
    } else {
        bytes = line.answers.join(u';').toLatin1();
        if (!line.unended)
            bytes += "\r\n";
    }
    if (line.lastAnswer) {
        bytes.truncate(std::max<qsizetype>(1, bytes.size() / 2));
        vanishing_ = true;
    }
    const qint64 due = std::max(dueMs, lastDueMs_);
    const int pieces = std::max(1, std::min<int>(f.splitPieces, bytes.size()));
    qsizetype from = 0;
    for (int k = 0; k < pieces; ++k) {
        const qsizetype to = bytes.size() * (k + 1) / pieces;
        output_.push_back({due + qint64(k) * f.splitPauseMs, bytes.mid(from, to - from)});
        from = to;
    }
    lastDueMs_ = output_.back().dueMs;
}

bool Tester::vanished()
{
    advance(now_());
    if (vanishing_ && !vanished_ && output_.empty()) {
        vanished_ = true;
        say(QStringLiteral("fault: the device vanished"));
    }
    return vanished_;
}

qint64 Tester::bytesAvailable()
{
    const qint64 now = now_();
    advance(now);
    qint64 n = 0;
    for (const Chunk& c : output_) {
        if (c.dueMs > now)
            break;
        n += c.bytes.size();
    }
    return n;
}

QByteArray Tester::readAll()
{
    const qint64 now = now_();
    advance(now);
    QByteArray out;
    while (!output_.empty() && output_.front().dueMs <= now) {
        const QByteArray& bytes = output_.front().bytes;
        // A flood is logged by its start and size, not in full.
        constexpr qsizetype kLoggedBytes = 200;
        if (bytes.size() > kLoggedBytes)
            say(QStringLiteral("tester: ") + printable(bytes.left(kLoggedBytes)) +
                QStringLiteral("... (%1 bytes)").arg(bytes.size()));
        else
            say(QStringLiteral("tester: ") + printable(bytes.endsWith("\r\n") ? bytes.chopped(2) : bytes));
        out += bytes;
        output_.pop_front();
    }
    return out;
}

QStringList Tester::receivedLines() const { return received_; }

void Tester::clearReceived() { received_.clear(); }

const TesterState& Tester::state()
{
    advance(now_());
    return instrument_->state();
}

qint64 Tester::nextEventMs()
{
    advance(now_());
    qint64 next = -1;
    if (!output_.empty())
        next = output_.front().dueMs;
    if (!input_.empty()) {
        const qint64 t = std::max(input_.front().readyAtMs, busyUntilMs_);
        if (t < kNeverMs && (next < 0 || t < next))
            next = t;
    }
    return next;
}

}  // namespace sim
