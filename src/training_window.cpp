#include "training_window.h"

#include "core/app.h"
#include "core/translation.h"
#include "training/training_choices.h"
#include "training/training_session.h"

#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace celvio {

namespace {

constexpr char kBannerName[] = "celvioTrainingBanner";

// Puts the banner on a window as it is first shown, and keeps its text in the
// program's language.
class BannerFilter : public QObject {
public:
    BannerFilter(App& app, TrainingSession& session) : QObject(qApp), app_(app), session_(session) {}

    QString Text() const
    {
        const TrainingChoice& choice = TrainingChoiceAt(session_.Chosen());
        return TrainingBanner(app_) + QStringLiteral("   |   ") + QString::fromLatin1(choice.Name) +
               QStringLiteral(": ") + QString::fromLatin1(choice.Description);
    }

    // Every banner and the main window's title, after a change of phone or language.
    void Refresh()
    {
        app_.Form1.Caption = QStringLiteral("CELVIO - ") + TrainingBanner(app_);
        for (QWidget* window : QApplication::topLevelWidgets())
            for (QLabel* label : window->findChildren<QLabel*>(QString::fromLatin1(kBannerName)))
                label->setText(Text());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow())
            Mark(*widget);
        return false;
    }

private:
    QLabel* Banner(QWidget* parent) const
    {
        auto* label = new QLabel(Text(), parent);
        label->setObjectName(QString::fromLatin1(kBannerName));
        label->setStyleSheet(QStringLiteral("QLabel { background: #c00000; color: white; font-weight: bold; "
                                            "padding: 4px; }"));
        return label;
    }

    void Mark(QWidget& window)
    {
        if (window.property(kBannerName).toBool())
            return;
        window.setProperty(kBannerName, true);
        Refresh();
        if (auto* main = qobject_cast<QMainWindow*>(&window)) {
            auto* bar = new QToolBar(main);
            bar->setMovable(false);
            bar->setFloatable(false);
            bar->addWidget(Banner(bar));
            main->addToolBar(Qt::TopToolBarArea, bar);
        } else if (qobject_cast<QDialog*>(&window)) {
            // Message boxes and dialogs: the banner in their title.
            if (!window.windowTitle().contains(TrainingBanner(app_)))
                window.setWindowTitle(window.windowTitle() + QStringLiteral(" - ") + TrainingBanner(app_));
        } else if (auto* box = qobject_cast<QBoxLayout*>(window.layout())) {
            box->insertWidget(0, Banner(&window));
        }
    }

    App& app_;
    TrainingSession& session_;
};

}  // namespace

QString TrainingBanner(const App& app)
{
    return Tr(app, QT_TRANSLATE_NOOP("Celvio", "TRAINING - simulated tester"));
}

void InstallTrainingWindows(App& app, TrainingSession& session, QMainWindow& mainWindow)
{
    auto* filter = new BannerFilter(app, session);
    qApp->installEventFilter(filter);
    filter->Refresh();
    // The language is known once the settings are read: the texts follow at each cycle.
    auto previous = app.CycleEnded;
    app.CycleEnded = [previous, filter](App& a) {
        if (previous)
            previous(a);
        filter->Refresh();
    };
    QMenu* menu = mainWindow.menuBar()->addMenu(QStringLiteral("&Training"));
    menu->setToolTipsVisible(true);
    auto* group = new QActionGroup(menu);
    for (int i = 0; i < kTrainingChoiceCount; ++i) {
        const TrainingChoice& choice = TrainingChoiceAt(i);
        QAction* action = menu->addAction(QString::fromLatin1(choice.Name) + QStringLiteral(" - ") +
                                          QString::fromLatin1(choice.Description));
        action->setCheckable(true);
        action->setChecked(i == session.Chosen());
        action->setToolTip(QString::fromLatin1(choice.Description));
        action->setStatusTip(QString::fromLatin1(choice.Description));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, filter, [&session, filter, i] {
            session.Choose(i);
            filter->Refresh();
        });
    }
}

}  // namespace celvio
