// A record of what the operator is shown, for watching the program from outside (an
// end-to-end test, a support session): every message box and every new text of the
// main window's title and status labels, one line each, appended to the file that
// CELVIO_SHOWN_LOG names. Without that variable nothing is recorded.
#pragma once

#include <QFile>
#include <QString>

namespace celvio {

struct App;

class ShownLog {
public:
    ShownLog();
    // "box TITLE: LINE / LINE ..." for a message box as it opens.
    void Box(const QString& title, const QString& text);
    // "title ..." / "status ..." / "info ..." when the main window's labels change.
    void Labels(const App& app);
    // "printed ..." for the status bar's notice of where a document went.
    void Printed(const QString& text) { Write(QStringLiteral("printed"), text); }

private:
    void Write(const QString& kind, const QString& text);

    QFile file_;
    QString title_;
    QString status_;
    QString info_;
};

}  // namespace celvio
