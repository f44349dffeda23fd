// The trace window (DebugFrm), the scan results window (ScanFrm), the help window
// (Form2) and the two result pages (Form3, Form4).
#pragma once

#include "ui/forms.h"

#include <QWidget>
#include <array>
#include <vector>

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
    void PlaceBesideAnchor();

    App& app_;
    QWidget* anchor_ = nullptr;
    bool placed_ = false;
    QListWidget* list_ = nullptr;
    quint64 generation_ = 0;
    qsizetype shown_ = 0;
};

class ScanWindowView : public QWidget {
public:
    explicit ScanWindowView(App& app);
    void Sync();

private:
    App& app_;
    QLabel* label_ = nullptr;
    QListWidget* list_ = nullptr;
    QStringList shown_;
};

class HelpWindowView : public QWidget {
public:
    explicit HelpWindowView(App& app);
    void Sync();

protected:
    void changeEvent(QEvent* event) override;

private:
    App& app_;
    QLabel* title_ = nullptr;
    QListWidget* list_ = nullptr;
    QStringList shown_;
};

class ResultPageView : public QWidget {
public:
    ResultPageView(App& app, ResultPage& page, bool secondPage);
    void Sync();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    App& app_;
    ResultPage& page_;
    std::vector<std::pair<QLabel*, const Label*>> labels_;
    std::vector<std::pair<QLabel*, const Cell*>> cells_;
    std::array<QPushButton*, 4> buttons_{};
    quint64 focusSerial_ = 0;
};

}  // namespace celvio
