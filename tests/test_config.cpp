#include <QtTest>

#include "app/config.h"
#include "core/textfile.h"
#include "support/faults.h"
#include "support/testenv.h"

namespace {

QString ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

void WriteAll(const QString& path, const QString& text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text.toUtf8());
}

QString Today() { return QDate::currentDate().toString(Qt::ISODate); }

// Every loaded value as text, so a table can name the field it expects to change.
QMap<QString, QString> Fields(const Config& c) {
  return {{"AutoStart", c.AutoStart ? "1" : "0"},
          {"TemperatureUnits", c.TemperatureUnits},
          {"MeasureUnits", c.MeasureUnits},
          {"BedSound", c.BedSound},
          {"WakeUpSound", c.WakeUpSound},
          {"FeedSound", c.FeedSound},
          {"BmiHeight", QString::number(c.BmiHeight)},
          {"ToDoCategories", c.ToDoCategories},
          {"Goal", QString::number(c.Cycle.Goal)},
          {"LastPeriod", c.Cycle.LastPeriod.toString(Qt::ISODate)},
          {"CycleLength", QString::number(c.Cycle.CycleLength)},
          {"Luteal", QString::number(c.Cycle.LutealLength)}};
}

// The values of tests/data/config/full.ini.
const QMap<QString, QString> kFull = {
    {"AutoStart", "0"},          {"TemperatureUnits", "C"},
    {"MeasureUnits", "M"},       {"BedSound", "Rain"},
    {"WakeUpSound", "Rooster"},  {"FeedSound", "Lullaby"},
    {"BmiHeight", "66"},         {"ToDoCategories", "Home,Work,, @Garden"},
    {"Goal", "2"},               {"LastPeriod", "2009-03-14"},
    {"CycleLength", "31"},       {"Luteal", "12"}};

}  // namespace

class TestConfig : public QObject {
  Q_OBJECT
 private slots:
  void firstStartWritesEveryKey();
  void loadsEveryKey();
  void badValueGivesItsDefaultOnly_data();
  void badValueGivesItsDefaultOnly();
  void saveKeepsForeignLinesAndSpellings();
  void savedValuesReadBack();
  void saveFailureIsReported();
  void unreadableFileIsNeverReplaced();
  void datesOfEarlierVersionsReadInEveryLocale_data();
  void datesOfEarlierVersionsReadInEveryLocale();
  void unreadableValuesKeepTheirText();
  void firstChangeOfUnitsPinsTheUnmarkedOnes();
  void unitLabels_data();
  void unitLabels();
  void brand_data();
  void brand();
  void shippedBrandMatchesDefaults();
  void autoStartEntry();
  void autoStartExecQuoting_data();
  void autoStartExecQuoting();
  void removeAutoStartTriesSystemEntries();
  void addAutoStartFailure();
  void fileVersionText();
};

void TestConfig::firstStartWritesEveryKey() {
  TestEnv env;
  const QString path = env.dataRoot() + "Config/application.ini";
  QDir().mkpath(env.dataRoot() + "Config");
  Config config(path);
  QVERIFY2(config.lastError().isEmpty(), qPrintable(config.lastError()));

  const QString expected =
      "[Application]\r\nAutoStart=0\r\nTemperature_Units=F\r\nMeasure_Units=I\r\n\r\n"
      "[Calendar]\r\nui_Goal=0\r\nui_LastPeriod=" + Today() +
      "\r\nui_CycleLength=28\r\nui_luteal=14\r\n\r\n"
      "[Sound]\r\nBed=Waves\r\nWakeUp=Buzz\r\nfeed=DrinkGulp\r\n\r\n"
      "[ToDo]\r\nCategories=Today,Tomorrow,Yesterday,, @Home,@Work,@Play,@Family,@School,"
      "@Other\r\n\r\n"
      "[BMI]\r\nHeight=72\r\n";
  QCOMPARE(ReadAll(path), expected);

  QCOMPARE(config.Cycle.Goal, 0);
  QCOMPARE(config.Cycle.LastPeriod, QDate::currentDate());
  QCOMPARE(config.Cycle.CycleLength, 28);
  QCOMPARE(config.Cycle.LutealLength, 14);
  QCOMPARE(config.ToDoCategories, QString(kDefaultToDoCategories));
}

