#include "app/config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/clock.h"
#include "core/textfile.h"
#include "core/textutil.h"

namespace {

const QString kApplication = QStringLiteral("Application");
const QString kCalendar = QStringLiteral("Calendar");
const QString kSound = QStringLiteral("Sound");
const QString kToDo = QStringLiteral("ToDo");
const QString kBMI = QStringLiteral("BMI");

constexpr int kCycleMin = 20, kCycleMax = 40;
constexpr int kLutealMin = 10, kLutealMax = 18;

// The application title names the autostart entry.
const QString kEntryName = QStringLiteral("Mavelo.desktop");

QString ConfigHome(const QString& given) {
  if (!given.isEmpty()) return given;
  const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!env.isEmpty() && QDir::isAbsolutePath(env)) return env;
  return QDir::homePath() + "/.config";
}

// The system-wide autostart folders: each of $XDG_CONFIG_DIRS (default /etc/xdg).
QStringList SystemAutoStartEntries() {
  QStringList dirs = qEnvironmentVariable("XDG_CONFIG_DIRS").split(':', Qt::SkipEmptyParts);
  if (dirs.isEmpty()) dirs << QStringLiteral("/etc/xdg");
  QStringList out;
  for (const QString& d : dirs)
    if (QDir::isAbsolutePath(d)) out << QDir::cleanPath(d) + "/autostart/" + kEntryName;
  return out;
}

bool WriteEntry(const QString& path, const QString& text) {
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QString error;
  return WriteTextFile(path, text, &error);
}

}  // namespace

QDate LastPeriodMinimum() { return QDate(2004, 1, 1); }
QDate LastPeriodMaximum() { return QDate(2099, 12, 31); }

Config::Config(const QString& iniPath) : ini_(iniPath), existed_(QFileInfo::exists(iniPath)) {
  LoadSettings();
  // A file that is there but could not be read is not replaced by the defaults: the
  // user is told why the settings are the defaults, and the file stays as it is (the
  // file layer refuses later saves over it too).
  if (!ini_.errorString().isEmpty()) {
    error_ = ini_.errorString();
    return;
  }
  if (!SaveSettings() || unreadable_.isEmpty()) return;
  error_ = QStringLiteral("Some settings in \"%1\" could not be read. They show their "
                          "defaults and are kept in the file as they stand until you "
                          "change them:\n")
               .arg(QDir::toNativeSeparators(ini_.path())) +
           UnreadableValues().join(u'\n');
}

QString Config::StoredTemperatureUnits(const QString& iniPath) {
  return IniFile(iniPath).ReadString(kApplication, QStringLiteral("Temperature_Units"), "F");
}

Config Config::FromBytes(const QByteArray& bytes) {
  Config c;
  c.ini_.LoadBytes(bytes);
  c.LoadSettings();
  return c;
}

int Config::ClampCycleLength(int v) { return qBound(kCycleMin, v, kCycleMax); }
int Config::ClampLuteal(int v) { return qBound(kLutealMin, v, kLutealMax); }

void Config::NoteUnreadable(const QString& section, const QString& key,
                            IniFile::ValueKind kind, const QString& standIn) {
  if (ini_.ValueReadable(section, key, kind)) return;
  unreadable_.insert(key.toLower(),
                     {section, key, ini_.ReadString(section, key, QString()), standIn});
}

bool Config::Keeps(const QString& key, const QString& value) const {
  const auto it = unreadable_.constFind(key.toLower());
  return it != unreadable_.constEnd() && it->standIn == value;
}

