#include <QtTest>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "core/textfile.h"
#include "support/testenv.h"

namespace {
QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}
bool IsRoot() { return ::geteuid() == 0; }
}  // namespace

class TextFileTest : public QObject {
  Q_OBJECT

 private slots:
  void messages() {
    QCOMPARE(CannotOpenMessage("/a/b.txt", "No such file or directory"),
             QStringLiteral("Cannot open file \"/a/b.txt\". No such file or directory"));
    QCOMPARE(CannotCreateMessage("/a/b.txt", "Permission denied"),
             QStringLiteral("Cannot create file \"/a/b.txt\". Permission denied"));
  }

  void decodeUtf8() {
    QCOMPARE(DecodeText("Ren\xc3\xa9" "e"), QStringLiteral("Ren\u00e9e"));
    QCOMPARE(DecodeText("\xef\xbb\xbf" "abc"), QStringLiteral("abc"));
    QCOMPARE(DecodeText("\xe2\x80\x9cHi\xe2\x80\x9d"), QStringLiteral("\u201cHi\u201d"));
    QCOMPARE(DecodeText("\xf0\x9f\x98\x80"), QString::fromUtf8("\xf0\x9f\x98\x80"));
    QCOMPARE(DecodeText(QByteArray()), QString());
    QCOMPARE(DecodeText(QByteArray("a\0b", 3)), QString(QStringLiteral("a") + QChar(0) + "b"));
  }

  void decodeWindows1252() {
    QCOMPARE(DecodeText("Ren\xe9" "e"), QStringLiteral("Ren\u00e9e"));
    QCOMPARE(DecodeText("\x93Hi\x94"), QStringLiteral("\u201cHi\u201d"));
    QCOMPARE(DecodeText("\x80\x85\x99\x9f\xff"), QStringLiteral("\u20ac\u2026\u2122\u0178\u00ff"));
    // Unassigned codes map to the C1 controls of the same value.
    QCOMPARE(DecodeText("\x81\x8d\x8f\x90\x9d"), QStringLiteral("\u0081\u008d\u008f\u0090\u009d"));
    // Invalid UTF-8 forms fall back to Windows-1252: overlong, surrogate, truncated.
    QCOMPARE(DecodeText("\xc0\xaf"), QStringLiteral("\u00c0\u00af"));
    QCOMPARE(DecodeText("\xed\xa0\x80"), QStringLiteral("\u00ed\u00a0\u20ac"));
    QCOMPARE(DecodeText("ab\xc3"), QStringLiteral("ab\u00c3"));
    QCOMPARE(DecodeText("\xf5\x80\x80\x80").size(), 4);
  }

  void decodeFixtures() {
    QString cp, utf, error;
    QVERIFY(ReadTextFile(TestEnv::testData("ini/cp1252.ini"), &cp, &error));
    QVERIFY(ReadTextFile(TestEnv::testData("ini/utf8bom.ini"), &utf, &error));
    QCOMPARE(cp, utf);
    QVERIFY(cp.contains(QStringLiteral("Name=Ren\u00e9e")));
    QVERIFY(cp.contains(QStringLiteral("Quote=\u201cHi\u201d \u20ac 5")));
  }

  void encode() {
    QCOMPARE(EncodeText(QStringLiteral("Ren\u00e9e")), QByteArray("Ren\xc3\xa9" "e"));
    QCOMPARE(DecodeText(EncodeText(QStringLiteral("\u201cx\u201d"))), QStringLiteral("\u201cx\u201d"));
  }

