#include <QtTest>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "core/inifile.h"
#include "core/textfile.h"
#include "support/faults.h"
#include "support/testenv.h"

namespace {
QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}
IniFile FromBytes(const QByteArray& bytes) {
  IniFile ini;
  ini.LoadBytes(bytes);
  return ini;
}
}  // namespace

class IniFileTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void readBasics() {
    IniFile ini;
    ini.LoadBytes("[Application]\r\nAutoStart=1\r\nName =  Alice Smith  \r\nEmpty=\r\n");
    QCOMPARE(ini.ReadString("Application", "Name", "def"), QStringLiteral("Alice Smith"));
    QCOMPARE(ini.ReadString("Application", "Empty", "def"), QString(""));
    QCOMPARE(ini.ReadString("Application", "Missing", "def"), QStringLiteral("def"));
    QCOMPARE(ini.ReadString("Nowhere", "Name", "def"), QStringLiteral("def"));
    QVERIFY(ini.ReadBool("Application", "AutoStart", false));
    QVERIFY(ini.SectionExists("Application"));
    QVERIFY(!ini.SectionExists("Calendar"));
    QVERIFY(ini.ValueExists("Application", "Empty"));
    QVERIFY(!ini.ValueExists("Application", "Nope"));
    QCOMPARE(ini.Sections(), QStringList{"Application"});
    QCOMPARE(ini.Keys("application"), (QStringList{"AutoStart", "Name", "Empty"}));
  }

  void caseInsensitive() {
    IniFile ini;
    ini.LoadBytes("[SOUND]\r\nfeed=DrinkGulp\r\n");
    QCOMPARE(ini.ReadString("Sound", "Feed", "x"), QStringLiteral("DrinkGulp"));
    QCOMPARE(ini.ReadString("sound", "FEED", "x"), QStringLiteral("DrinkGulp"));
    // Written as "Feed", it replaces the line "feed" and keeps the spelling in the file.
    ini.WriteString("Sound", "Feed", "Waves");
    QCOMPARE(ini.ToBytes(), QByteArray("[SOUND]\r\nfeed=Waves\r\n"));
    QCOMPARE(ini.Keys("Sound"), QStringList{"feed"});
  }

  void replaceInPlace() {
    IniFile ini;
    ini.LoadBytes("; settings\r\n[A]\r\nx=1\r\ny = 2\r\nz=3\r\n\r\n[B]\r\nq=4\r\n");
    ini.WriteInteger("A", "Y", 20);
    QCOMPARE(ini.ToBytes(),
             QByteArray("; settings\r\n[A]\r\nx=1\r\ny=20\r\nz=3\r\n\r\n[B]\r\nq=4\r\n"));
    ini.WriteString("b", "Q", "four");
    QCOMPARE(ini.ToBytes(),
             QByteArray("; settings\r\n[A]\r\nx=1\r\ny=20\r\nz=3\r\n\r\n[B]\r\nq=four\r\n"));
  }

  void appendPosition() {
    IniFile ini;
    ini.LoadBytes("[A]\r\nx=1\r\n\r\n\r\n[B]\r\nq=4\r\n");
    // A new key goes after the last line of its section, before the blank lines.
    ini.WriteString("A", "new", "n");
    QCOMPARE(ini.ToBytes(), QByteArray("[A]\r\nx=1\r\nnew=n\r\n\r\n\r\n[B]\r\nq=4\r\n"));
    // At the end of the last section.
    ini.WriteString("B", "r", "5");
    QCOMPARE(ini.ToBytes(),
             QByteArray("[A]\r\nx=1\r\nnew=n\r\n\r\n\r\n[B]\r\nq=4\r\nr=5\r\n"));
    // A new section at the end of the file, after a blank line.
    ini.WriteString("C", "k", "v");
    QCOMPARE(ini.ToBytes(), QByteArray("[A]\r\nx=1\r\nnew=n\r\n\r\n\r\n[B]\r\nq=4\r\nr=5\r\n"
                                       "\r\n[C]\r\nk=v\r\n"));
    // An empty section: right after its header.
    IniFile empty;
    empty.LoadBytes("[E]\r\n\r\n[F]\r\n");
    empty.WriteString("E", "a", "1");
    QCOMPARE(empty.ToBytes(), QByteArray("[E]\r\na=1\r\n\r\n[F]\r\n"));
    // A comment at the end of a section stays above the new key.
    IniFile commented;
    commented.LoadBytes("[E]\r\na=1\r\n; note\r\n");
    commented.WriteString("E", "b", "2");
    QCOMPARE(commented.ToBytes(), QByteArray("[E]\r\na=1\r\n; note\r\nb=2\r\n"));
    // A file ending in a blank line gets no second one before a new section.
    IniFile blankEnd;
    blankEnd.LoadBytes("[E]\r\na=1\r\n\r\n");
    blankEnd.WriteString("F", "b", "2");
    QCOMPARE(blankEnd.ToBytes(), QByteArray("[E]\r\na=1\r\n\r\n[F]\r\nb=2\r\n"));
  }

  void newFileExactBytes() {
    // The write order of SaveSettings on an empty file.
    TestEnv env;
    const QString path = env.home() + "/application.ini";
    IniFile ini(path);
    QVERIFY(ini.errorString().isEmpty());
    ini.WriteBool("Application", "AutoStart", true);
    ini.WriteInteger("Calendar", "ui_Goal", 0);
    ini.WriteDate("Calendar", "ui_LastPeriod", QDate(2009, 3, 14));
    ini.WriteInteger("Calendar", "ui_CycleLength", 28);
    ini.WriteInteger("Calendar", "ui_luteal", 14);
    ini.WriteString("Sound", "Bed", "Waves");
    ini.WriteString("Sound", "WakeUp", "Buzz");
    ini.WriteString("Sound", "feed", "DrinkGulp");
    ini.WriteString("ToDo", "Categories",
                    "Today,Tomorrow,Yesterday,, @Home,@Work,@Play,@Family,@School,@Other");
    ini.WriteString("Application", "Temperature_Units", "F");
    ini.WriteString("Application", "Measure_Units", "I");
    ini.WriteInteger("BMI", "Height", 72);
    QVERIFY(ini.UpdateFile());
    QVERIFY(ini.errorString().isEmpty());
    QCOMPARE(FileBytes(path), FileBytes(TestEnv::testData("ini/application.ini")));
    QCOMPARE(QDir(env.home()).entryList(QDir::Files), QStringList{"application.ini"});

    // Read back through a fresh object.
    const IniFile back(path);
    QCOMPARE(back.ReadDate("calendar", "UI_LASTPERIOD", QDate()), QDate(2009, 3, 14));
    QCOMPARE(back.ReadString("Sound", "Feed", ""), QStringLiteral("DrinkGulp"));
    QCOMPARE(back.ReadInteger("BMI", "Height", 0), 72);
    QCOMPARE(back.Sections(), (QStringList{"Application", "Calendar", "Sound", "ToDo", "BMI"}));
  }

  void smallFileExactBytes() {
    TestEnv env;
    const QString path = env.home() + "/Y2009M5.ini";
    IniFile ini(path);
    ini.WriteFloat("M5", "D3", 145.5);
    ini.WriteFloat("M5", "Goal", 150);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(FileBytes(path), QByteArray("[M5]\r\nD3=145.5\r\nGoal=150\r\n"));
    ini.WriteFloat("M5", "D3", 144);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(FileBytes(path), QByteArray("[M5]\r\nD3=144\r\nGoal=150\r\n"));
    QCOMPARE(IniFile(path).ReadFloat("m5", "goal", 0), 150.0);
  }

  void wholeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // -999 means the default
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-17" << -17;
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("spaces") << "  12  " << 12;
    QTest::newRow("dollar hex") << "$1F" << 31;
    QTest::newRow("dollar lower") << "$ff" << 255;
    QTest::newRow("0x") << "0x10" << 16;
    QTest::newRow("0X") << "0X1a" << 26;
    QTest::newRow("negative hex") << "-$10" << -16;
    QTest::newRow("hex wraps") << "$FFFFFFFF" << -1;
    QTest::newRow("int max") << "2147483647" << 2147483647;
    QTest::newRow("int min") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("too big") << "2147483648" << -999;
    QTest::newRow("hex too big") << "$100000000" << -999;
    QTest::newRow("empty") << "" << -999;
    QTest::newRow("words") << "yes" << -999;
    QTest::newRow("real") << "1.5" << -999;
    QTest::newRow("trailing junk") << "12abc" << -999;
    QTest::newRow("inner space") << "1 2" << -999;
    QTest::newRow("bare dollar") << "$" << -999;
    QTest::newRow("bare 0x") << "0x" << -999;
    QTest::newRow("bad hex") << "$1G" << -999;
    QTest::newRow("sign only") << "-" << -999;
    QTest::newRow("fullwidth digit") << QString::fromUtf8("\xef\xbc\x91") << -999;
  }
  void wholeNumbers() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    IniFile ini;
    ini.LoadBytes(EncodeText("[S]\r\nk=" + text + "\r\n"));
    QCOMPARE(ini.ReadInteger("S", "k", -999), expected);
    int v = 0;
    QCOMPARE(IniFile::ParseInteger(text, &v), expected != -999);
  }

  void bools() {
    IniFile ini;
    ini.LoadBytes("[S]\r\none=1\r\nzero=0\r\nmany=7\r\nhex=$0\r\njunk=true\r\nempty=\r\n");
    QVERIFY(ini.ReadBool("S", "one", false));
    QVERIFY(!ini.ReadBool("S", "zero", true));
    QVERIFY(ini.ReadBool("S", "many", false));
    QVERIFY(!ini.ReadBool("S", "hex", true));
    QVERIFY(ini.ReadBool("S", "junk", true));
    QVERIFY(!ini.ReadBool("S", "junk", false));
    QVERIFY(ini.ReadBool("S", "empty", true));
    QVERIFY(ini.ReadBool("S", "missing", true));
    ini.WriteBool("S", "one", false);
    ini.WriteBool("S", "new", true);
    QCOMPARE(ini.ReadString("S", "one", ""), QStringLiteral("0"));
    QCOMPARE(ini.ReadString("S", "new", ""), QStringLiteral("1"));
  }

  void floatsAndDates() {
    IniFile ini;
    ini.LoadBytes("[S]\r\nf=145.5\r\ng= 150 \r\nbad=1,5\r\nnan=nan\r\n"
                  "d=3/14/2009\r\nd2=2009-03-14\r\nd3=13/45/2009\r\n");
    QCOMPARE(ini.ReadFloat("S", "f", 0), 145.5);
    QCOMPARE(ini.ReadFloat("S", "g", 0), 150.0);
    QCOMPARE(ini.ReadFloat("S", "bad", -1), -1.0);
    QCOMPARE(ini.ReadFloat("S", "nan", -1), -1.0);
    QCOMPARE(ini.ReadFloat("S", "missing", 7.5), 7.5);
    const QDate def(2001, 2, 3);
    QCOMPARE(ini.ReadDate("S", "d", def), QDate(2009, 3, 14));
    QCOMPARE(ini.ReadDate("S", "d2", def), QDate(2009, 3, 14));
    QCOMPARE(ini.ReadDate("S", "d3", def), def);
    QCOMPARE(ini.ReadDate("S", "missing", def), def);
    ini.WriteFloat("S", "f", 0.1 + 0.2);
    QCOMPARE(ini.ReadString("S", "f", ""), QStringLiteral("0.3"));
    ini.WriteDate("S", "d", QDate(2010, 12, 1));
    QCOMPARE(ini.ReadString("S", "d", ""), QStringLiteral("2010-12-01"));
    // A value that is stored already keeps the text it has, in any form read.
    ini.WriteDate("S", "d2", QDate(2009, 3, 14));
    ini.WriteFloat("S", "g", 150);
    QCOMPARE(ini.ReadString("S", "d2", ""), QStringLiteral("2009-03-14"));
    QCOMPARE(ini.ReadString("S", "g", ""), QStringLiteral("150"));
    ini.LoadBytes("[S]\r\nd=3/14/2009\r\nf=145.50\r\n");
    ini.WriteDate("S", "d", QDate(2009, 3, 14));
    ini.WriteFloat("S", "f", 145.5);
    QCOMPARE(ini.ToBytes(), QByteArray("[S]\r\nd=3/14/2009\r\nf=145.50\r\n"));
    QVERIFY(ini.ValueReadable("S", "d", IniFile::ValueKind::Date));
    QVERIFY(ini.ValueReadable("S", "missing", IniFile::ValueKind::Date));
    ini.LoadBytes("[S]\r\nd=soon\r\nf=1,5\r\ni=0x1G\r\n");
    QVERIFY(!ini.ValueReadable("S", "d", IniFile::ValueKind::Date));
    QVERIFY(!ini.ValueReadable("S", "f", IniFile::ValueKind::Number));
    QVERIFY(!ini.ValueReadable("S", "i", IniFile::ValueKind::Integer));
  }

  // What a file holds does not depend on the locale: "." and yyyy-MM-dd are written in
  // every one, and what earlier versions wrote there (the locale's comma and short date,
  // or the en_US short date) still reads.
  void otherLocales_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("oldNumber");  // as an earlier version wrote 145.5 there
    QTest::addColumn<QString>("oldDate");    // and 14 March 2009
    QTest::newRow("de_DE") << "de_DE" << "145,5" << "14.03.2009";
    QTest::newRow("fr_FR") << "fr_FR" << "145,5" << "14/03/2009";
    QTest::newRow("en_US") << "en_US" << "145.5" << "3/14/2009";
  }

  void otherLocales() {
    QFETCH(QString, locale);
    QFETCH(QString, oldNumber);
    QFETCH(QString, oldDate);
    QLocale::setDefault(QLocale(locale));
    IniFile ini;
    ini.WriteFloat("S", "f", 145.5);
    ini.WriteDate("S", "d", QDate(2009, 3, 14));
    QCOMPARE(ini.ToBytes(), QByteArray("[S]\r\nf=145.5\r\nd=2009-03-14\r\n"));
    QCOMPARE(ini.ReadFloat("S", "f", 0), 145.5);
    QCOMPARE(ini.ReadDate("S", "d", QDate()), QDate(2009, 3, 14));
    ini.LoadBytes(QStringLiteral("[S]\r\nf=%1\r\nd=%2\r\nus=11/28/2026\r\n")
                      .arg(oldNumber, oldDate)
                      .toUtf8());
    QCOMPARE(ini.ReadFloat("S", "f", 0), 145.5);
    QCOMPARE(ini.ReadDate("S", "d", QDate()), QDate(2009, 3, 14));
    // The en_US short date of files made before reads under every locale.
    QCOMPARE(ini.ReadDate("S", "us", QDate()), QDate(2026, 11, 28));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void valuesWrittenWithoutQuotes() {
    IniFile ini;
    ini.WriteString("S", "k", "a \"quoted\" text");
    ini.WriteString("S", "q", "\"whole\"");
    ini.WriteString("S", "pad", "  padded  ");
    ini.WriteString("S", "break", "two\r\nlines");
    QCOMPARE(ini.ToBytes(), QByteArray("[S]\r\nk=a \"quoted\" text\r\nq=\"whole\"\r\n"
                                       "pad=  padded  \r\nbreak=two  lines\r\n"));
    QCOMPARE(ini.ReadString("S", "q", ""), QStringLiteral("\"whole\""));
    QCOMPARE(ini.ReadString("S", "pad", ""), QStringLiteral("padded"));
    const IniFile back = FromBytes(ini.ToBytes());
    QCOMPARE(back.ReadString("S", "break", ""), QStringLiteral("two  lines"));
  }

  void deleteAndErase() {
    IniFile ini;
    ini.LoadBytes("[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n\r\n[a]\r\nw=4\r\n");
    ini.DeleteKey("a", "X");
    QCOMPARE(ini.ToBytes(), QByteArray("[A]\r\ny=2\r\n\r\n[B]\r\nz=3\r\n\r\n[a]\r\nw=4\r\n"));
    ini.DeleteKey("A", "nothing");
    ini.DeleteKey("Nothing", "y");
    ini.EraseSection("A");
    QCOMPARE(ini.ToBytes(), QByteArray("[B]\r\nz=3\r\n\r\n"));
    QVERIFY(!ini.SectionExists("a"));
    ini.EraseSection("B");
    QCOMPARE(ini.ToBytes(), QByteArray());
  }

  void duplicateSectionsFirstWins() {
    IniFile ini;
    ini.LoadBytes("[S]\r\nk=first\r\nk=again\r\n[T]\r\n[s]\r\nk=second\r\nonly=dup\r\n");
    QCOMPARE(ini.ReadString("S", "k", ""), QStringLiteral("first"));
    QCOMPARE(ini.ReadString("S", "only", "def"), QStringLiteral("def"));
    QCOMPARE(ini.Sections(), (QStringList{"S", "T"}));
    QCOMPARE(ini.Keys("S"), QStringList{"k"});
    ini.WriteString("S", "k", "new");
    ini.WriteString("S", "only", "1");
    QCOMPARE(ini.ToBytes(),
             QByteArray("[S]\r\nk=new\r\nk=again\r\nonly=1\r\n[T]\r\n[s]\r\nk=second\r\nonly=dup\r\n"));
  }

  void lineEndsAndOddLines() {
    // CR-only line ends, LF, no break at the end; keys before any section are not read.
    IniFile ini;
    ini.LoadBytes("top=1\r[A]\rx=1\ny=2\r\nnoequals\r=novalue\r;c=3\r[B");
    QCOMPARE(ini.ReadString("A", "x", ""), QStringLiteral("1"));
    QCOMPARE(ini.ReadString("A", "y", ""), QStringLiteral("2"));
    QCOMPARE(ini.ReadString("", "top", "def"), QStringLiteral("def"));
    QCOMPARE(ini.ReadString("A", "noequals", "def"), QStringLiteral("def"));
    QCOMPARE(ini.ReadString("A", ";c", "def"), QStringLiteral("def"));
    QCOMPARE(ini.Keys("A"), (QStringList{"x", "y"}));
    QVERIFY(!ini.SectionExists("B"));
    // Everything is kept, and written back with CR LF.
    QCOMPARE(ini.ToBytes(),
             QByteArray("top=1\r\n[A]\r\nx=1\r\ny=2\r\nnoequals\r\n=novalue\r\n;c=3\r\n[B\r\n"));
  }

  void junkFixture() {
    const IniFile ini(TestEnv::testData("ini/junk.ini"));
    QVERIFY(ini.errorString().isEmpty());
    QCOMPARE(ini.ReadString("Good", "Name", ""), QStringLiteral("Alice"));
    QCOMPARE(ini.ReadInteger("good", "Count", 0), 31);
    QCOMPARE(ini.ReadInteger("Good", "Hex", 0), 16);
    QCOMPARE(ini.ReadString("Good", "Huge", "").size(), 100000);
    QCOMPARE(ini.ReadString("Good", "Extra", "def"), QStringLiteral("def"));
    QCOMPARE(ini.ReadString("Spaced", "Key", ""), QString(QStringLiteral("v") + QChar(0) + "w"));
    QCOMPARE(ini.ReadString("Spaced", "Last", ""), QStringLiteral("no break at the end"));
    QCOMPARE(ini.ReadString("", "orphan", "def"), QStringLiteral("def"));
    QCOMPARE(ini.ReadInteger("Good", "Name", -5), -5);
    // Writing keeps every other line.
    IniFile copy = ini;
    copy.WriteString("Good", "Name", "Bob");
    const IniFile back = FromBytes(copy.ToBytes());
    QCOMPARE(back.ReadString("Good", "Name", ""), QStringLiteral("Bob"));
    QCOMPARE(back.ReadInteger("Good", "Count", 0), 31);
    QCOMPARE(back.ReadString("Spaced", "Last", ""), QStringLiteral("no break at the end"));
    QCOMPARE(FromBytes(back.ToBytes()).ToBytes(), back.ToBytes());
  }

  void windows1252Fixture() {
    const IniFile cp(TestEnv::testData("ini/cp1252.ini"));
    const IniFile utf(TestEnv::testData("ini/utf8bom.ini"));
    QCOMPARE(cp.ReadString("Application", "Name", ""), QStringLiteral("Ren\u00e9e"));
    QCOMPARE(cp.ReadString("Application", "Quote", ""), QStringLiteral("\u201cHi\u201d \u20ac 5"));
    QCOMPARE(utf.ReadString("Application", "Quote", ""), QStringLiteral("\u201cHi\u201d \u20ac 5"));
    // Written back as UTF-8 without a byte-order mark.
    QCOMPARE(cp.ToBytes(), QByteArray("[Application]\r\nName=Ren\xc3\xa9" "e\r\n"
                                      "Quote=\xe2\x80\x9cHi\xe2\x80\x9d \xe2\x82\xac 5\r\n"));
    QCOMPARE(utf.ToBytes(), cp.ToBytes());
  }

  void garbageNeverCrashes() {
    QByteArray bytes;
    quint32 seed = 12345;
    for (int round = 0; round < 200; ++round) {
      bytes.clear();
      const int len = round * 7;
      for (int i = 0; i < len; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char alphabet[] = "[]=;$0x1 \r\n\t\0\xff\x93" "aA";
        bytes += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
      }
      IniFile ini;
      ini.LoadBytes(bytes);
      for (const QString& s : ini.Sections())
        for (const QString& k : ini.Keys(s)) ini.ReadInteger(s, k, 0);
      ini.WriteString("a", "x", "1");
      QCOMPARE(ini.ReadString("a", "x", ""), QStringLiteral("1"));
      QCOMPARE(FromBytes(ini.ToBytes()).ReadString("A", "X", ""), QStringLiteral("1"));
    }
  }

  void missingFileReadsEmpty() {
    TestEnv env;
    const QString path = env.home() + "/none.ini";
    const IniFile ini(path);
    QCOMPARE(ini.path(), path);
    QVERIFY(ini.errorString().isEmpty());
    QVERIFY(ini.Sections().isEmpty());
    QCOMPARE(ini.ToBytes(), QByteArray());
    QVERIFY(!QFileInfo::exists(path));
  }

  void unreadableFile() {
    TestEnv env;
    // A directory where the file should be: cannot be read, reads as empty.
    QVERIFY(QDir(env.home()).mkdir("dir.ini"));
    const QString path = env.home() + "/dir.ini";
    IniFile ini(path);
    QVERIFY2(ini.errorString().startsWith("Cannot open file \"" + path + "\". "),
             qPrintable(ini.errorString()));
    QCOMPARE(ini.ReadString("A", "b", "def"), QStringLiteral("def"));
    QVERIFY(ini.Sections().isEmpty());
    // Writing it fails with the create message; the folder stays.
    ini.WriteString("A", "b", "c");
    QVERIFY(!ini.UpdateFile());
    QVERIFY2(ini.errorString().startsWith("Cannot create file \"" + path + "\". "),
             qPrintable(ini.errorString()));
    QVERIFY(QFileInfo(path).isDir());

    if (::geteuid() != 0) {
      const QString secret = env.home() + "/secret.ini";
      QVERIFY(WriteFileBytes(secret, "[A]\r\nb=1\r\n", nullptr));
      QFile::setPermissions(secret, QFileDevice::WriteOwner);
      const IniFile locked(secret);
      QVERIFY(locked.errorString().startsWith("Cannot open file \"" + secret + "\". "));
      QCOMPARE(locked.ReadString("A", "b", "def"), QStringLiteral("def"));
    }
  }

  // An ini file that exists but cannot be read reads as defaults, and those defaults
  // never replace it: the month's goal and days stay on disk.
  void unreadableFileIsNeverReplaced() {
    TestEnv env;
    const QString path = env.home() + "/Y2009M5.ini";
    const QByteArray old("[M5]\r\nGoal=140\r\nD3=152\r\n");
    QVERIFY(WriteFileBytes(path, old, nullptr));
    if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
    IniFile ini(path);
    QCOMPARE(ini.errorString(), CannotOpenMessage(path, "Permission denied"));
    QCOMPARE(ini.ReadFloat("M5", "Goal", 150), 150.0);
    ini.WriteFloat("M5", "D4", 151);
    QVERIFY(!ini.UpdateFile());
    QVERIFY2(ini.errorString().startsWith("Cannot create file \"" + path + "\". It could not "
                                          "be read"),
             qPrintable(ini.errorString()));
    MakeReadable(path);
    QCOMPARE(FileBytes(path), old);
  }

  void fileBeyondItsSaneSizeIsReadOnly() {
    TestEnv env;
    const QString path = env.home() + "/big.ini";
    QByteArray bytes = "[A]\r\nb=1\r\n";
    while (bytes.size() <= kSaneIniBytes) bytes += "; a comment nobody wrote by hand\r\n";
    QVERIFY(WriteFileBytes(path, bytes, nullptr));
    IniFile ini(path);
    QVERIFY(ini.errorString().isEmpty());
    QCOMPARE(ini.ReadInteger("A", "b", 0), 1);
    QVERIFY(IsReadOnlyFile(path));
    ini.WriteInteger("A", "b", 2);
    QVERIFY(!ini.UpdateFile());
    QCOMPARE(FileBytes(path), bytes);
  }

  void updateFileFailureKeepsOld() {
    TestEnv env;
    const QString file = env.home() + "/plain";
    QVERIFY(WriteFileBytes(file, "old", nullptr));
    const QString path = file + "/app.ini";  // under a file: can never be created
    IniFile ini(path);
    QVERIFY(ini.errorString().isEmpty());
    ini.WriteInteger("A", "b", 1);
    QVERIFY(!ini.UpdateFile());
    QVERIFY2(ini.errorString().startsWith("Cannot create file \"" + path + "\". "),
             qPrintable(ini.errorString()));
    QCOMPARE(FileBytes(file), QByteArray("old"));
    // Content stays in memory.
    QCOMPARE(ini.ReadInteger("A", "b", 0), 1);

    IniFile noPath;
    noPath.WriteInteger("A", "b", 1);
    QVERIFY(!noPath.UpdateFile());
    QVERIFY(noPath.errorString().startsWith("Cannot create file"));
  }

  void loadFromDevice() {
    QByteArray bytes("[A]\r\nb=2\r\n");
    QBuffer buffer(&bytes);
    IniFile ini;
    ini.WriteString("Old", "k", "v");
    QVERIFY(ini.Load(&buffer));
    QCOMPARE(ini.ReadInteger("A", "b", 0), 2);
    QVERIFY(!ini.SectionExists("Old"));
    QVERIFY(!ini.Load(nullptr));
    QVERIFY(!ini.errorString().isEmpty());
    QVERIFY(ini.Sections().isEmpty());
  }

  void rereadAfterUpdate() {
    TestEnv env;
    const QString path = env.home() + "/round.ini";
    QVERIFY(WriteFileBytes(path, "[A]\nx=1\n\n[B]\ny=2", nullptr));
    IniFile ini(path);
    ini.WriteString("A", "z", "3");
    ini.WriteString("B", "y", "20");
    QVERIFY(ini.UpdateFile());
    QCOMPARE(FileBytes(path), QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=20\r\n"));
  }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "test_inifile.moc"