void Config::LoadSettings() {
  using Kind = IniFile::ValueKind;
  unreadable_.clear();
  AutoStart = ini_.ReadBool(kApplication, QStringLiteral("AutoStart"), existed_);
  NoteUnreadable(kApplication, QStringLiteral("AutoStart"), Kind::Integer,
                 AutoStart ? QStringLiteral("1") : QStringLiteral("0"));
  TemperatureUnits = ini_.ReadString(kApplication, QStringLiteral("Temperature_Units"), "F");
  MeasureUnits = ini_.ReadString(kApplication, QStringLiteral("Measure_Units"), "I");
  storedMeasureUnits_ = MeasureUnits;
  unmarkedUnits_ = ini_.ReadString(kApplication, QStringLiteral("Unmarked_Units"), QString());
  BedSound = ini_.ReadString(kSound, QStringLiteral("Bed"), "Waves");
  WakeUpSound = ini_.ReadString(kSound, QStringLiteral("WakeUp"), "Buzz");
  FeedSound = ini_.ReadString(kSound, QStringLiteral("Feed"), "DrinkGulp");
  BmiHeight = ini_.ReadInteger(kBMI, QStringLiteral("Height"), 72);
  NoteUnreadable(kBMI, QStringLiteral("Height"), Kind::Integer, QString::number(BmiHeight));
  BmiHeightUnits =
      RecordUnits(ini_.ReadString(kBMI, QStringLiteral("Height_Units"), QString()),
                  UnmarkedUnits());

  const int goal = ini_.ReadInteger(kCalendar, QStringLiteral("ui_Goal"), 0);
  Cycle.Goal = (goal >= 0 && goal <= 3) ? goal : kGoalNone;
  NoteUnreadable(kCalendar, QStringLiteral("ui_Goal"), Kind::Integer,
                 QString::number(Cycle.Goal));
  // The picker cannot show a date outside its range; the nearest end is kept instead.
  const QDate last = ini_.ReadDate(kCalendar, QStringLiteral("ui_LastPeriod"),
                                   Clock::Today());
  Cycle.LastPeriod = last.isValid()
                         ? qBound(LastPeriodMinimum(), last, LastPeriodMaximum())
                         : qBound(LastPeriodMinimum(), Clock::Today(), LastPeriodMaximum());
  NoteUnreadable(kCalendar, QStringLiteral("ui_LastPeriod"), Kind::Date,
                 StoredDateText(Cycle.LastPeriod));
  Cycle.CycleLength =
      ClampCycleLength(ini_.ReadInteger(kCalendar, QStringLiteral("ui_CycleLength"), 28));
  NoteUnreadable(kCalendar, QStringLiteral("ui_CycleLength"), Kind::Integer,
                 QString::number(Cycle.CycleLength));
  Cycle.LutealLength =
      ClampLuteal(ini_.ReadInteger(kCalendar, QStringLiteral("ui_luteal"), 14));
  NoteUnreadable(kCalendar, QStringLiteral("ui_luteal"), Kind::Integer,
                 QString::number(Cycle.LutealLength));

  ToDoCategories =
      ini_.ReadString(kToDo, QStringLiteral("Categories"), kDefaultToDoCategories);
}

bool Config::SaveSettings() {
  // A value that could not be read keeps its text while it still shows its stand-in;
  // once she sets it, it is written and read again like any other.
  auto put = [this](const QString& section, const QString& key, const QString& value) {
    if (Keeps(key, value)) return;
    unreadable_.remove(key.toLower());
    ini_.WriteString(section, key, value);
  };
  put(kApplication, QStringLiteral("AutoStart"),
      AutoStart ? QStringLiteral("1") : QStringLiteral("0"));
  put(kCalendar, QStringLiteral("ui_Goal"), QString::number(Cycle.Goal));
  if (!Keeps(QStringLiteral("ui_LastPeriod"), StoredDateText(Cycle.LastPeriod))) {
    unreadable_.remove(QStringLiteral("ui_lastperiod"));
    ini_.WriteDate(kCalendar, QStringLiteral("ui_LastPeriod"), Cycle.LastPeriod);
  }
  put(kCalendar, QStringLiteral("ui_CycleLength"), QString::number(Cycle.CycleLength));
  put(kCalendar, QStringLiteral("ui_luteal"), QString::number(Cycle.LutealLength));
  ini_.WriteString(kSound, QStringLiteral("Bed"), BedSound);
  ini_.WriteString(kSound, QStringLiteral("WakeUp"), WakeUpSound);
  ini_.WriteString(kSound, QStringLiteral("feed"), FeedSound);
  ini_.WriteString(kToDo, QStringLiteral("Categories"), ToDoCategories);
  ini_.WriteString(kApplication, QStringLiteral("Temperature_Units"), TemperatureUnits);
  // The first change of units pins the system every record without a mark was written
  // in: the units stored until now.
  if (unmarkedUnits_.isEmpty() && UnitSystemOf(MeasureUnits) != UnitSystemOf(storedMeasureUnits_))
    unmarkedUnits_ = MeasureUnitsKey(UnitSystemOf(storedMeasureUnits_));
  ini_.WriteString(kApplication, QStringLiteral("Measure_Units"), MeasureUnits);
  if (!unmarkedUnits_.isEmpty())
    ini_.WriteString(kApplication, QStringLiteral("Unmarked_Units"), unmarkedUnits_);
  storedMeasureUnits_ = MeasureUnits;
  put(kBMI, QStringLiteral("Height"), QString::number(BmiHeight));
  if (BmiHeightUnits != UnmarkedUnits())
    ini_.WriteString(kBMI, QStringLiteral("Height_Units"), HeightUnitMark(BmiHeightUnits));
  else
    ini_.DeleteKey(kBMI, QStringLiteral("Height_Units"));
  if (ini_.UpdateFile()) {
    error_.clear();
    return true;
  }
  error_ = ini_.errorString();
  return false;
}

