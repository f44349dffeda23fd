// Support for the tests over real pseudo-terminals: the built programs as child
// processes, waits on files they write, and a minimal remote-screen client that types
// keys into CELVIO the way an operator at the counter would.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <functional>

namespace celvio::testing {

// Makes the child end with the test process, even when that is killed.
void DieWithParent(QProcess& child);

// Kills the child on every way out of a test.
struct ChildGuard {
    QProcess& child;
    ~ChildGuard();
};

// Polls `condition` every 20 ms for up to `timeoutMs`; true as soon as it holds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs);

// The whole text of a file, empty when it cannot be read.
QString FileText(const QString& path);

// Writes a file of the test's station; a failure fails the test.
void WriteFile(const QString& path, const QByteArray& bytes);

// Whether Qt's "vnc" platform plugin, the operator's remote screen, is installed.
bool HaveRemoteScreen();

// The environment of CELVIO on a remote screen at `screenPort`: COM `testerCom` is
// the tester's `link`, the other COM ports name devices in `scratchDir` that do not
// exist, and the leak check under the sanitizers passes over the screen plugin's
// buffers, which it keeps to the end.
QProcessEnvironment RemoteScreenEnvironment(const QString& scratchDir, int testerCom, const QString& link,
                                            int screenPort);

// A TCP port that nothing listens on right now.
int FreeTcpPort();

// Starts celvio-testersim serving at `link`, logging to `log`; waits for the link.
bool StartTesterSim(QProcess& child, const QString& link, const QString& log, const QStringList& more = {});

// Starts `program` with `args` in `env`, its output on the test's, ending with the test
// process; false when it did not start within 5 s.
bool StartProgram(QProcess& child, const QString& program, const QStringList& args, const QProcessEnvironment& env);

// A client of the remote screen that Qt's "vnc" platform serves: connects, and sends
// key presses (X keysyms) to the window that has the focus.
class RemoteKeyboard {
public:
    ~RemoteKeyboard();
    // Connects to 127.0.0.1:port, retrying up to `timeoutMs`.
    bool Connect(int port, int timeoutMs);
    // Presses and releases one key.
    bool Press(quint32 keysym);

private:
    int fd_ = -1;
};

inline constexpr quint32 kKeyEscape = 0xff1b;
inline constexpr quint32 kKeyReturn = 0xff0d;

// One thing the operator waits for on the screen, and the key pressed then. `retry`:
// the key is pressed again until the next step shows (only keys that mean nothing on
// the screen that follows). `cpu`: the first and the second marked step bound the
// window over which CELVIO's CPU time is measured.
struct Step {
    const char* shown;
    quint32 key = 0;
    bool retry = false;
    bool cpu = false;
};

}  // namespace celvio::testing
