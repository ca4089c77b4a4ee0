#pragma once
// The user's settings (application.ini in the Config folder), the brand texts
// (brand.ini in the program's Brand folder), the session-start entry and the unit
// labels.

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

#include "core/inifile.h"
#include "core/cyclemodel.h"
#include "core/units.h"

inline constexpr const char* kDefaultToDoCategories =
    "Today,Tomorrow,Yesterday,, @Home,@Work,@Play,@Family,@School,@Other";

// The last-period picker's range.
QDate LastPeriodMinimum();  // 1 January 2004
QDate LastPeriodMaximum();  // 31 December 2099

class Config {
 public:
  // LoadSettings, then SaveSettings at once, so the file holds every key after the
  // first start. A failed first save is kept in lastError(). A file that exists but
  // cannot be read gives the defaults and lastError() the reading message; it is not
  // written then, nor later (its saves are refused). When some values could not be
  // read (UnreadableValues), lastError() says so after a good first save, so that the
  // start-up error box tells her why they show their defaults.
  explicit Config(const QString& iniPath);
  // The settings that an application.ini's bytes hold, for reading only (a backup, an
  // export): nothing is ever written from it.
  static Config FromBytes(const QByteArray& bytes);

  // Off until she asks for it (a fertility organiser should not start itself on a
  // shared computer unasked); a file of before that lacks the key keeps the old default.
  bool AutoStart = false;
  QString TemperatureUnits = "F";
  QString MeasureUnits = "I";
  QString BedSound = "Waves";
  QString WakeUpSound = "Buzz";
  QString FeedSound = "DrinkGulp";
  // The body height, a whole number in BmiHeightUnits ([BMI] Height_Units when the
  // height was written in another system than the unmarked one).
  int BmiHeight = 72;
  UnitSystem BmiHeightUnits = UnitSystem::Imperial;
  QString ToDoCategories = kDefaultToDoCategories;
  // The calendar's four settings; the footer edits them in place.
  CycleSettings Cycle;

  void LoadSettings();
  // Writes every key and flushes the file (nothing when no value changed); false with
  // lastError() (the user's message) when the file cannot be written.
  bool SaveSettings();
  QString lastError() const { return error_; }
  const QString& path() const { return ini_.path(); }
  // The file was not there when this start read the settings: she is new here.
  bool FirstStart() const { return !existed_; }

  QString WeightUnitLabel() const;  // "lbs" for MeasureUnits "I", else "kg"
  QString LengthUnitLabel() const;  // "inches" for "I", else "cm"

  // The Temperature_Units of a settings file, read without writing anything ("F" when
  // the file or the key is missing): for commands that only read.
  static QString StoredTemperatureUnits(const QString& iniPath);
  // The system numbers are shown in (MeasureUnits).
  UnitSystem Units() const { return UnitSystemOf(MeasureUnits); }
  // The system of records that carry no unit mark (core/units.h): [Application]
  // Unmarked_Units, which is written the first time Measure_Units changes (as the units
  // every record was written in until then); before that, the stored Measure_Units.
  UnitSystem UnmarkedUnits() const;
  // The height in a system, exactly converted; and a height typed in a system.
  double BmiHeightIn(UnitSystem system) const;
  void SetBmiHeight(int height, UnitSystem system);

  // Values that are in the file but could not be read ("ui_LastPeriod=soon"): each
  // shows its default and keeps its text in the file until it is changed. One line
  // per value: section, key and the stored text.
  QStringList UnreadableValues() const;
  // Whether the last-period date shown is a stand-in for a stored text that is not a
  // date (the shell marks its picker so).
  bool LastPeriodUnreadable() const;

  // Clamps a stored value into a spinner's range.
  static int ClampCycleLength(int v);
  static int ClampLuteal(int v);

 private:
  // A value the file holds that could not be read: the stand-in it got, so that a save
  // leaves the stored text alone while the value is still that stand-in.
  struct Unreadable {
    QString section;
    QString key;
    QString text;
    QString standIn;
  };
  void NoteUnreadable(const QString& section, const QString& key, IniFile::ValueKind kind,
                      const QString& standIn);
  // Whether a key is written: not while it keeps the stand-in of an unreadable value.
  bool Keeps(const QString& key, const QString& value) const;

  Config() = default;
  IniFile ini_;
  QString error_;
  bool existed_ = false;  // the file was there before this start
  QHash<QString, Unreadable> unreadable_;  // by key name, lower case
  QString storedMeasureUnits_;             // Measure_Units as the file holds it
  QString unmarkedUnits_;                  // Unmarked_Units, empty while there is none
};

// Brand texts: process-wide, defaults until LoadBrand reads the file.
struct BrandTexts {
  QString Caption = "Mavelo";
  QString Url = "https://www.mavelo.app/";
  QString ForumUrl = "https://www.mavelo.app/forum/";
};
BrandTexts& Brand();
// Reads [BRAND] APP_CAPTION, APP_URL, APP_URL_FORUM; missing keys keep their defaults.
void LoadBrand(const QString& brandIniPath);
// The main window caption: brand caption + " - plan your pregnancy and organize your life".
QString MainWindowCaption();

// Session start through the XDG autostart entry; the application title "Mavelo" names
// the entry. configHome is $XDG_CONFIG_HOME (default ~/.config) when empty.
QString AutoStartEntryPath(const QString& configHome = QString());
// Writes the entry (Exec = the quoted executable path); false when it cannot be written.
bool AddAutoStart(const QString& executablePath, const QString& configHome = QString());
// Deletes the user's entry and tries each system-wide one ($XDG_CONFIG_DIRS/autostart,
// default /etc/xdg), ignoring errors. A system entry that stays is hidden for this user
// by a "Hidden=true" entry of the user's own.
void RemoveAutoStart(const QString& configHome = QString());
// The Exec value that runs one program path (quoted and escaped for a desktop entry).
QString DesktopExecValue(const QString& program);

// The first and third numbers of the program's file version joined by ".".
QString FileVersionText();
