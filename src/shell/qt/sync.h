// Helpers that copy a window model onto its widgets, touching a widget only when the
// model differs from what it shows.
#pragma once

#include "platform/forms.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace celvio {

inline QColor ToQColor(Colour c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// CR LF and lone CRs of a caption shown as line breaks.
inline QString DisplayText(const QString& caption)
{
    if (!caption.contains(QLatin1Char('\r')))
        return caption;  // shared, no copy
    QString text = caption;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

inline void SetVisible(QWidget* w, bool visible)
{
    if (w->isVisibleTo(w->parentWidget()) != visible)
        w->setVisible(visible);
}

// The colour each label of a view was last given, kept by the view. The palette cannot
// tell: under a style sheet it reads back the sheet's colour, and setting it again
// costs a relayout.
using GivenColours = QHash<const QLabel*, Colour>;

inline void SyncLabel(QLabel* w, const Label& m, GivenColours& given)
{
    const QString text = DisplayText(m.Caption);
    if (w->text() != text)
        w->setText(text);
    const auto it = given.constFind(w);
    if (it == given.constEnd() || *it != m.ForeColor) {
        given.insert(w, m.ForeColor);
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, ToQColor(m.ForeColor));
        w->setPalette(p);
    }
    SetVisible(w, m.Visible);
}

// Shows or hides a top-level window as its model says.
inline void SyncWindow(QWidget* w, bool visible)
{
    if (visible && !w->isVisible())
        w->show();
    else if (!visible && w->isVisible())
        w->hide();
}

// Refills a list when its model's lines changed; `shown` keeps what it shows.
inline void SyncList(QListWidget* list, QStringList& shown, const QStringList& model)
{
    if (shown == model)
        return;
    shown = model;
    list->clear();
    list->addItems(model);
}

// The fixed-pitch font of the trace and scan lists.
inline QFont Mono(int size)
{
    QFont f(QStringLiteral("DejaVu Sans Mono"), size);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

inline void SyncButton(QPushButton* w, const CommandButton& m)
{
    if (w->text() != m.Caption)
        w->setText(m.Caption);
    if (w->isEnabled() != m.Enabled)
        w->setEnabled(m.Enabled);
    const Qt::FocusPolicy policy = m.TabStop ? Qt::StrongFocus : Qt::ClickFocus;
    if (w->focusPolicy() != policy)
        w->setFocusPolicy(policy);
    SetVisible(w, m.Visible);
}

}  // namespace celvio
