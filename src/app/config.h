#pragma once
// The user's settings (application.ini in the Config folder), the brand texts
// (brand.ini in the program's Brand folder), the session-start entry and the unit
// labels.

#include <QString>
#include <memory>

#include "core/inifile.h"
#include "core/cyclemodel.h"

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
  // written then, nor later (its saves are refused).
  explicit Config(const QString& iniPath);

  // Off until she asks for it (a fertility organiser should not start itself on a
  // shared computer unasked); a file of before that lacks the key keeps the old default.
  bool AutoStart = false;
  QString TemperatureUnits = "F";
  QString MeasureUnits = "I";
  QString BedSound = "Waves";
  QString WakeUpSound = "Buzz";
  QString FeedSound = "DrinkGulp";
  int BmiHeight = 72;
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

  // Clamps a stored value into a spinner's range.
  static int ClampCycleLength(int v);
  static int ClampLuteal(int v);

 private:
  IniFile ini_;
  QString error_;
  bool existed_ = false;  // the file was there before this start
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
