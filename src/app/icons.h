#pragma once
// Small icon helpers shared by the grids that draw check-box pictures (basal, to-do)
// and by anything that shows a file next to its type icon.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// A new size x size picture filled with colour, with the icon drawn at its top-left
// corner at its own size (clipped to the square). Transparent parts of the icon show
// the colour. The QImage form needs no GUI application; the QIcon form does.
QImage IconToBitmap(int size, const QImage& icon, const QColor& colour);
QPixmap IconToBitmap(int size, const QIcon& icon, const QColor& colour);

// The desktop's small (16 x 16) icon for the type of the file or folder at path: the
// icon theme's picture for its MIME type, its generic type, or a plain document /
// folder picture when the theme has neither. Never null.
QIcon GetSmallFileIcon(const QString& path);