UnitSystem Config::UnmarkedUnits() const {
  return UnitSystemOf(unmarkedUnits_.isEmpty() ? storedMeasureUnits_ : unmarkedUnits_);
}

double Config::BmiHeightIn(UnitSystem system) const {
  return ConvertHeight(BmiHeight, BmiHeightUnits, system);
}

void Config::SetBmiHeight(int height, UnitSystem system) {
  BmiHeight = height;
  BmiHeightUnits = system;
}

QStringList Config::UnreadableValues() const {
  QStringList out;
  for (const Unreadable& u : unreadable_)
    out << QStringLiteral("[%1] %2=%3").arg(u.section, u.key, u.text);
  out.sort();
  return out;
}

bool Config::LastPeriodUnreadable() const {
  return unreadable_.contains(QStringLiteral("ui_lastperiod"));
}

QString Config::WeightUnitLabel() const {
  return MeasureUnits == QLatin1String("I") ? QStringLiteral("lbs") : QStringLiteral("kg");
}

QString Config::LengthUnitLabel() const {
  return MeasureUnits == QLatin1String("I") ? QStringLiteral("inches") : QStringLiteral("cm");
}

BrandTexts& Brand() {
  static BrandTexts brand;
  return brand;
}

void LoadBrand(const QString& brandIniPath) {
  const BrandTexts defaults;
  const IniFile ini(brandIniPath);
  const QString section = QStringLiteral("BRAND");
  BrandTexts& brand = Brand();
  brand.Caption = ini.ReadString(section, QStringLiteral("APP_CAPTION"), defaults.Caption);
  brand.Url = ini.ReadString(section, QStringLiteral("APP_URL"), defaults.Url);
  brand.ForumUrl = ini.ReadString(section, QStringLiteral("APP_URL_FORUM"), defaults.ForumUrl);
}

QString MainWindowCaption() {
  return Brand().Caption + QStringLiteral(" - plan your pregnancy and organize your life");
}

QString AutoStartEntryPath(const QString& configHome) {
  return ConfigHome(configHome) + "/autostart/" + kEntryName;
}

// The Exec value of a desktop entry for one program path: quoted, with the characters
// that quoting reserves escaped, then the string-value escapes on top (so a backslash in
// the path is written as four), and "%" doubled so it is not read as a field code.
QString DesktopExecValue(const QString& program) {
  QString quoted = QStringLiteral("\"");
  for (const QChar c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  QString out;
  for (const QChar c : quoted) {
    if (c == '\\') out += QStringLiteral("\\\\");
    else if (c == '\n') out += QStringLiteral("\\n");
    else if (c == '\t') out += QStringLiteral("\\t");
    else if (c == '\r') out += QStringLiteral("\\r");
    else if (c == '%') out += QStringLiteral("%%");
    else out += c;
  }
  return out;
}

bool AddAutoStart(const QString& executablePath, const QString& configHome) {
  const QString text = QStringLiteral(
                           "[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=Mavelo\n"
                           "Comment=Plan your pregnancy and organize your life\n"
                           "Exec=%1\n"
                           "Terminal=false\n"
                           "X-GNOME-Autostart-enabled=true\n")
                           .arg(DesktopExecValue(executablePath));
  return WriteEntry(AutoStartEntryPath(configHome), text);
}

void RemoveAutoStart(const QString& configHome) {
  const QString user = AutoStartEntryPath(configHome);
  QFile::remove(user);
  bool systemLeft = false;
  for (const QString& entry : SystemAutoStartEntries()) {
    if (!QFileInfo::exists(entry)) continue;
    QFile::remove(entry);  // needs the administrator; failure is expected and ignored
    if (QFileInfo::exists(entry)) systemLeft = true;
  }
  // A system-wide entry this user cannot delete is switched off for this user only.
  if (systemLeft)
    WriteEntry(user, QStringLiteral("[Desktop Entry]\nType=Application\nName=Mavelo\n"
                                    "Hidden=true\n"));
}

QString FileVersionText() {
#if defined(MAVELO_VERSION_MAJOR) && defined(MAVELO_VERSION_PATCH)
  return QStringLiteral("%1.%2").arg(MAVELO_VERSION_MAJOR).arg(MAVELO_VERSION_PATCH);
#else
  return QString();
#endif
}
