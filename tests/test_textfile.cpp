#include <QtTest>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "core/textfile.h"
#include "support/faults.h"
#include "support/testenv.h"

namespace {
QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}
bool IsRoot() { return ::geteuid() == 0; }
// The file's identity on disk: a file that was replaced (written anew) has another.
quint64 Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}
void MakeSparse(const QString& path, qint64 size) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QVERIFY(f.resize(size));
}
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

  // A write that cannot complete (here: the file size limit, as a full disk cuts it
  // short) leaves the old file whole and says why; small files too, which a buffered
  // save used to commit cut short and report as written.
  void failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<int>("limit");
    QTest::newRow("small file under the write buffer") << "bytes" << 80 << 50;
    QTest::newRow("16 KiB, the size of the write buffer") << "bytes" << 16384 << 4096;
    QTest::newRow("1 MB in many writes") << "bytes" << (1 << 20) << 100000;
    QTest::newRow("lines") << "lines" << 300 << 64;
    QTest::newRow("a line appended") << "append" << 60 << 40;
    QTest::newRow("limit below the old file too") << "bytes" << 200 << 8;
  }
  void failedWriteKeepsTheOldFile() {
    QFETCH(QString, writer);
    QFETCH(int, newSize);
    QFETCH(int, limit);
    QTemporaryDir dir;
    const QString path = dir.filePath("record.txt");
    const QByteArray old("old record, twenty-nine bytes");
    QVERIFY(WriteFileBytes(path, old, nullptr));
    const ChildResult child = RunInChild([&](QString* message) {
      FileSizeLimit fsize(limit);
      bool ok = false;
      if (writer == "bytes") {
        ok = WriteFileBytes(path, QByteArray(newSize, 'n'), message);
      } else if (writer == "lines") {
        QStringList lines;
        for (int i = 0; i < newSize / 10; ++i) lines << QString(8, u'l');
        ok = WriteTextLines(path, lines, message);
      } else {
        ok = AppendTextLine(path, QString(newSize - old.size() - 4, u'a'), message);
      }
      return ok ? 1 : 0;
    });
    QCOMPARE(child.status, 0);
    QVERIFY2(child.message.startsWith("Cannot create file \"" + path + "\". "),
             qPrintable(child.message));
    QVERIFY2(child.message.endsWith("File too large"), qPrintable(child.message));
    QCOMPARE(FileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"record.txt"});
  }

  void failureReasonsNameTheCause() {
    QCOMPARE(FailureReason("Unknown error", ENOSPC), QString("No space left on device"));
    QCOMPARE(FailureReason("", EFBIG), QString("File too large"));
    QCOMPARE(FailureReason("Permission denied", EFBIG), QString("Permission denied"));
    for (const QString& reason : {FailureReason("Unknown error", 0), FailureReason("", 0)}) {
      QVERIFY(!reason.isEmpty());
      QVERIFY(reason != "Unknown error");
    }
    QCOMPARE(SizeText(512), QString("512 bytes"));
    QCOMPARE(SizeText(4096), QString("4.0 KB"));
    QCOMPARE(SizeText(50 * 1000 * 1000), QString("47.7 MB"));
  }

  // Only a real change reaches the disk; a missing file is still created.
  void unchangedBytesWriteNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("same.txt");
    QVERIFY(WriteFileBytes(path, "abc\r\n", nullptr));
    const quint64 first = Inode(path);
    QVERIFY(first != 0);
    QVERIFY(WriteFileBytes(path, "abc\r\n", nullptr));
    QVERIFY(WriteTextLines(path, {"abc"}, nullptr));
    QCOMPARE(Inode(path), first);
    // The same size with other bytes is a change.
    QVERIFY(WriteFileBytes(path, "abd\r\n", nullptr));
    QVERIFY(Inode(path) != first);
    QCOMPARE(FileBytes(path), QByteArray("abd\r\n"));
  }

  // A file that exists but could not be loaded is never replaced, whoever writes; the
  // refusal is told once; a later load that works lifts the guard.
  void unreadableFileIsNeverReplaced() {
    TestEnv env;
    QTemporaryDir dir;
    const QString path = dir.filePath("goal.ini");
    const QByteArray old("[M5]\r\nGoal=140\r\n");
    QVERIFY(WriteFileBytes(path, old, nullptr));
    if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
    QString error, text;
    QVERIFY(!ReadTextFile(path, &text, &error));
    QCOMPARE(error, CannotOpenMessage(path, "Permission denied"));
    QCOMPARE(GuardOf(path), FileGuard::Unreadable);

    const QString refusal = CannotCreateMessage(path, "It could not be read (Permission "
                                                      "denied), so it is left as it is.");
    QVERIFY(!WriteTextFile(path, "[M5]\r\nD3=150\r\n", &error));
    QCOMPARE(error, refusal);
    QVERIFY(!AppendTextLine(path, "D4=151", &error));
    QVERIFY(!RemoveRecordFile(path, &error));
    QCOMPARE(error, refusal);
    // Each message is said once, however often it comes back.
    QVERIFY(TellOnce(CannotOpenMessage(path, "Permission denied")));
    QVERIFY(!TellOnce(CannotOpenMessage(path, "Permission denied")));
    QVERIFY(TellOnce(refusal));
    QVERIFY(!TellOnce(refusal));
    QVERIFY(TellOnce("Cannot create file \"/elsewhere\". No space left on device"));
    QVERIFY(TellOnce("Cannot create file \"/elsewhere\". No space left on device"));

    MakeReadable(path);
    QCOMPARE(FileBytes(path), old);
    // Readable again, but still guarded until it is loaded.
    QVERIFY(!WriteTextFile(path, "x", &error));
    QVERIFY(ReadTextFile(path, &text, &error));
    QCOMPARE(GuardOf(path), FileGuard::None);
    QVERIFY(WriteTextFile(path, "x", &error));
    QCOMPARE(FileBytes(path), QByteArray("x"));
    // Should it fail again later, that is said again.
    QVERIFY(MakeUnreadable(path));
    QVERIFY(!ReadTextFile(path, &text, &error));
    QVERIFY(TellOnce(error));
    MakeReadable(path);
  }

  // The same rule without any special rights: a file beyond every size the program
  // reads fails to load, stays guarded, and the guard lapses once the file is gone.
  void fileTooLargeToReadIsNeverReplaced() {
    TestEnv env;
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.txt");
    MakeSparse(path, kMaxReadBytes + 1);
    QString error;
    QByteArray bytes = "kept";
    QVERIFY(!ReadFileBytes(path, &bytes, &error));
    QCOMPARE(bytes, QByteArray("kept"));
    QVERIFY2(error.startsWith(CannotOpenMessage(path, "File too large")), qPrintable(error));
    QVERIFY(!WriteFileBytes(path, "small", &error));
    QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". It could not be read (File "
                              "too large"),
             qPrintable(error));
    QCOMPARE(QFileInfo(path).size(), kMaxReadBytes + 1);
    QVERIFY(QFile::remove(path));
    QVERIFY(WriteFileBytes(path, "small", &error));
    QCOMPARE(FileBytes(path), QByteArray("small"));
  }

  // A record far larger than its kind ever is opens read-only: it is read, its notice and
  // a refused save's message are one thing to say, said once, and it is never written
  // over until a load finds it of a sane size again.
  void recordBeyondItsSaneSizeOpensReadOnly() {
    TestEnv env;
    QTemporaryDir dir;
    const QString path = dir.filePath("note.txt");
    const QByteArray big(kSaneTextBytes + 1, 'w');
    QVERIFY(WriteFileBytes(path, big, nullptr));
    QString text, error;
    QVERIFY(ReadTextFile(path, &text, &error));
    QCOMPARE(text.size(), big.size());
    QVERIFY(IsReadOnlyFile(path));
    const QString notice = ReadOnlyNotice(path);
    QCOMPARE(notice, "The file \"" + path + "\" is 4.0 MB, far larger than such a file should "
                     "be. It is opened read-only: nothing is written to it.");
    QVERIFY(TellOnce(notice));
    QVERIFY(!WriteTextFile(path, "short", &error));
    QCOMPARE(error, CannotCreateMessage(path, "It was opened read-only because it is 4.0 MB, "
                                              "far larger than such a file should be, so it "
                                              "is left as it is."));
    QVERIFY(!TellOnce(error));
    QVERIFY(!TellOnce(notice));
    // A plain read does not lift it; a record read that finds a sane size does.
    QByteArray bytes;
    QVERIFY(ReadFileBytes(path, &bytes, &error));
    QVERIFY(IsReadOnlyFile(path));
    QCOMPARE(FileBytes(path).size(), big.size());
    {
      QFile shrink(path);
      QVERIFY(shrink.open(QIODevice::ReadWrite) && shrink.resize(10));
    }
    QVERIFY(ReadTextFile(path, &text, &error));
    QVERIFY(!IsReadOnlyFile(path));
    QVERIFY(ReadOnlyNotice(path).isEmpty());
    QVERIFY(WriteTextFile(path, "short", &error));

    // Without the notice shown, the first refused write's message says it.
    const QString other = dir.filePath("other.txt");
    QVERIFY(WriteFileBytes(other, big, nullptr));
    QVERIFY(ReadTextFile(other, &text, &error));
    QVERIFY(!WriteTextFile(other, "short", &error));
    QVERIFY(TellOnce(error));
    QVERIFY(!TellOnce(ReadOnlyNotice(other)));
  }

  // A byte-order mark says how a text is written; a text that cannot be read as the
  // program wrote it (a NUL, UTF-16 that breaks off, a line no editor lays out at once)
  // is read as far as it goes, read-only, and never written over.
  void textFilesAsTheyAreShown_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("notice");  // empty: an ordinary file
    const QString text = QStringLiteral("Pollen\u00a0(mild)\r\nCr\u00e8me\r\n");
    QByteArray le("\xff\xfe"), be("\xfe\xff");
    for (QChar c : text) {
      le += char(c.unicode() & 0xff);
      le += char(c.unicode() >> 8);
      be += char(c.unicode() >> 8);
      be += char(c.unicode() & 0xff);
    }
    const QStringList both{QStringLiteral("Pollen\u00a0(mild)"), QStringLiteral("Cr\u00e8me")};
    QTest::newRow("UTF-16 LE") << le << both << QString();
    QTest::newRow("UTF-16 BE") << be << both << QString();
    QTest::newRow("UTF-8 mark") << "\xef\xbb\xbf" + text.toUtf8() << both << QString();
    QTest::newRow("UTF-16 cut") << le + "x" << (both + QStringList{QString(QChar(0xFFFD))})
                                << "holds UTF-16 text that breaks off";
    QTest::newRow("NUL") << QByteArray("a\0b\r\nc", 6)
                         << QStringList{QString("a") + QChar(0xFFFD) + "b", "c"}
                         << "holds a NUL byte at byte 1";
    QTest::newRow("line too long") << QByteArray(20000, 'x') + "\r\ny"
                                   << QStringList{QString(kLongestLine, 'x'),
                                                  QString(20000 - kLongestLine, 'x'), "y"}
                                   << "holds a line of 20,000 characters, too long to edit";
  }
  void textFilesAsTheyAreShown() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QString, notice);
    TestEnv env;
    const QString path = env.home() + "/note.txt";
    {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(bytes);
    }
    QStringList read;
    QString error;
    QVERIFY(ReadTextLines(path, &read, &error));
    QCOMPARE(read, lines);
    MemoText memo;
    QVERIFY(ReadMemoText(path, &memo, &error));
    QCOMPARE(memo.text, lines.join('\n'));
    QCOMPARE(memo.readOnly, !notice.isEmpty());
    QCOMPARE(MayWriteFile(path), notice.isEmpty());
    if (notice.isEmpty()) {
      QVERIFY(ReadOnlyNotice(path).isEmpty());
      QVERIFY(GuardMessage(path).isEmpty());
      // Written back, the text is UTF-8 without a mark.
      QVERIFY(AppendTextLine(path, "z", &error));
      QCOMPARE(FileBytes(path), (lines.join("\r\n") + "\r\nz\r\n").toUtf8());
      return;
    }
    const QString full = "The file \"" + path + "\" " + notice +
                         ". It is opened read-only: nothing is written to it.";
    QCOMPARE(ReadOnlyNotice(path), full);
    QCOMPARE(GuardMessage(path), full);
    QVERIFY(NotReplacedMessage(path).startsWith("Cannot create file \"" + path +
                                                "\". It was opened read-only because it " + notice));
    QVERIFY(!WriteTextLines(path, lines, &error));
    QVERIFY(!AppendTextLine(path, "z", &error));
    QVERIFY(!RemoveRecordFile(path, &error));
    QCOMPARE(FileBytes(path), bytes);
  }

  void memoOfMissingAndUnreadableFiles() {
    TestEnv env;
    MemoText memo{"left over", true};
    QString error;
    QVERIFY(ReadMemoText(env.home() + "/none.txt", &memo, &error));
    QVERIFY(memo.text.isEmpty());
    QVERIFY(!memo.readOnly);
    const QString folder = env.home() + "/folder.txt";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(!ReadMemoText(folder, &memo, &error));
    QCOMPARE(error, CannotOpenMessage(folder, "Is a directory"));
    QVERIFY(memo.readOnly);
    QCOMPARE(GuardMessage(folder), error);
    QVERIFY(!MayWriteFile(folder, &error));
    QCOMPARE(NotReplacedMessage(folder),
             CannotCreateMessage(folder, "The file could not be read, so it was not replaced."));
  }

  // Nothing the program reads can block the window: a pipe is refused at once.
  void specialFilesAreNotRead() {
    TestEnv env;
    QTemporaryDir dir;
    const QString path = dir.filePath("pipe.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QString error, text;
    QVERIFY(!ReadTextFile(path, &text, &error));
    QCOMPARE(error, CannotOpenMessage(path, "Not a regular file"));
  }

  void removeRecordFile() {
    TestEnv env;
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    QString error;
    QVERIFY(RemoveRecordFile(path, &error));  // missing: nothing to do
    QVERIFY(WriteFileBytes(path, "F=x\r\n", &error));
    QVERIFY(RemoveRecordFile(path, &error));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!RemoveRecordFile(dir.path(), &error));
    QVERIFY(error.startsWith("Cannot create file \"" + dir.path() + "\". "));
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
