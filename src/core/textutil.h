#pragma once
// Date and number texts shared by every view and file: the date-pattern letters
// (d dd ddd dddd ddddd dddddd m mm mmm mmmm yyyy h hh mm ampm), the number patterns
// "0.0", "0.00" and "#,##0.###", the day key and the date number.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// The locale every name and format comes from: QLocale(), or en_US when the system
// locale is C/POSIX.
QLocale AppLocale();

// Formats with the program's date-pattern letters (not Qt's):
//   d dd        day without / with leading zero
//   ddd dddd    short / full day name
//   ddddd       the locale's short date (always a four-digit year: 3/14/2009)
//   dddddd      the locale's long date (Thursday, March 5, 2009)
//   m mm        month number without / with leading zero; after h or hh: minutes
//   mmm mmmm    short / full month name
//   yyyy        four-digit year (yy: two digits)
//   h hh        hour (12-hour when ampm appears in the pattern)
//   ampm        the locale's AM / PM designator
// Text between double or single quotes is copied as it stands; any other character
// stands for itself.
QString FormatDateTime(const QString& pattern, const QDateTime& when,
                       const QLocale& locale = AppLocale());
QString FormatDate(const QString& pattern, const QDate& date,
                   const QLocale& locale = AppLocale());

// The Qt pattern of the locale's short date, with the year widened to four digits.
QString ShortDatePattern(const QLocale& locale = AppLocale());
// Reads a date written in the locale's short date format; an invalid QDate when the
// text is not one.
QDate ParseShortDate(const QString& text, const QLocale& locale = AppLocale());

// Number patterns "0", "0.0", "0.00" (fixed decimals, no grouping) and "#,##0.###"
// (grouped thousands, up to three decimals), with the locale's separators.
QString FormatNumber(const QString& pattern, double value,
                     const QLocale& locale = AppLocale());
// The shortest decimal text of a number with the locale's decimal separator, no
// grouping (150, 145.5).
QString ShortestNumberText(double value, const QLocale& locale = AppLocale());
// Reads a real number in the locale's format (decimal separator; group separators
// are not accepted). Leading/trailing spaces are ignored. False when not a number.
bool ParseNumber(const QString& text, double* value, const QLocale& locale = AppLocale());

// --- Values kept in files --------------------------------------------------------
// A count in the program's messages, the same in every language: "12,345". With the
// words for one and for more: "1 row", "12 rows".
QString CountText(qint64 n);
QString CountText(qint64 n, const QString& one, const QString& many);

// What a file holds reads the same under every locale: numbers are written with "." and
// dates in one pattern, whatever the user's language. Readers still take what earlier
// versions wrote under the locale of the time.

// The locale of the names written into files (month and day names, AM / PM): English,
// the same for every user, so a file's text never changes with her language.
QLocale FileLocale();
// The shortest decimal text of a number with "." (150, 145.5), for a file.
QString StoredNumberText(double value);
// A fixed number of decimals with "." (pattern "0.0" gives 7.5), for a file.
QString StoredFixedText(double value, int decimals);
// Reads a number from a file: "." always, and the locale's decimal separator as well
// (files written under it by earlier versions). No group separators. False when the
// text is not a number.
bool ParseStoredNumber(const QString& text, double* value, const QLocale& locale = AppLocale());
// What a stored number field holds: nothing, a number, or a text that is not one. A
// text that is not a number is shown as unreadable and kept as it stands: it is never
// replaced by a default.
struct StoredNumber {
  enum class State { Empty, Number, Unreadable };
  State state = State::Empty;
  double value = 0;  // the number (0 unless State::Number)
  QString text;      // the stored text without surrounding blanks
  bool IsNumber() const { return state == State::Number; }
  bool IsUnreadable() const { return state == State::Unreadable; }
};
StoredNumber ReadStoredNumber(const QString& text, const QLocale& locale = AppLocale());

// A date for a file: yyyy-MM-dd.
QString StoredDateText(const QDate& date);
// Reads a date from a file: yyyy-MM-dd; else the en_US short date (M/d/yyyy, what
// earlier versions wrote under en_US and on systems without a locale); else the
// locale's own short date. An invalid QDate when none of them fits.
QDate ParseStoredDate(const QString& text, const QLocale& locale = AppLocale());

// "Y2009M3D5" for 5 March 2009.
QString DayKey(const QDate& date);
// The date a day key names, read from the start of text ("Y2009M3D5-Breakfast.txt");
// *length gets how many characters the key took. Invalid when text does not start with
// a key of a real date.
QDate DayKeyDate(QStringView text, qsizetype* length = nullptr);
// Whole days since 30 December 1899 (5 March 2009 gives 39877).
int DateNumber(const QDate& date);
QDate DateFromNumber(int number);
// Days since 30 December 1899 as a real number, the fraction being the time of day.
double DateTimeNumber(const QDateTime& when);
QDateTime DateTimeFromNumber(double number);
