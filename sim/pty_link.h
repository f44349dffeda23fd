// A pseudo-terminal for the simulator, reachable under a fixed path: the
// path is a symbolic link to the terminal's slave device.
#pragma once

#include <QString>

namespace sim {

class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Opens the terminal in raw mode and points linkPath at it. An existing
    // symbolic link is replaced; any other file there is left alone (error).
    bool open(const QString& linkPath, QString* error);
    // Removes the link if it still points at this terminal.
    void removeLink();

    int masterFd() const { return master_; }
    // Bytes written to the terminal that its client has not read yet.
    int unreadByClient() const;
    QString slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1; // held open for the whole life, see open()
    QString slavePath_;
    QString linkPath_;
};

}  // namespace sim
