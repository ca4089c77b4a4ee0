#pragma once
// The small pictures of the basal page, drawn rather than shipped.

#include <QPixmap>

// 17 x 17, transparent, a red heart for a marked intercourse cell.
QPixmap HeartPicture();
// A printer glyph for the print button.
QPixmap PrinterGlyph(int size = 20);