void TestConfig::loadsEveryKey() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  QVERIFY(QFile::copy(TestEnv::testData("config/full.ini"), path));
  Config config(path);
  QCOMPARE(Fields(config), kFull);
}

void TestConfig::badValueGivesItsDefaultOnly_data() {
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("value");  // null: the key line is removed
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("expected");  // "today": the current date

  QTest::newRow("AutoStart junk") << "AutoStart" << "yes" << "AutoStart" << "1";
  QTest::newRow("AutoStart 2 is true") << "AutoStart" << "2" << "AutoStart" << "1";
  QTest::newRow("AutoStart $0") << "AutoStart" << "$0" << "AutoStart" << "0";
  QTest::newRow("AutoStart missing") << "AutoStart" << QString() << "AutoStart" << "1";
  QTest::newRow("Temperature missing") << "Temperature_Units" << QString()
                                       << "TemperatureUnits" << "F";
  QTest::newRow("Measure missing") << "Measure_Units" << QString() << "MeasureUnits" << "I";
  QTest::newRow("Feed missing") << "Feed" << QString() << "FeedSound" << "DrinkGulp";
  QTest::newRow("Height junk") << "Height" << "tall" << "BmiHeight" << "72";
  QTest::newRow("Height hex") << "Height" << "0x40" << "BmiHeight" << "64";
  QTest::newRow("Height dollar hex") << "Height" << "$41" << "BmiHeight" << "65";
  QTest::newRow("Categories missing") << "Categories" << QString() << "ToDoCategories"
                                      << kDefaultToDoCategories;
  QTest::newRow("goal 3") << "ui_Goal" << "3" << "Goal" << "3";
  QTest::newRow("goal 4 is none") << "ui_Goal" << "4" << "Goal" << "-1";
  QTest::newRow("goal -1 is none") << "ui_Goal" << "-1" << "Goal" << "-1";
  QTest::newRow("goal junk") << "ui_Goal" << "boy" << "Goal" << "0";
  QTest::newRow("goal missing") << "ui_Goal" << QString() << "Goal" << "0";
  QTest::newRow("last period junk") << "ui_LastPeriod" << "soon" << "LastPeriod" << "today";
  QTest::newRow("last period 30 Feb") << "ui_LastPeriod" << "2/30/2009" << "LastPeriod"
                                       << "today";
  QTest::newRow("last period missing") << "ui_LastPeriod" << QString() << "LastPeriod"
                                       << "today";
  QTest::newRow("last period before range") << "ui_LastPeriod" << "12/31/2003"
                                            << "LastPeriod" << "2004-01-01";
  QTest::newRow("last period first day") << "ui_LastPeriod" << "1/1/2004" << "LastPeriod"
                                         << "2004-01-01";
  QTest::newRow("last period after 2020") << "ui_LastPeriod" << "6/1/2031" << "LastPeriod"
                                          << "2031-06-01";
  QTest::newRow("last period after range") << "ui_LastPeriod" << "1/1/2100" << "LastPeriod"
                                           << "2099-12-31";
  QTest::newRow("cycle 50") << "ui_CycleLength" << "50" << "CycleLength" << "40";
  QTest::newRow("cycle 5") << "ui_CycleLength" << "5" << "CycleLength" << "20";
  QTest::newRow("cycle 40") << "ui_CycleLength" << "40" << "CycleLength" << "40";
  QTest::newRow("cycle 20") << "ui_CycleLength" << "20" << "CycleLength" << "20";
  QTest::newRow("cycle junk") << "ui_CycleLength" << "4 weeks" << "CycleLength" << "28";
  QTest::newRow("luteal missing") << "ui_luteal" << QString() << "Luteal" << "14";
  QTest::newRow("luteal 50") << "ui_luteal" << "50" << "Luteal" << "18";
  QTest::newRow("luteal 5") << "ui_luteal" << "5" << "Luteal" << "10";
  QTest::newRow("luteal hex") << "ui_luteal" << "$10" << "Luteal" << "16";
}

