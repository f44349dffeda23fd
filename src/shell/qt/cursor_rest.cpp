#include "shell/qt/cursor_rest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>

namespace celvio {

CursorRest::CursorRest(QWidget* window, QWidget* editor, int restMs)
    : window_(window), editor_(editor)
{
    timer_.setSingleShot(true);
    timer_.setInterval(restMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Rest(); });
    window_->installEventFilter(this);
    editor_->installEventFilter(this);
}

CursorRest::~CursorRest()
{
    Release();
}

bool CursorRest::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ActivationChange:
        if (watched == window_) {
            if (window_->isActiveWindow()) {
                Wake();
            } else {
                // Another window's text box may blink as the program's setting says.
                timer_.stop();
                Release();
            }
        }
        break;
    case QEvent::Hide:
        if (watched == window_) {
            timer_.stop();
            Release();
        }
        break;
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        if (watched == editor_ && window_->isActiveWindow())
            Wake();
        break;
    default:
        break;
    }
    return false;
}

void CursorRest::Wake()
{
    Release();
    timer_.start();
}

void CursorRest::Rest()
{
    if (resting_ || !window_->isActiveWindow())
        return;
    savedFlashMs_ = QGuiApplication::styleHints()->cursorFlashTime();
    if (savedFlashMs_ <= 0)
        return;  // the system's cursor does not blink anyway
    resting_ = true;
    // A flash time of 0 is a cursor that stands: Qt stops the blink timer of the box.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CursorRest::Release()
{
    if (!resting_)
        return;
    resting_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(savedFlashMs_);
}

}  // namespace celvio
