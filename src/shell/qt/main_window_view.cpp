#include "shell/qt/main_window_view.h"

#include "core/app.h"
#include "shell/qt/history_window.h"
#include "shell/qt/sync.h"
#include "shell/qt/window_placement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace celvio {

namespace {

QFont Font(int pointSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"), pointSize);
    f.setBold(bold);
    return f;
}

// The visible, enabled answer button whose accelerator is the letter typed.
QPushButton* ButtonForAccelerator(const std::array<QPushButton*, 6>& buttons, const QString& typed)
{
    if (typed.size() != 1 || !typed[0].isLetterOrNumber())
        return nullptr;
    for (int n = 1; n <= 5; ++n) {
        QPushButton* b = buttons[n];
        if (!b->isVisible() || !b->isEnabled())
            continue;
        const QString text = b->text();
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != u'&')
                continue;
            if (text[i + 1] == u'&') {  // "&&" is a plain ampersand
                ++i;
                continue;
            }
            if (text[i + 1].toLower() == typed[0].toLower())
                return b;
            break;
        }
    }
    return nullptr;
}

}  // namespace

MainWindowView::MainWindowView(App& app) : app_(app)
{
    setWindowTitle(app.Form1.Caption);
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("form1"));
    central->setStyleSheet(QStringLiteral(
        "#form1 { background: #eef1f4; }"
        "#banner { background: #1f4e79; }"
        "#banner QLabel { color: white; }"
        "#textCard { background: white; border: 1px solid #c8d0d8; border-radius: 6px; }"));
    setCentralWidget(central);

    QWidget* banner = BuildBanner(central);
    picture_ = new QLabel(central);
    picture_->setFixedSize(320, 240);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setStyleSheet(QStringLiteral("background: white; border: 1px solid #b0b8c0;"));
    QWidget* card = BuildTextCard(central);
    auto* middle = new QHBoxLayout;
    middle->addWidget(picture_, 0, Qt::AlignTop);
    middle->addSpacing(16);
    middle->addWidget(card, 1);

    progress_ = new QProgressBar(central);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(22);
    QHBoxLayout* row = BuildButtonRow(central);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(18, 14, 18, 14);
    body->addLayout(middle, 1);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(banner);
    outer->addLayout(body, 1);
    body->addSpacing(10);
    body->addWidget(progress_);
    body->addSpacing(8);
    body->addLayout(row);

    BuildMenus();
    BuildShortcuts();
    resize(900, 520);
    Sync();
}

// A banner with the program's name, the title text and the model under test.
QWidget* MainWindowView::BuildBanner(QWidget* central)
{
    auto* banner = new QWidget(central);
    banner->setObjectName(QStringLiteral("banner"));
    auto* brand = new QLabel(QStringLiteral("CELVIO"), banner);
    brand->setFont(Font(22, true));
    label1_ = new QLabel(banner);
    label1_->setFont(Font(11));
    label5_ = new QLabel(banner);
    label5_->setFont(Font(13, true));
    label5_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* top = new QHBoxLayout(banner);
    top->setContentsMargins(18, 8, 18, 8);
    top->addWidget(brand);
    top->addSpacing(14);
    top->addWidget(label1_, 1);
    top->addWidget(label5_);
    return banner;
}

// The card beside the picture: the step's title, its message, and the six text fields
// with their labels.
QWidget* MainWindowView::BuildTextCard(QWidget* central)
{
    label4_ = new QLabel(central);
    label4_->setFont(Font(18, true));
    label4_->setWordWrap(true);
    label3_ = new QLabel(central);
    label3_->setFont(Font(14));
    label3_->setWordWrap(true);
    label3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label3_->setMinimumWidth(420);
    // The message label takes the room the card leaves it: a new text (a scan step,
    // a countdown) then repaints the label without laying out the whole window.
    label3_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    auto* fields = new QFormLayout;
    for (int i = 1; i <= 6; ++i) {
        textLabels_[i] = new QLabel(central);
        textLabels_[i]->setFont(Font(12));
        texts_[i] = new QLineEdit(central);
        texts_[i]->setFont(Font(13));
        texts_[i]->setVisible(false);
        textLabels_[i]->setVisible(false);
        fields->addRow(textLabels_[i], texts_[i]);
        QObject::connect(texts_[i], &QLineEdit::textEdited, this,
                         [this, i](const QString& text) { app_.Form1.Text(i).Text = text; });
    }

    auto* card = new QWidget(central);
    card->setObjectName(QStringLiteral("textCard"));
    auto* texts = new QVBoxLayout(card);
    texts->setContentsMargins(18, 12, 18, 12);
    texts->addWidget(label4_);
    texts->addWidget(label3_, 1);
    texts->addLayout(fields);
    return card;
}

// The answer buttons. Their visual order: the dialogs put their first answer on
// Command2, then Command1, Command3, Command4, Command5.
QHBoxLayout* MainWindowView::BuildButtonRow(QWidget* central)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addStretch();
    for (int n : {2, 1, 3, 4, 5}) {
        auto* b = new QPushButton(central);
        b->setFont(Font(14));
        b->setMinimumSize(150, 48);
        b->setVisible(false);
        b->setProperty("celvioButton", n);
        b->installEventFilter(this);
        buttons_[n] = b;
        row->addWidget(b);
        QObject::connect(b, &QPushButton::clicked, this, [this, n] {
            Flag* flags[] = {nullptr, &app_.st.Command1Pressed, &app_.st.Command2Pressed, &app_.st.Command3Pressed,
                             &app_.st.Command4Pressed, &app_.st.Command5Pressed};
            *flags[n] = kTrue;
        });
    }
    row->addStretch();
    for (int i = 0; i < 4; ++i)
        QWidget::setTabOrder(buttons_[std::array{2, 1, 3, 4, 5}[i]], buttons_[std::array{2, 1, 3, 4, 5}[i + 1]]);
    return row;
}

