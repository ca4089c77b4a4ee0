#include "core/jpeg.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include "core/textfile.h"

bool SaveReportJpeg(const QImage& image, const QString& path, QString* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(100);
  writer.setProgressiveScanWrite(true);
  // JPEG has no alpha; flatten onto white so transparent areas do not turn black.
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, image);
  }
  if (!writer.write(flat)) {
    if (error) *error = CannotCreateMessage(path, writer.errorString());
    return false;
  }
  return WriteFileBytes(path, bytes, error);
}