void TestConfig::badValueGivesItsDefaultOnly() {
  QFETCH(QString, key);
  QFETCH(QString, value);
  QFETCH(QString, field);
  QFETCH(QString, expected);
  if (expected == "today") expected = QDate::currentDate().toString(Qt::ISODate);

  TestEnv env;
  QStringList lines = ReadAll(TestEnv::testData("config/full.ini")).split('\n');
  bool found = false;
  for (int i = 0; i < lines.size(); ++i) {
    if (!lines[i].startsWith(key + "=")) continue;
    found = true;
    if (value.isNull())
      lines.removeAt(i);
    else
      lines[i] = key + "=" + value;
    break;
  }
  QVERIFY2(found, qPrintable(key));
  const QString path = env.home() + "/application.ini";
  WriteAll(path, lines.join('\n'));

  Config config(path);
  QMap<QString, QString> want = kFull;
  want[field] = expected;
  QCOMPARE(Fields(config), want);
}

void TestConfig::saveKeepsForeignLinesAndSpellings() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  QVERIFY(QFile::copy(TestEnv::testData("config/full.ini"), path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  Config config(path);
  QVERIFY(config.lastError().isEmpty());

  const QStringList lines = ReadAll(path).split("\r\n");
  QVERIFY(lines.contains("; settings written by hand, every key away from its default"));
  QVERIFY(lines.contains("Theme=keep me"));
  QVERIFY(lines.contains("[Extra]"));
  QVERIFY(lines.contains("Note=left alone"));
  // The feed-sound key is one key however it is spelt: replaced where it stands.
  int feeds = 0;
  for (const QString& l : lines)
    if (l.startsWith("feed=", Qt::CaseInsensitive)) ++feeds;
  QCOMPARE(feeds, 1);
  QVERIFY(lines.contains("Feed=Lullaby"));
  // Keys keep their places: the Application section still opens the file's sections.
  QCOMPARE(lines.indexOf("[Application]"), 1);
  QVERIFY(lines.indexOf("Theme=keep me") > lines.indexOf("Measure_Units=M"));
}

void TestConfig::savedValuesReadBack() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  {
    Config config(path);
    config.AutoStart = false;
    config.TemperatureUnits = "C";
    config.MeasureUnits = "M";
    config.BedSound = "Rain";
    config.WakeUpSound = "Rooster";
    config.FeedSound = "Lullaby";
    config.BmiHeight = 180;
    config.ToDoCategories = "A,B,, @C";
    config.Cycle = CycleSettings{QDate(2031, 12, 24), 33, 11, -1};
    QVERIFY(config.SaveSettings());
  }
  Config again(path);
  QCOMPARE(Fields(again),
           (QMap<QString, QString>{{"AutoStart", "0"},        {"TemperatureUnits", "C"},
                                   {"MeasureUnits", "M"},     {"BedSound", "Rain"},
                                   {"WakeUpSound", "Rooster"}, {"FeedSound", "Lullaby"},
                                   {"BmiHeight", "180"},      {"ToDoCategories", "A,B,, @C"},
                                   {"Goal", "-1"},            {"LastPeriod", "2031-12-24"},
                                   {"CycleLength", "33"},     {"Luteal", "11"}}));
  QVERIFY(ReadAll(path).contains("ui_LastPeriod=2031-12-24\r\n"));
}

