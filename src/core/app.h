// The program's context: the station state, the windows' models, the model record and
// the platform. Every procedure takes it as its first argument.
#pragma once

#include "core/codes.h"
#include "core/files.h"
#include "core/model_record.h"
#include "core/station.h"
#include "core/translation.h"
#include "platform/forms.h"
#include "platform/platform.h"

#include <QString>
#include <deque>
#include <functional>
#include <memory>

class QProcess;

namespace celvio {

// Actions that the windows ask for (menus, keys, window buttons). They are queued by
// the view and run from the program's own waits, never inside a view's event handler,
// so that a quit or a stop can send tester commands and wait like any other step.
enum class UiAction {
    Quit,            // Esc, the EXIT menu, closing the main window
    Stop,            // the STOP menu, Ctrl+S
    Help,            // the HELP menu, Ctrl+Q
    About,
    CoupOld,         // coupler menu entries
    CoupNew,
    CoupSBox,
    CoupSBoxK590,
    DebugPrint,      // trace window buttons
    DebugSave,
    DebugClear,
    ScanPrint,       // scan results window buttons
    ScanOk,
    Form3Command1,   // result page buttons
    Form3Command2,
    Form4Command1,
    Form4Command2,
    Form4Command3,
    ResultPageClose, // closing a result page by its frame
};

struct App;

// What the layers below the program's flow trigger but cannot name: the window
// actions that the waits run, and the "&Archive" and "&Userdata" buttons of the port
// set-up screens. The flow installs them (InstallProgramFlow; a cycle gives the window
// actions its record while it runs); without them the actions are dropped and the two
// buttons do nothing.
struct FlowHooks {
    std::function<void(App& app, UiAction action)> WindowAction;
    void (*Archive)(App& app) = nullptr;
    void (*Userdata)(App& app) = nullptr;
};

// The push to the chain's head office that the program starts after the history index
// is updated (cycle/history_hooks): a child process, so that the operator never waits.
struct BackgroundPush {
    QString Program;                    // celvio-history; empty: beside the program, else on the PATH
    std::shared_ptr<QProcess> Running;  // the push still running, if any
    qint64 StartedMs = 0;               // when it was started (ms since the epoch)
};

struct App {
    explicit App(Platform& platform, QString stationDirectory)
        : ui(platform), StationDir(std::move(stationDirectory)) {}

    Platform& ui;
    QString StationDir;  // the program's directory: settings, data files, results, pictures

    StationState st;
    // The windows keep their designer names; the types are qualified so that the
    // member names can be the same.
    celvio::Form1 Form1;
    ResultPage Form3;
    ResultPage Form4;
    celvio::DebugFrm DebugFrm;
    celvio::ScanFrm ScanFrm;
    celvio::Form2 Form2;
    ModelRecord Model;
    QString TacFileName;
    QString ModelDbFileName;

    std::deque<UiAction> PendingActions;
    bool RunningActions = false;
    FlowHooks Hooks;
    BackgroundPush HeadOffice;
    // The tests' disk fault and file step hook, passed to every write of the program;
    // as they are, they change nothing.
    celvio::FileSeams FileSeams;
    // The translation the LANGUAGE setting chose (none: English), and the folders it is
    // chosen from: the program's own, built in; tests add one with their own files.
    Translation TextTranslation;
    QStringList TranslationFolders{QStringLiteral(":/translations")};

    // Training on the simulated tester: the line that every result file begins with
    // (empty outside training), and what the training session does when a cycle's mode
    // is chosen and when the cycle has ended.
    QString TrainingMark;
    std::function<void(App&, CycleMode mode)> CycleBegins;
    std::function<void(App&)> CycleEnded;
};

}  // namespace celvio
