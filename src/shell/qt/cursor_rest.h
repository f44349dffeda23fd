// A text cursor that blinks only while it is used. Qt blinks the cursor of the focused
// text box of the active window twice a second for as long as the window stays open;
// each blink wakes the program and repaints the box. CursorRest lets it stand still a
// few seconds after the last key or click in the box, and while the window is not
// active; a key, a click or the window's return brings the blinking back.
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace celvio {

class CursorRest : public QObject {
public:
    // Watches `editor` (a text box of `window`); the cursor rests `restMs` after the
    // last use. Both must outlive this object (a member of the window's class); its
    // end gives the blinking back.
    CursorRest(QWidget* window, QWidget* editor, int restMs);
    ~CursorRest() override;
    CursorRest(const CursorRest&) = delete;
    CursorRest& operator=(const CursorRest&) = delete;

    bool IsResting() const { return resting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Wake();
    void Rest();
    void Release();

    QWidget* window_;
    QWidget* editor_;
    QTimer timer_;
    // The application's blinking time, given back when the cursor wakes. Qt has one for
    // the whole program, but only the active window's focused box blinks, and this one
    // rests only while its window is the active one.
    int savedFlashMs_ = 0;
    bool resting_ = false;
};

}  // namespace celvio