void TestConfig::saveFailureIsReported() {
  TestEnv env;
  // The Config "folder" is a file: nothing below it can be written.
  const QString blocker = env.home() + "/Config";
  WriteAll(blocker, "not a folder");
  const QString path = blocker + "/application.ini";
  Config config(path);
  QVERIFY(config.lastError().startsWith("Cannot create file \"" + path + "\". "));
  QCOMPARE(config.AutoStart, false);  // defaults all the same
  config.BmiHeight = 60;
  QVERIFY(!config.SaveSettings());
  QVERIFY(config.lastError().startsWith("Cannot create file \""));
  QCOMPARE(ReadAll(blocker), QString("not a folder"));
}

// Settings that cannot be read are not replaced by the defaults, neither at start nor
// by a later save; the user is told once why the defaults are shown and once that the
// save was refused.
void TestConfig::unreadableFileIsNeverReplaced() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  QVERIFY(QFile::copy(TestEnv::testData("config/full.ini"), path));
  const QByteArray old = [&] {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
  Config config(path);
  QCOMPARE(config.lastError(), CannotOpenMessage(path, "Permission denied"));
  QCOMPARE(config.MeasureUnits, QString("I"));  // the defaults, in memory only
  config.Cycle.CycleLength = 30;
  QVERIFY(!config.SaveSettings());
  QVERIFY2(config.lastError().startsWith("Cannot create file \"" + path + "\". It could not "
                                         "be read"),
           qPrintable(config.lastError()));
  QVERIFY(!config.SaveSettings());
  MakeReadable(path);
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), old);
}

void TestConfig::datesOfEarlierVersionsReadInEveryLocale_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("stored");
  QTest::addColumn<QDate>("date");
  // The en_US short date of files made before, under another language.
  QTest::newRow("de_DE, 28 November") << "de_DE" << "11/28/2026" << QDate(2026, 11, 28);
  QTest::newRow("fr_FR, 28 November") << "fr_FR" << "11/28/2026" << QDate(2026, 11, 28);
  QTest::newRow("fr_FR, 5 December") << "fr_FR" << "12/5/2026" << QDate(2026, 12, 5);
  // The locale's own short date, as an earlier version wrote it there.
  QTest::newRow("de_DE, its own") << "de_DE" << "28.11.2026" << QDate(2026, 11, 28);
  QTest::newRow("en_US, ISO") << "en_US" << "2026-11-28" << QDate(2026, 11, 28);
}

// One start in another language neither misreads the last period nor rewrites it.
void TestConfig::datesOfEarlierVersionsReadInEveryLocale() {
  QFETCH(QString, locale);
  QFETCH(QString, stored);
  QFETCH(QDate, date);
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  QStringList lines = ReadAll(TestEnv::testData("config/full.ini")).split('\n');
  for (QString& line : lines)
    if (line.startsWith("ui_LastPeriod=")) line = "ui_LastPeriod=" + stored;
  WriteAll(path, lines.join('\n'));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  {
    Config first(path);  // as a start: read, then written at once
  }
  const QString after = ReadAll(path);
  QLocale::setDefault(QLocale(locale));
  Config config(path);
  QCOMPARE(config.Cycle.LastPeriod, date);
  QVERIFY(config.lastError().isEmpty());
  QVERIFY(config.SaveSettings());
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QCOMPARE(ReadAll(path), after);
  QVERIFY(after.contains("ui_LastPeriod=" + stored + "\r\n"));
  // A new date is written in one form for every locale.
  config.Cycle.LastPeriod = QDate(2026, 12, 24);
  QVERIFY(config.SaveSettings());
  QVERIFY(ReadAll(path).contains("ui_LastPeriod=2026-12-24\r\n"));
}

