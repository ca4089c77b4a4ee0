#pragma once
#include <QFont>

// The views' Arial (Liberation Sans through fontconfig) at a size in pixels, as the
// window layouts are measured in pixels.
inline QFont ArialFont(int pixels, bool bold = false, bool italic = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}
