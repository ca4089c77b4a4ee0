// The fast file pieces of the backup and the restore: what they must never do is write
// through a link, replace a file, or remove what a link points to.

#include <QtTest>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

#include "core/plainfile.h"
#include "core/textfile.h"

namespace {
QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}
}  // namespace

class PlainFileTest : public QObject {
  Q_OBJECT
 private slots:
  void writeNewFileNeverReplaces_data() {
    QTest::addColumn<QString>("there");  // what holds the name already
    QTest::newRow("nothing") << QString();
    QTest::newRow("a file") << "file";
    QTest::newRow("a link to a file") << "link";
    QTest::newRow("a dangling link") << "dangling";
  }
  void writeNewFileNeverReplaces() {
    QFETCH(QString, there);
    QTemporaryDir tmp;
    const QString folder = tmp.path() + QStringLiteral("/in");
    const QString outside = tmp.path() + QStringLiteral("/outside.txt");
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(WriteFileBytes(outside, "outside", nullptr));
    const QString path = folder + QStringLiteral("/note.txt");
    if (there == u"file") QVERIFY(WriteFileBytes(path, "old", nullptr));
    if (there == u"link") QVERIFY(QFile::link(outside, path));
    if (there == u"dangling") QVERIFY(QFile::link(tmp.path() + QStringLiteral("/none.txt"), path));

    const FolderHandle in(folder);
    QVERIFY(in.IsOpen());
    QString error;
    const bool ok = WriteNewFile(in, QStringLiteral("note.txt"), "new bytes", 1234567890, &error);
    QCOMPARE(ok, there.isEmpty());
    QCOMPARE(FileBytes(outside), QByteArray("outside"));
    QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/none.txt")));
    if (there.isEmpty()) {
      QCOMPARE(FileBytes(path), QByteArray("new bytes"));
      QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), 1234567890);
    } else {
      QVERIFY2(error.startsWith(QStringLiteral("Cannot create file")), qPrintable(error));
      if (there == u"file") QCOMPARE(FileBytes(path), QByteArray("old"));
    }
  }

  void removeTreeKeepsWhatLinksPointTo() {
    QTemporaryDir tmp;
    const QString keep = tmp.path() + QStringLiteral("/keep");
    QVERIFY(QDir().mkpath(keep + QStringLiteral("/sub")));
    QVERIFY(WriteFileBytes(keep + QStringLiteral("/a.txt"), "a", nullptr));
    QVERIFY(WriteFileBytes(keep + QStringLiteral("/sub/b.txt"), "b", nullptr));
    const QString tree = tmp.path() + QStringLiteral("/tree");
    QVERIFY(QDir().mkpath(tree + QStringLiteral("/deep/er")));
    QVERIFY(WriteFileBytes(tree + QStringLiteral("/deep/er/c.txt"), "c", nullptr));
    QVERIFY(QFile::link(keep, tree + QStringLiteral("/to-folder")));
    QVERIFY(QFile::link(keep + QStringLiteral("/a.txt"), tree + QStringLiteral("/deep/to-file")));
    QVERIFY(QFile::link(QStringLiteral("../keep"), tree + QStringLiteral("/relative")));
    // A second name of a kept file, as a restore links unchanged files.
    QVERIFY(::link(QFile::encodeName(keep + QStringLiteral("/sub/b.txt")).constData(),
                   QFile::encodeName(tree + QStringLiteral("/b.txt")).constData()) == 0);

    // A link in the tree's own place is not followed either.
    const QString linkToKeep = tmp.path() + QStringLiteral("/link-to-keep");
    QVERIFY(QFile::link(keep, linkToKeep));
    QVERIFY(!RemoveTree(linkToKeep));
    QVERIFY(QFileInfo(linkToKeep).isSymLink());

    QVERIFY(RemoveTree(tree));
    QVERIFY(!QFileInfo::exists(tree));
    QCOMPARE(FileBytes(keep + QStringLiteral("/a.txt")), QByteArray("a"));
    QCOMPARE(FileBytes(keep + QStringLiteral("/sub/b.txt")), QByteArray("b"));
    QVERIFY(RemoveTree(tree));  // nothing left to remove
  }

  void stampTellsEveryChange() {
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/note.txt");
    QVERIFY(WriteFileBytes(path, "first", nullptr));
    const FolderHandle folder(tmp.path());
    FileStamp read, again;
    PlainFile file;
    QString error;
    QVERIFY(ReadPlainFile(folder, QStringLiteral("note.txt"), 100, &file, &error));
    QCOMPARE(file.bytes, QByteArray("first"));
    read = file.stamp;
    QVERIFY(StampFile(folder, QStringLiteral("note.txt"), &again));
    QVERIFY(again == read);
    // A save puts a new file in its place.
    QVERIFY(WriteFileBytes(path, "saved", nullptr));
    QVERIFY(StampFile(folder, QStringLiteral("note.txt"), &again));
    QVERIFY(again.inode != read.inode);
    read = again;
    // Another program writes it in place: the same inode, another change time and size.
    {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.write("written in place") > 0);
    }
    QVERIFY(StampFile(folder, QStringLiteral("note.txt"), &again));
    QCOMPARE(again.inode, read.inode);
    QVERIFY(!(again == read));
    // No stamp of what is not a regular file, nor through a link.
    QVERIFY(QFile::link(path, tmp.path() + QStringLiteral("/link.txt")));
    QVERIFY(!StampFile(folder, QStringLiteral("link.txt"), &again));
    QVERIFY(!StampFile(folder, QStringLiteral("missing.txt"), &again));
  }
};

QTEST_GUILESS_MAIN(PlainFileTest)
#include "test_plainfile.moc"