// A value that cannot be read shows its default, the start-up box says which, and the
// file keeps its text until she sets the value: it is never replaced by the default.
void TestConfig::unreadableValuesKeepTheirText() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  QString text = ReadAll(TestEnv::testData("config/full.ini"));
  text.replace(QRegularExpression("ui_LastPeriod=[^\\r\\n]*"), "ui_LastPeriod=soon");
  text.replace(QRegularExpression("Height=[^\\r\\n]*"), "Height=tall");
  WriteAll(path, text);
  Config config(path);
  QCOMPARE(config.Cycle.LastPeriod, QDate::currentDate());
  QCOMPARE(config.BmiHeight, 72);
  QVERIFY(config.LastPeriodUnreadable());
  QCOMPARE(config.UnreadableValues(),
           (QStringList{"[BMI] Height=tall", "[Calendar] ui_LastPeriod=soon"}));
  QVERIFY2(config.lastError().contains("could not be read") &&
               config.lastError().contains("ui_LastPeriod=soon"),
           qPrintable(config.lastError()));
  config.Cycle.CycleLength = 30;
  QVERIFY(config.SaveSettings());
  QVERIFY(config.lastError().isEmpty());
  QString saved = ReadAll(path);
  QVERIFY(saved.contains("ui_LastPeriod=soon\r\n"));
  QVERIFY(saved.contains("Height=tall\r\n"));
  QVERIFY(saved.contains("ui_CycleLength=30\r\n"));
  // Set by her, the value is written.
  config.Cycle.LastPeriod = QDate(2026, 11, 28);
  QVERIFY(config.SaveSettings());
  QVERIFY(!config.LastPeriodUnreadable());
  saved = ReadAll(path);
  QVERIFY(saved.contains("ui_LastPeriod=2026-11-28\r\n"));
  QVERIFY(saved.contains("Height=tall\r\n"));
}

// Records carry no unit mark while they are in the units they were always written in;
// the first change of units writes down which those are, once.
void TestConfig::firstChangeOfUnitsPinsTheUnmarkedOnes() {
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  Config config(path);
  QVERIFY(config.UnmarkedUnits() == UnitSystem::Imperial);
  QVERIFY(!ReadAll(path).contains("Unmarked_Units"));
  config.MeasureUnits = "M";
  // Not saved yet: what is on disk was written in pounds.
  QVERIFY(config.UnmarkedUnits() == UnitSystem::Imperial);
  QVERIFY(config.SaveSettings());
  QVERIFY(ReadAll(path).contains("Measure_Units=M\r\nUnmarked_Units=I\r\n"));
  config.MeasureUnits = "I";
  QVERIFY(config.SaveSettings());
  config.MeasureUnits = "M";
  QVERIFY(config.SaveSettings());
  Config again(path);
  QVERIFY(again.Units() == UnitSystem::Metric);
  QVERIFY(again.UnmarkedUnits() == UnitSystem::Imperial);
  QCOMPARE(ReadAll(path).count("Unmarked_Units"), 1);
  // A height set in centimetres says so; in inches, the unmarked units, it does not.
  again.SetBmiHeight(170, UnitSystem::Metric);
  QVERIFY(again.SaveSettings());
  QVERIFY(ReadAll(path).contains("[BMI]\r\nHeight=170\r\nHeight_Units=cm\r\n"));
  QCOMPARE(Config(path).BmiHeightIn(UnitSystem::Imperial), 170 / 2.54);
  again.SetBmiHeight(67, UnitSystem::Imperial);
  QVERIFY(again.SaveSettings());
  QVERIFY(ReadAll(path).contains("[BMI]\r\nHeight=67\r\n"));
  QVERIFY(!ReadAll(path).contains("Height_Units"));

  // Someone metric from the start has unmarked metric records.
  const QString metric = env.home() + "/metric.ini";
  WriteAll(metric, "[Application]\r\nMeasure_Units=M\r\n[BMI]\r\nHeight=168\r\n");
  Config m(metric);
  QVERIFY(m.UnmarkedUnits() == UnitSystem::Metric);
  QCOMPARE(m.BmiHeightIn(UnitSystem::Metric), 168.0);
}

