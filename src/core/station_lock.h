// One CELVIO program at a time on a station: the lock file "CELVIO.LCK" in the station
// directory, held for the program's whole run. A lock left by a program that ended
// without removing it (killed, or its computer switched off) is taken over; one held by
// a program that still runs keeps the second program out. celvio-history takes no lock:
// it reads beside a running program.
#pragma once

#include <QLockFile>
#include <QString>

namespace celvio {

// The exit code of a program that found its station in use.
inline constexpr int kStationInUseExitCode = 3;

class StationLock {
public:
    explicit StationLock(const QString& stationDir);

    // Takes the lock for as long as this object lives. False when another program holds
    // it (or a symbolic link has its name); `message` then says which program, on which
    // host, for the operator. A station where no lock file can be made at all (a
    // read-only disk) is used without one: `note` says so, and nobody can write there.
    bool Take(QString& message, QString& note);

    QString Path() const { return path_; }

private:
    QString stationDir_;
    QString path_;
    QLockFile lock_;
};

}  // namespace celvio
