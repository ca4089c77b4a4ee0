#include <QtTest>

#include "app/icons.h"

class TestIcons : public QObject {
  Q_OBJECT
 private slots:
  void iconOnBackground();
  void largerIconIsClipped();
  void qiconForm();
  void noSize();
  void smallFileIcon_data();
  void smallFileIcon();
};

void TestIcons::iconOnBackground() {
  // A 10 x 10 icon: opaque red in its left half, transparent in its right half.
  QImage icon(10, 10, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x) icon.setPixelColor(x, y, Qt::red);
  const QColor cell(200, 230, 255);
  const QImage out = IconToBitmap(16, icon, cell);
  QCOMPARE(out.size(), QSize(16, 16));
  QCOMPARE(out.pixelColor(0, 0), QColor(Qt::red));     // the icon at the top-left corner
  QCOMPARE(out.pixelColor(4, 9), QColor(Qt::red));
  QCOMPARE(out.pixelColor(7, 3), cell);                 // its transparent part
  QCOMPARE(out.pixelColor(12, 12), cell);               // beyond the icon
  QCOMPARE(out.pixelColor(0, 12), cell);
  QVERIFY(icon.pixelColor(7, 3).alpha() == 0);          // the icon itself is untouched
}

void TestIcons::largerIconIsClipped() {
  QImage icon(32, 32, QImage::Format_ARGB32);
  icon.fill(Qt::blue);
  icon.setPixelColor(20, 20, Qt::green);
  const QImage out = IconToBitmap(16, icon, Qt::white);
  QCOMPARE(out.size(), QSize(16, 16));
  QCOMPARE(out.pixelColor(15, 15), QColor(Qt::blue));  // drawn at its size, not scaled
}

void TestIcons::qiconForm() {
  QPixmap small(8, 8);
  small.fill(Qt::darkGreen);
  const QPixmap out = IconToBitmap(16, QIcon(small), QColor(Qt::yellow));
  QCOMPARE(out.size(), QSize(16, 16));
  const QImage img = out.toImage();
  QCOMPARE(img.pixelColor(2, 2), QColor(Qt::darkGreen));
  QCOMPARE(img.pixelColor(12, 12), QColor(Qt::yellow));
  // No icon: just the colour.
  QCOMPARE(IconToBitmap(16, QIcon(), QColor(Qt::yellow)).toImage().pixelColor(0, 0),
           QColor(Qt::yellow));
}

void TestIcons::noSize() {
  QVERIFY(IconToBitmap(0, QImage(4, 4, QImage::Format_ARGB32), Qt::red).isNull());
  QVERIFY(IconToBitmap(-3, QIcon(), Qt::red).isNull());
}

void TestIcons::smallFileIcon_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("html") << "report.html";
  QTest::newRow("text") << "notes.txt";
  QTest::newRow("no extension") << "README";
  QTest::newRow("folder") << "folder";
  QTest::newRow("missing file") << "gone.jpg";
}

void TestIcons::smallFileIcon() {
  QFETCH(QString, name);
  QTemporaryDir dir;
  const QString path = dir.path() + "/" + name;
  if (name == "folder") {
    QVERIFY(QDir().mkdir(path));
  } else if (name != "gone.jpg") {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
  }
  const QIcon icon = GetSmallFileIcon(path);
  QVERIFY(!icon.isNull());
  const QPixmap p = icon.pixmap(16, 16);
  QVERIFY(!p.isNull());
  QVERIFY(p.width() <= 16 && p.height() <= 16);
}

QTEST_MAIN(TestIcons)
#include "test_icons.moc"