void TestConfig::unitLabels_data() {
  QTest::addColumn<QString>("units");
  QTest::addColumn<QString>("weight");
  QTest::addColumn<QString>("length");
  QTest::newRow("I") << "I" << "lbs" << "inches";
  QTest::newRow("M") << "M" << "kg" << "cm";
  QTest::newRow("lower-case i") << "i" << "kg" << "cm";
  QTest::newRow("empty") << "" << "kg" << "cm";
}

void TestConfig::unitLabels() {
  QFETCH(QString, units);
  QFETCH(QString, weight);
  QFETCH(QString, length);
  TestEnv env;
  const QString path = env.home() + "/application.ini";
  WriteAll(path, "[Application]\nMeasure_Units=" + units + "\n");
  Config config(path);
  QCOMPARE(config.MeasureUnits, units);
  QCOMPARE(config.WeightUnitLabel(), weight);
  QCOMPARE(config.LengthUnitLabel(), length);
}

void TestConfig::brand_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("url");
  QTest::addColumn<QString>("forum");
  const BrandTexts d;
  QTest::newRow("caption only") << "config/brand_caption_only.ini" << "Pinkly" << d.Url
                                << d.ForumUrl;
  QTest::newRow("all keys, any case") << "config/brand_full.ini" << "Pinkly"
                                      << "https://example.org/home"
                                      << "https://example.org/talk";
  QTest::newRow("missing file") << "config/no_such_brand.ini" << d.Caption << d.Url
                                << d.ForumUrl;
}

void TestConfig::brand() {
  QFETCH(QString, file);
  QFETCH(QString, caption);
  QFETCH(QString, url);
  QFETCH(QString, forum);
  // A full brand first: a later file without a key goes back to the built-in text.
  LoadBrand(TestEnv::testData("config/brand_full.ini"));
  LoadBrand(TestEnv::testData(file));
  QCOMPARE(Brand().Caption, caption);
  QCOMPARE(Brand().Url, url);
  QCOMPARE(Brand().ForumUrl, forum);
  QCOMPARE(MainWindowCaption(), caption + " - plan your pregnancy and organize your life");
}

void TestConfig::shippedBrandMatchesDefaults() {
  LoadBrand(TestEnv::testData("config/brand_full.ini"));
  LoadBrand(TestEnv::programFolder() + "Brand/brand.ini");
  const BrandTexts d;
  QCOMPARE(Brand().Caption, QString("Mavelo"));
  QCOMPARE(Brand().Url, d.Url);
  QCOMPARE(Brand().ForumUrl, d.ForumUrl);
  QVERIFY(d.Url.startsWith("https://"));
  QVERIFY(d.ForumUrl.startsWith("https://"));
}

void TestConfig::autoStartEntry() {
  TestEnv env;
  qputenv("XDG_CONFIG_DIRS", (env.home() + "/etc-xdg").toLocal8Bit());
  const QString entry = env.configHome() + "/autostart/Mavelo.desktop";
  QCOMPARE(AutoStartEntryPath(), entry);
  QVERIFY(!QFileInfo::exists(env.configHome() + "/autostart"));

  QVERIFY(AddAutoStart("/opt/Mavelo/bin/mavelo"));
  const QStringList lines = ReadAll(entry).split('\n');
  QCOMPARE(lines.value(0), QString("[Desktop Entry]"));
  QVERIFY(lines.contains("Type=Application"));
  QVERIFY(lines.contains("Name=Mavelo"));
  QVERIFY(lines.contains("Exec=\"/opt/Mavelo/bin/mavelo\""));

  // Adding again replaces the entry rather than adding a second one.
  QVERIFY(AddAutoStart("/usr/bin/mavelo"));
  QCOMPARE(ReadAll(entry).count("Exec="), 1);
  QVERIFY(ReadAll(entry).contains("Exec=\"/usr/bin/mavelo\"\n"));

  RemoveAutoStart();
  QVERIFY(!QFileInfo::exists(entry));
  RemoveAutoStart();  // nothing to remove: quietly nothing
  QVERIFY(!QFileInfo::exists(entry));
  qunsetenv("XDG_CONFIG_DIRS");
}

