#pragma once
// Her period history: every period start she recorded, and the stretches she marked as
// a pause, in one text file in the Cycle folder (Periods.txt). The calendar's own three
// settings stay as they are; this is what the program learns from.
//
// The file: UTF-8, one record a line, each line ending in CR LF, ISO dates (yyyy-MM-dd),
// the records in date order.
//
//   2009-03-01 picker                            a start set with the "Last Period" picker
//   2009-03-29 day                               "Period started on this day" (month grid
//                                                or basal chart)
//   2009-04-26 basal                             a start read from the "P" days of the
//                                                basal chart
//   2009-05-24 import                            a start brought in by an import
//   2010-01-04 pause pregnancy until 2010-10-15  a pause, from its first to its last day
//   2011-02-01 pause breast-feeding              a pause still going on (no last day yet)
//   2012-06-01 pause gap until 2012-08-31        a gap in recording
//
// Words are separated by one or more spaces or tabs and read without regard to case.
// Blank lines are skipped; lines starting with "#" are notes, kept as they stand and
// written back first. A line that reads as none of these (a slip in a file edited by
// hand) is kept as it stands and written back after the records, so nothing in the file
// is ever lost; Unreadable() lists such lines for the view to mention.
//
// Starts read from the basal chart's "P" days are not written here by the program: they
// are read afresh from the basal files each time (BasalPeriodStarts) and joined with the
// recorded starts by MergeStarts, so a "P" day set or cleared in the chart counts at once.
// The "basal" word is read all the same (an import may write it).

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVector>

enum class PeriodSource { Picker, DayAction, Basal, Import };
enum class PauseKind { Pregnancy, BreastFeeding, Gap };

// The words of the file: "picker", "day", "basal", "import"; "pregnancy",
// "breast-feeding", "gap".
QString PeriodSourceWord(PeriodSource source);
QString PauseKindWord(PauseKind kind);
// Plain words for the views: "Last Period picker", "Period started on this day",
// "P days of the basal chart", "import"; "pregnancy", "breast-feeding", "gap in recording".
QString PeriodSourceName(PeriodSource source);
QString PauseKindName(PauseKind kind);
// The file's words back, without regard to case; false for any other word.
bool PeriodSourceFromWord(const QString& word, PeriodSource* source);
bool PauseKindFromWord(const QString& word, PauseKind* kind);

struct PeriodStart {
  QDate date;
  PeriodSource source = PeriodSource::DayAction;
  bool operator==(const PeriodStart&) const = default;
};

struct CyclePause {
  QDate first;
  QDate last;  // invalid while the pause goes on
  PauseKind kind = PauseKind::Gap;

  bool IsOpen() const { return !last.isValid(); }
  bool Contains(const QDate& date) const;
  // Whether any day from `from` to `to` (both included) lies in the pause.
  bool Overlaps(const QDate& from, const QDate& to) const;
  bool operator==(const CyclePause&) const = default;
};

class PeriodHistory {
 public:
  // "Periods.txt" in the Cycle folder (the folder's path ends in "/").
  static QString PathIn(const QString& cycleFolder);

  // Reads the file. A missing file is an empty history (true). A file that exists but
  // cannot be read gives false with *error the user's message, leaves the history empty,
  // and is guarded: Save then refuses to replace it.
  bool Load(const QString& path, QString* error);
  bool Load(QIODevice* device, QString* error);
  // The records of these lines (replacing what the history held).
  void Parse(const QStringList& lines);

  // The lines of the file: the notes, the records in date order, the unreadable lines.
  QStringList Lines() const;
  // Writes the whole file through the file layer (old file or new, never half; refused
  // over a file that could not be read). False with *error on failure.
  bool Save(const QString& path, QString* error) const;

  // Sorted by date, one per date.
  const QVector<PeriodStart>& Starts() const { return starts_; }
  // Sorted by first day.
  const QVector<CyclePause>& Pauses() const { return pauses_; }
  const QStringList& Unreadable() const { return unreadable_; }
  bool IsEmpty() const {
    return starts_.isEmpty() && pauses_.isEmpty() && unreadable_.isEmpty() && comments_.isEmpty();
  }

  // Adds a start; false (nothing changes) when the date is invalid or already a start,
  // so an undo removes only what this call added.
  bool AddStart(const QDate& date, PeriodSource source);
  // Removes the start on that date; false when there is none.
  bool RemoveStart(const QDate& date);
  bool HasStart(const QDate& date) const;
  // The recorded start nearest to date within `days` days either side (the views ask
  // before adding one: a start a few days from another is most likely a correction).
  QDate StartNear(const QDate& date, int days) const;

  // Adds a pause; false when its first day is invalid, its last day lies before its
  // first, or a pause with that first day exists.
  bool AddPause(const CyclePause& pause);
  // Ends the open pause that contains `last` (on that day); false when there is none.
  bool EndPause(const QDate& last);
  bool RemovePause(const QDate& first);
  // The pause that holds the date, or nullptr.
  const CyclePause* PauseOn(const QDate& date) const;

 private:
  QVector<PeriodStart> starts_;
  QVector<CyclePause> pauses_;
  QStringList unreadable_;
  QStringList comments_;
};

// Two starts fewer than this many days apart are one period told twice.
inline constexpr int kSamePeriodDays = 10;

// Her recorded starts with the starts read from the basal chart's "P" days, in date
// order. A basal start fewer than kSamePeriodDays from a recorded start is the same
// period and left out (what she recorded herself wins); the others join with the source
// Basal.
QVector<PeriodStart> MergeStarts(const QVector<PeriodStart>& recorded,
                                 const QVector<QDate>& basalStarts);
