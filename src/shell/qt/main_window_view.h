// The main window "CELVIO" (Form1): title, dialog texts, picture, answer buttons,
// progress bar, entry fields and the menus.
#pragma once

#include "shell/qt/sync.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace celvio {

struct App;
class HistoryWindowView;

class MainWindowView : public QMainWindow {
public:
    explicit MainWindowView(App& app);
    ~MainWindowView() override;

    // Copies the model onto the widgets.
    void Sync();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildBanner(QWidget* central);
    QWidget* BuildTextCard(QWidget* central);
    QHBoxLayout* BuildButtonRow(QWidget* central);
    void BuildMenus();
    void BuildShortcuts();
    // Sync's parts (main_window_sync.cpp).
    void SyncPicture();
    void SyncTexts();
    void SyncProgress();
    void SyncMenus();
    void SyncWindowState();
    void SyncFocus();
    void Queue(int action);
    // Opens the History window (or brings it up to date and to the front).
    void ShowHistory();
    void PlaceHistoryWindow();

    App& app_;
    QLabel* label1_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    GivenColours givenColours_;  // of the four labels above
    QLabel* picture_ = nullptr;
    QString pictureFile_;
    QProgressBar* progress_ = nullptr;
    int progressColour_ = -1;
    std::array<QPushButton*, 6> buttons_{};
    std::array<QLabel*, 7> textLabels_{};
    std::array<QLineEdit*, 7> texts_{};
    QAction* exit_ = nullptr;
    QAction* about_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* help_ = nullptr;
    QAction* history_ = nullptr;
    std::unique_ptr<HistoryWindowView> historyWindow_;
    std::array<QAction*, 4> couplers_{};
    QMenu* couplerMenu_ = nullptr;
    quint64 focusSerial_ = 0;
    bool hourglass_ = false;
    bool maximizedApplied_ = false;
};

}  // namespace celvio