void TestConfig::autoStartExecQuoting_data() {
  QTest::addColumn<QString>("program");
  QTest::addColumn<QString>("exec");
  QTest::newRow("plain") << "/usr/bin/mavelo" << "\"/usr/bin/mavelo\"";
  QTest::newRow("space") << "/home/ann/My Apps/mavelo" << "\"/home/ann/My Apps/mavelo\"";
  QTest::newRow("double quote") << "/opt/a\"b/mavelo" << "\"/opt/a\\\\\"b/mavelo\"";
  QTest::newRow("dollar") << "/opt/$HOME/mavelo" << "\"/opt/\\\\$HOME/mavelo\"";
  QTest::newRow("backquote") << "/opt/`x`/mavelo" << "\"/opt/\\\\`x\\\\`/mavelo\"";
  QTest::newRow("backslash") << "/opt/a\\b/mavelo" << "\"/opt/a\\\\\\\\b/mavelo\"";
  QTest::newRow("percent") << "/opt/100%/mavelo" << "\"/opt/100%%/mavelo\"";
}

void TestConfig::autoStartExecQuoting() {
  QFETCH(QString, program);
  QFETCH(QString, exec);
  QCOMPARE(DesktopExecValue(program), exec);
  TestEnv env;
  QVERIFY(AddAutoStart(program));
  QVERIFY(ReadAll(AutoStartEntryPath()).split('\n').contains("Exec=" + exec));
}

void TestConfig::removeAutoStartTriesSystemEntries() {
  TestEnv env;
  const QString sysA = env.home() + "/sysA", sysB = env.home() + "/sysB";
  qputenv("XDG_CONFIG_DIRS", (sysA + ":" + sysB).toLocal8Bit());
  const QString user = AutoStartEntryPath();

  // A removable system entry goes; no user entry is left behind.
  WriteAll(sysA + "/autostart/Mavelo.desktop", "[Desktop Entry]\nExec=mavelo\n");
  WriteAll(sysA + "/autostart/Other.desktop", "[Desktop Entry]\nExec=other\n");
  QVERIFY(AddAutoStart("/usr/bin/mavelo"));
  RemoveAutoStart();
  QVERIFY(!QFileInfo::exists(user));
  QVERIFY(!QFileInfo::exists(sysA + "/autostart/Mavelo.desktop"));
  QVERIFY(QFileInfo::exists(sysA + "/autostart/Other.desktop"));

  // One that cannot be deleted (here a folder in its place) is hidden for this user.
  QVERIFY(QDir().mkpath(sysB + "/autostart/Mavelo.desktop/inside"));
  RemoveAutoStart();
  QVERIFY(ReadAll(user).split('\n').contains("Hidden=true"));
  QVERIFY(QFileInfo(sysB + "/autostart/Mavelo.desktop").isDir());
  // Adding again turns it back on.
  QVERIFY(AddAutoStart("/usr/bin/mavelo"));
  QVERIFY(!ReadAll(user).contains("Hidden"));
  qunsetenv("XDG_CONFIG_DIRS");
}

void TestConfig::addAutoStartFailure() {
  TestEnv env;
  const QString blocker = env.home() + "/notafolder";
  WriteAll(blocker, "x");
  QVERIFY(!AddAutoStart("/usr/bin/mavelo", blocker));
  QCOMPARE(ReadAll(blocker), QString("x"));
}

void TestConfig::fileVersionText() {
  // The build's version is 2026.12.0.1: the first and third numbers.
  QCOMPARE(FileVersionText(), QString("%1.%2").arg(MAVELO_VERSION_MAJOR).arg(MAVELO_VERSION_PATCH));
  QVERIFY(QRegularExpression("^\\d+\\.\\d+$").match(FileVersionText()).hasMatch());
}

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