void MainWindowView::BuildShortcuts()
{
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    QObject::connect(esc, &QShortcut::activated, this, [this] { Queue(int(UiAction::Quit)); });
    auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    QObject::connect(ctrlS, &QShortcut::activated, this, [this] {
        if (app_.Form1.MStop.Enabled)
            Queue(int(UiAction::Stop));
    });
    // Ctrl+Q, and F1 as the desktop's help key, open the help.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::Key_F1)})
        QObject::connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { Queue(int(UiAction::Help)); });
}

void MainWindowView::BuildMenus()
{
    QMenuBar* bar = menuBar();
    const Form1& f = app_.Form1;
    exit_ = bar->addAction(f.Mnu_Exit.Caption);
    QObject::connect(exit_, &QAction::triggered, this, [this] { Queue(int(UiAction::Quit)); });
    couplerMenu_ = bar->addMenu(f.Mnu_Coupler.Caption);
    const MenuItem* entries[] = {&f.Mnu_CoupOld, &f.Mnu_CoupNew, &f.Mnu_CoupSBox, &f.Mnu_CoupSBoxK590};
    const UiAction actions[] = {UiAction::CoupOld, UiAction::CoupNew, UiAction::CoupSBox, UiAction::CoupSBoxK590};
    for (int i = 0; i < 4; ++i) {
        couplers_[i] = couplerMenu_->addAction(entries[i]->Caption);
        couplers_[i]->setCheckable(true);
        const UiAction action = actions[i];
        QObject::connect(couplers_[i], &QAction::triggered, this, [this, action] { Queue(int(action)); });
    }
    about_ = bar->addAction(f.Mnu_About.Caption);
    QObject::connect(about_, &QAction::triggered, this, [this] { Queue(int(UiAction::About)); });
    stop_ = bar->addAction(f.MStop.Caption);
    QObject::connect(stop_, &QAction::triggered, this, [this] { Queue(int(UiAction::Stop)); });
    help_ = bar->addAction(f.Mnu_Help.Caption);
    QObject::connect(help_, &QAction::triggered, this, [this] { Queue(int(UiAction::Help)); });
    // The History window is a view of the files alone: it opens at once, whatever the
    // cycle waits for, and never goes through the cycle's queue of actions.
    history_ = bar->addAction(QStringLiteral("&History"));
    QObject::connect(history_, &QAction::triggered, this, [this] { ShowHistory(); });
}

void MainWindowView::ShowHistory()
{
    if (!historyWindow_) {
        historyWindow_ = std::make_unique<HistoryWindowView>(app_.StationDir, nullptr, QDate::currentDate(), 5000,
                                                             QString(), RegionalDateOrder(app_.ui.Locale()));
        PlaceHistoryWindow();
    } else {
        historyWindow_->Refresh();
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    historyWindow_->SearchBox()->setFocus();
}

void MainWindowView::PlaceHistoryWindow()
{
    // Beside the main window, as the trace window: the cycle stays in sight. Narrower
    // than it would like where the screen is small, never narrower than its contents
    // allow.
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    HistoryWindowView* history = historyWindow_.get();
    // Its frame, where the system draws one, counts against the room: the window is
    // made first, so that the frame's size is known.
    history->winId();
    const QSize frame = history->frameGeometry().size() - history->size();
    const QRect main = frameGeometry();
    const QSize minimum = (history->minimumSizeHint() + frame).expandedTo(QSize(360, 300));
    const WindowPair placed = PlaceSideWindow(main, screen->availableGeometry(), QSize(1100, 1000), minimum);
    if (placed.main.topLeft() != main.topLeft())
        move(placed.main.topLeft());
    history->move(placed.side.topLeft());
    history->resize(placed.side.size() - frame);
}

MainWindowView::~MainWindowView() = default;

void MainWindowView::Queue(int action)
{
    app_.PendingActions.push_back(UiAction(action));
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Queue(int(UiAction::Quit));
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QPushButton*>(watched);
    const int n = button ? button->property("celvioButton").toInt() : 0;
    if (n >= 1 && n <= 5) {
        if (event->type() == QEvent::KeyPress) {
            const auto* keyEvent = static_cast<QKeyEvent*>(event);
            const int key = keyEvent->key();
            // The arrow keys do not move the focus between the answer buttons.
            if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)
                return true;
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->click();
                return true;
            }
            // With the focus on an answer button the accelerator letter alone presses
            // its button, as with Alt.
            if (!(keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
                if (QPushButton* target = ButtonForAccelerator(buttons_, keyEvent->text())) {
                    target->click();
                    return true;
                }
            }
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            // The button that Enter would press stands out: bold 16 against normal 14.
            const bool focused = event->type() == QEvent::FocusIn;
            CommandButton& model = app_.Form1.Command(n);
            model.FontBold = focused;
            model.FontSize = focused ? 16 : 14;
            button->setFont(Font(model.FontSize, model.FontBold));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace celvio
