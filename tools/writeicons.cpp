// Build step: writes the application icon into an icon-theme tree,
//   <out>/hicolor/<n>x<n>/apps/<name>.png
// so the installed program shows the same picture in the desktop's menus as in its tray.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "shell/appicons.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <output folder> <icon name>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QDir().mkpath(folder) || !AppIconImage(size).save(path, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
