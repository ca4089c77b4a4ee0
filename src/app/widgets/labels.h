#pragma once
// The labels, links and read-only memos of the window's own pages (the header, the
// calendar's day panel, the journal), made in one way.

#include <QColor>
#include <QString>

class QFont;
class QLabel;
class QPlainTextEdit;
class QWidget;
class LinkLabel;

inline const QColor kLinkBlue(0, 128, 255);

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour = Qt::black);
// Bold Arial at `pixels`, in the link colour.
LinkLabel* MakeLink(QWidget* parent, const QString& name, const QString& text,
                    const QColor& colour = kLinkBlue, int pixels = 12);
// A frameless memo that wraps its text; read-only unless told.
QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QFont& font,
                         bool readOnly = true);