  void splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("one") << "a" << QStringList{"a"};
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("crlf no end") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("lf") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("cr") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("mixed") << "a\rb\nc\r\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("blank lines") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("lf cr") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("only break") << "\r\n" << QStringList{""};
    QTest::newRow("two breaks") << "\n\n" << QStringList{"", ""};
    QTest::newRow("trailing text") << "x\r\n y " << QStringList{"x", " y "};
  }
  void splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitLines(text), lines);
  }

  void writeReadRoundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath("note.txt");
    QString error;
    QVERIFY(WriteTextFile(path, QStringLiteral("Ren\u00e9e \u201cq\u201d\r\n2"), &error));
    QCOMPARE(FileBytes(path), QByteArray("Ren\xc3\xa9" "e \xe2\x80\x9cq\xe2\x80\x9d\r\n2"));
    QString text;
    QVERIFY(ReadTextFile(path, &text, &error));
    QCOMPARE(text, QStringLiteral("Ren\u00e9e \u201cq\u201d\r\n2"));

    QVERIFY(WriteTextLines(path, {"a", "", "b"}, &error));
    QCOMPARE(FileBytes(path), QByteArray("a\r\n\r\nb\r\n"));
    QStringList lines;
    QVERIFY(ReadTextLines(path, &lines, &error));
    QCOMPARE(lines, (QStringList{"a", "", "b"}));

    QVERIFY(WriteTextLines(path, {}, &error));
    QCOMPARE(FileBytes(path), QByteArray());
    QVERIFY(ReadTextLines(path, &lines, &error));
    QVERIFY(lines.isEmpty());

    const QByteArray binary("\x00\x01\xff\r\n", 5);
    QVERIFY(WriteFileBytes(path, binary, &error));
    QByteArray bytes;
    QVERIFY(ReadFileBytes(path, &bytes, &error));
    QCOMPARE(bytes, binary);
    // No temporary files are left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"note.txt"});
  }

  void readMissing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing.txt");
    QString error, text = "kept";
    QVERIFY(!ReadTextFile(path, &text, &error));
    QCOMPARE(text, QStringLiteral("kept"));
    QVERIFY2(error.startsWith("Cannot open file \"" + path + "\". "), qPrintable(error));
    QVERIFY(error.size() > QString("Cannot open file \"" + path + "\". ").size());
  }

  void readDirectory() {
    QTemporaryDir dir;
    QString error;
    QByteArray bytes = "kept";
    QVERIFY(!ReadFileBytes(dir.path(), &bytes, &error));
    QCOMPARE(bytes, QByteArray("kept"));
    QVERIFY2(error.startsWith("Cannot open file \"" + dir.path() + "\". "), qPrintable(error));
  }

  void readUnreadable() {
    if (IsRoot()) QSKIP("root reads every file");
    QTemporaryDir dir;
    const QString path = dir.filePath("secret.txt");
    QString error;
    QVERIFY(WriteTextFile(path, "x", &error));
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    QString text;
    QVERIFY(!ReadTextFile(path, &text, &error));
    QVERIFY2(error.startsWith("Cannot open file \"" + path + "\". "), qPrintable(error));
  }

  void writeIntoDirectoryPath() {
    QTemporaryDir dir;
    QString error;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const QString path = dir.filePath("sub");
    QVERIFY(!WriteTextFile(path, "x", &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error));
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!AppendTextLine(path, "x", &error));
  }

  void writeMissingFolder() {
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/folder/file.txt");
    QString error;
    QVERIFY(!WriteTextFile(path, "x", &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error));
    QVERIFY(!QFileInfo::exists(path));
  }

  void writeUnderAFile() {
    // Works for root too: a file cannot hold a folder.
    QTemporaryDir dir;
    const QString file = dir.filePath("plain.txt");
    QString error;
    QVERIFY(WriteTextFile(file, "old", &error));
    const QString path = file + "/inner.txt";
    QVERIFY(!WriteTextFile(path, "x", &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error));
    QVERIFY(!AppendTextLine(path, "x", &error));
    QCOMPARE(FileBytes(file), QByteArray("old"));
  }

  void writeReadOnlyFolderKeepsOld() {
    if (IsRoot()) QSKIP("root writes everywhere");
    QTemporaryDir dir;
    const QString path = dir.filePath("old.txt");
    QString error;
    QVERIFY(WriteTextFile(path, "old", &error));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QVERIFY(!WriteTextFile(path, "new", &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error));
    QVERIFY(!AppendTextLine(path, "new", &error));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    QCOMPARE(FileBytes(path), QByteArray("old"));
  }

  void appendLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    QString error;
    QVERIFY(AppendTextLine(path, "F=Call mom", &error));
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\n"));
    QVERIFY(AppendTextLine(path, "T=Done", &error));
    QCOMPARE(FileBytes(path), QByteArray("F=Call mom\r\nT=Done\r\n"));
    // A last line without its break gets one before the new line.
    QVERIFY(WriteFileBytes(path, "a", &error));
    QVERIFY(AppendTextLine(path, "b", &error));
    QCOMPARE(FileBytes(path), QByteArray("a\r\nb\r\n"));
    // Old Windows-1252 text is re-encoded so the whole file stays one encoding.
    QVERIFY(WriteFileBytes(path, "Ren\xe9" "e\r\n", &error));
    QVERIFY(AppendTextLine(path, QStringLiteral("\u00e9t\u00e9"), &error));
    QCOMPARE(FileBytes(path), QByteArray("Ren\xc3\xa9" "e\r\n\xc3\xa9t\xc3\xa9\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"});
  }
};

QTEST_GUILESS_MAIN(TextFileTest)
#include "test_textfile.moc"
