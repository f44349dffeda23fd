// The configuration of one simulated tester and the phone in its coupler:
// identity, timing, the phone's behaviour, the radio neighbourhood and the
// faults to inject. Read from "key = value" text files and overridden from
// the command line. sim/README.md documents every key.
#pragma once

#include "band.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace sim {

// A decimal number written as a whole text (blanks around it allowed), as the
// scenario files and the tester's numeric parameters hold them. False for anything
// else, hexadecimal included.
bool ReadReal(const QString& text, double& out);

// Which attempts (1-based counts of one kind of query) a fault applies to:
// a list of numbers, or every attempt.
struct AttemptSet {
    bool all = false;
    QSet<int> numbers;

    bool contains(int attempt) const { return all || numbers.contains(attempt); }
    bool isEmpty() const { return !all && numbers.isEmpty(); }
    // "1,3", "all", "none" or an empty text.
    static bool parse(const QString& text, AttemptSet& out, QString* error);
};

// The line a fault strikes at: a 1-based number of the received command lines, or
// the first line that starts with a text (not case-sensitive). Written as the number
// or the text; empty = never.
struct LineSelector {
    int line = 0;
    QString prefix;

    bool matches(int lineNumber, const QString& text) const;
    static bool parse(const QString& text, LineSelector& out, QString* error);
};

struct Faults {
    // Transport faults.
    int silentFromLine = 0;    // from this received line on nothing is answered (0 = off)
    QString silentPrefix;      // from the first line starting with this on, nothing is answered
    AttemptSet garbageQueries; // these queries (counted over all queries) get garbage
    QString garbagePrefix;     // queries starting with this get garbage
    QString garbageText = QStringLiteral("#@~?!");
    int splitPieces = 1;       // every answer goes out in this many pieces ...
    int splitPauseMs = 300;    // ... this far apart
    bool echoOnly = false;     // the port returns what it gets and answers nothing
    AttemptSet unendedQueries; // these queries' answers go out without CR LF ...
    QString unendedPrefix;     // ... and so do those of queries starting with this
    AttemptSet floodQueries;   // these queries are answered with floodBytes bytes and no line end ...
    QString floodPrefix;       // ... and so are queries starting with this
    int floodBytes = 1048576;
    LineSelector vanishAt;     // the device disappears on this line, before answering it ...
    bool vanishMidAnswer = false; // ... or after the first half of the line's answer
    LineSelector restartAt;    // the tester restarts as after power-on just before this line

    // Measured values out of limits, by attempt of their query.
    AttemptSet txPower;
    double txPowerOffsetDb = 6.0;
    AttemptSet phase;
    double phasePeakDeg = 35.0;
    double phaseRmsDeg = 12.0;
    AttemptSet frequency;
    double frequencyErrorHz = 350.0;
    AttemptSet burst;
    double burstLengthUs = 561.0;
    AttemptSet powerTemplate;
    AttemptSet rxLevel;
    int rxLevelOffset = -10;
    AttemptSet rxQuality;
    int rxQualityValue = 5;
};

struct Scenario {
    // Tester identity, answered to "*IDN?" as maker,model,serial field,firmware
    // unless `identity` replaces the whole answer.
    QString maker = QStringLiteral("Dalvora");
    QString model = QStringLiteral("7703S");
    QString serialField = QStringLiteral("1001234567");
    QString firmware = QStringLiteral("V3.20");
    QString identity;

    // Tester timing.
    int latencyMinMs = 20;
    int latencyMaxMs = 60;
    int measureMs = 250; // extra time a measurement query takes
    int resetMs = 800;   // "*RST" keeps the tester busy this long

    quint32 seed = 1;

    // The phone. Delays are seconds; a negative delay means "never".
    QString imei = QStringLiteral("351234560123457");
    QString imsi = QStringLiteral("001010123456789");
    int revisionLevel = 2;
    unsigned bands = bandBit(Band::GSM);
    double registrationDelayS = 8.0;
    QString digits = QStringLiteral("0123"); // as typed on the keypad
    double dialDelayS = 6.0;
    double answerDelayS = 4.0;

    // Channels on which real networks are heard: channel -> RX level
    // (0..63, or 255 for strong interference).
    QMap<int, int> usedChannels;
    // Networks that switch on during a session: silent at the first report of
    // their channel, heard at this level (0..63 or 255) from the second on.
    QMap<int, int> lateChannels;
    // How far a network's reported level wanders from the table (0: exact),
    // and the highest level that a channel without a network reads.
    int networkSpread = 1;
    int noiseFloor = 3;

    Faults faults;

    QString identityAnswer() const;
    bool supports(Band b) const { return (bands & bandBit(b)) != 0; }

    static Scenario fromText(const QString& text, QString* error = nullptr);
    static bool loadFile(const QString& path, Scenario& out, QString* error);
    // One "key = value" setting, as in a scenario file or "--set key=value".
    bool set(const QString& key, const QString& value, QString* error = nullptr);
    // Every key that set() accepts, sorted.
    static QStringList keys();
};

inline constexpr double kNever = -1.0;

}  // namespace sim
