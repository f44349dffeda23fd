// The scan results window (ScanFrm): the scan's status line, the list of channels and
// their levels, PRINT and OK.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace celvio {

struct App;

class ScanWindowView : public QWidget {
public:
    explicit ScanWindowView(App& app);
    void Sync();
    // The main window, beside which the window opens, and the trace window, which it
    // keeps clear of when there is room. Without a main window it opens at the
    // model's position.
    void SetAnchor(QWidget* mainWindow, QWidget* traceWindow = nullptr)
    {
        anchor_ = mainWindow;
        neighbour_ = traceWindow;
    }

private:
    void Place();

    App& app_;
    QWidget* anchor_ = nullptr;
    QWidget* neighbour_ = nullptr;
    bool placed_ = false;
    QLabel* label_ = nullptr;
    QListWidget* list_ = nullptr;
    QStringList shown_;
};

}  // namespace celvio
