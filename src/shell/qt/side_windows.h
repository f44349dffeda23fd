// The trace window (DebugFrm), the help window (Form2) and the two result pages
// (Form3, Form4). The scan results window is in scan_window.h.
#pragma once

#include "platform/forms.h"
#include "shell/qt/sync.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace celvio {

struct App;

class DebugWindowView : public QWidget {
public:
    explicit DebugWindowView(App& app);
    void Sync();
    // The main window: the trace window opens beside it, not over it.
    void SetAnchor(QWidget* mainWindow) { anchor_ = mainWindow; }

private:
    void AppendRows();
    void PlaceBesideAnchor();

    App& app_;
    QWidget* anchor_ = nullptr;
    bool placed_ = false;
    QListWidget* list_ = nullptr;
    quint64 generation_ = 0;
    qsizetype shown_ = 0;
    // New rows are added in batches, at most kTraceRefresh apart: a command and its
    // answer do not each cost a repaint of the list.
    QElapsedTimer sinceAppend_;
    QTimer refresh_;
};

class HelpWindowView : public QWidget {
public:
    explicit HelpWindowView(App& app);
    void Sync();
    // The help window opens beside this window (the main window), clear of `avoid`
    // (the trace window) where there is room, so that the step it explains stays in
    // sight.
    void SetAnchor(QWidget* mainWindow, QWidget* avoid = nullptr)
    {
        anchor_ = mainWindow;
        avoid_ = avoid;
    }

protected:
    void changeEvent(QEvent* event) override;

private:
    App& app_;
    QLabel* title_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    void PlaceBesideAnchor();

    QWidget* anchor_ = nullptr;
    QWidget* avoid_ = nullptr;
    QStringList shown_;
};

class ResultPageView : public QWidget {
public:
    ResultPageView(App& app, ResultPage& page, bool secondPage);
    void Sync();
    // The window at whose position the page opens (unless MAXIMIZE is set).
    void SetAnchor(QWidget* anchor) { anchor_ = anchor; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* AddTitle();
    QGridLayout* AddHeader();
    QGridLayout* AddGrid();
    QHBoxLayout* AddButtons(bool secondPage);

    App& app_;
    ResultPage& page_;
    std::vector<std::pair<QLabel*, const Label*>> labels_;
    std::vector<std::pair<QLabel*, const Cell*>> cells_;
    // The colour each label and cell was last styled for, so that style sheets are
    // parsed only when a colour changes.
    std::vector<Colour> labelStyled_;
    std::vector<Colour> cellStyled_;
    GivenColours givenColours_;  // of the labels' palettes
    std::array<QPushButton*, 4> buttons_{};
    quint64 focusSerial_ = 0;
    QWidget* anchor_ = nullptr;
    QLabel* limitHead_ = nullptr;
};

}  // namespace celvio
