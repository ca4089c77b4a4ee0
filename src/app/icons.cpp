#include "app/icons.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>

QImage IconToBitmap(int size, const QImage& icon, const QColor& colour) {
  if (size <= 0) return QImage();
  QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
  out.fill(colour);
  if (!icon.isNull()) {
    QPainter p(&out);
    // Drawn pixel for pixel: a high-density source must not be scaled down.
    QImage src = icon;
    src.setDevicePixelRatio(1.0);
    p.drawImage(QPoint(0, 0), src);
  }
  return out;
}

QPixmap IconToBitmap(int size, const QIcon& icon, const QColor& colour) {
  if (size <= 0) return QPixmap();
  QImage picture;
  if (!icon.isNull()) {
    // The icon's own size when it has one that fits, otherwise the square itself.
    QSize want = icon.actualSize(QSize(size, size));
    if (!want.isValid() || want.isEmpty()) want = QSize(size, size);
    picture = icon.pixmap(want, 1.0).toImage();
  }
  return QPixmap::fromImage(IconToBitmap(size, picture, colour));
}

namespace {

// Drawn pictures for a desktop without an icon theme (a bare session, the tests).
QIcon DrawnIcon(bool folder) {
  QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (folder) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 5, 2);
  } else {
    const QPolygon page({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14),
                         QPoint(3, 14)});
    p.setPen(QColor(110, 110, 110));
    p.setBrush(Qt::white);
    p.drawPolygon(page);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    p.setPen(QColor(170, 170, 190));
    for (int y = 7; y <= 12; y += 2) p.drawLine(5, y, 11, y);
  }
  p.end();
  return QIcon(QPixmap::fromImage(img));
}

}  // namespace

QIcon GetSmallFileIcon(const QString& path) {
  const QFileInfo info(path);
  const bool folder = info.isDir();
  QMimeDatabase db;
  const QMimeType type = folder ? db.mimeTypeForName(QStringLiteral("inode/directory"))
                                : db.mimeTypeForFile(info);
  QStringList names;
  if (type.isValid()) names << type.iconName() << type.genericIconName();
  names << (folder ? QStringLiteral("folder") : QStringLiteral("text-x-generic"));
  for (const QString& name : names) {
    if (name.isEmpty()) continue;
    QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull() && !icon.pixmap(16, 16).isNull()) return icon;
  }
  return DrawnIcon(folder);
}
