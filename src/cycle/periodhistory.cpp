#include "cycle/periodhistory.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "core/textfile.h"

namespace {

const QString kIsoDate = QStringLiteral("yyyy-MM-dd");

QDate ParseIsoDate(const QString& text) {
  if (text.size() != 10) return {};
  return QDate::fromString(text, kIsoDate);
}

QString StartLine(const PeriodStart& s) {
  return s.date.toString(kIsoDate) + u' ' + PeriodSourceWord(s.source);
}

QString PauseLine(const CyclePause& p) {
  QString line = p.first.toString(kIsoDate) + QStringLiteral(" pause ") + PauseKindWord(p.kind);
  if (!p.IsOpen()) line += QStringLiteral(" until ") + p.last.toString(kIsoDate);
  return line;
}

}  // namespace

bool PeriodSourceFromWord(const QString& word, PeriodSource* source) {
  for (PeriodSource s : {PeriodSource::Picker, PeriodSource::DayAction, PeriodSource::Basal,
                         PeriodSource::Import})
    if (word.compare(PeriodSourceWord(s), Qt::CaseInsensitive) == 0) {
      *source = s;
      return true;
    }
  return false;
}

bool PauseKindFromWord(const QString& word, PauseKind* kind) {
  for (PauseKind k : {PauseKind::Pregnancy, PauseKind::BreastFeeding, PauseKind::Gap})
    if (word.compare(PauseKindWord(k), Qt::CaseInsensitive) == 0) {
      *kind = k;
      return true;
    }
  return false;
}

QString PeriodSourceWord(PeriodSource source) {
  switch (source) {
    case PeriodSource::Picker: return QStringLiteral("picker");
    case PeriodSource::DayAction: return QStringLiteral("day");
    case PeriodSource::Basal: return QStringLiteral("basal");
    case PeriodSource::Import: return QStringLiteral("import");
  }
  return {};
}

QString PauseKindWord(PauseKind kind) {
  switch (kind) {
    case PauseKind::Pregnancy: return QStringLiteral("pregnancy");
    case PauseKind::BreastFeeding: return QStringLiteral("breast-feeding");
    case PauseKind::Gap: return QStringLiteral("gap");
  }
  return {};
}

QString PeriodSourceName(PeriodSource source) {
  switch (source) {
    case PeriodSource::Picker: return QStringLiteral("Last Period picker");
    case PeriodSource::DayAction: return QStringLiteral("Period started on this day");
    case PeriodSource::Basal: return QStringLiteral("P days of the basal chart");
    case PeriodSource::Import: return QStringLiteral("import");
  }
  return {};
}

QString PauseKindName(PauseKind kind) {
  switch (kind) {
    case PauseKind::Pregnancy: return QStringLiteral("pregnancy");
    case PauseKind::BreastFeeding: return QStringLiteral("breast-feeding");
    case PauseKind::Gap: return QStringLiteral("gap in recording");
  }
  return {};
}

bool CyclePause::Contains(const QDate& date) const {
  if (!date.isValid() || !first.isValid() || date < first) return false;
  return IsOpen() || date <= last;
}

bool CyclePause::Overlaps(const QDate& from, const QDate& to) const {
  if (!first.isValid() || !from.isValid() || !to.isValid()) return false;
  if (to < first) return false;
  return IsOpen() || from <= last;
}

QString PeriodHistory::PathIn(const QString& cycleFolder) {
  return cycleFolder + QStringLiteral("Periods.txt");
}

bool PeriodHistory::Load(const QString& path, QString* error) {
  Parse({});
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;  // nothing recorded yet
  QStringList lines;
  if (!ReadTextLines(path, &lines, error)) return false;
  Parse(lines);
  return true;
}

bool PeriodHistory::Load(QIODevice* device, QString* error) {
  Parse({});
  if (!device || (!device->isOpen() && !device->open(QIODevice::ReadOnly))) {
    if (error)
      *error = CannotOpenMessage(QStringLiteral("Periods.txt"),
                                 device ? device->errorString() : QStringLiteral("No device"));
    return false;
  }
  Parse(SplitLines(DecodeText(device->readAll())));
  return true;
}

void PeriodHistory::Parse(const QStringList& lines) {
  starts_.clear();
  pauses_.clear();
  unreadable_.clear();
  comments_.clear();
  static const QRegularExpression kSpaces(QStringLiteral("[ \\t]+"));
  for (const QString& line : lines) {
    const QString t = line.trimmed();
    if (t.isEmpty()) continue;
    if (t.startsWith(u'#')) {
      comments_.append(line);
      continue;
    }
    const QStringList words = t.split(kSpaces);
    const QDate date = ParseIsoDate(words.front());
    bool read = false;
    if (date.isValid()) {
      PeriodSource source;
      PauseKind kind;
      if (words.size() == 2 && PeriodSourceFromWord(words[1], &source)) {
        read = AddStart(date, source) || HasStart(date);
      } else if (words.size() >= 3 && words[1].compare(QLatin1String("pause"), Qt::CaseInsensitive) == 0 &&
                 PauseKindFromWord(words[2], &kind)) {
        CyclePause p{date, QDate(), kind};
        if (words.size() == 3) {
          read = AddPause(p);
        } else if (words.size() == 5 &&
                   words[3].compare(QLatin1String("until"), Qt::CaseInsensitive) == 0) {
          p.last = ParseIsoDate(words[4]);
          read = p.last.isValid() && AddPause(p);
        }
      }
    }
    if (!read) unreadable_.append(line);
  }
}

QStringList PeriodHistory::Lines() const {
  QStringList lines = comments_;
  lines.reserve(comments_.size() + starts_.size() + pauses_.size() + unreadable_.size());
  qsizetype s = 0, p = 0;
  while (s < starts_.size() || p < pauses_.size()) {
    // A pause that begins on a start's day follows it: the period came, then the pause.
    if (p == pauses_.size() || (s < starts_.size() && starts_[s].date <= pauses_[p].first))
      lines.append(StartLine(starts_[s++]));
    else
      lines.append(PauseLine(pauses_[p++]));
  }
  lines += unreadable_;
  return lines;
}

bool PeriodHistory::Save(const QString& path, QString* error) const {
  return WriteTextLines(path, Lines(), error);
}

bool PeriodHistory::AddStart(const QDate& date, PeriodSource source) {
  if (!date.isValid()) return false;
  auto at = std::lower_bound(starts_.begin(), starts_.end(), date,
                             [](const PeriodStart& s, const QDate& d) { return s.date < d; });
  if (at != starts_.end() && at->date == date) return false;
  starts_.insert(at, PeriodStart{date, source});
  return true;
}

bool PeriodHistory::RemoveStart(const QDate& date) {
  auto at = std::find_if(starts_.begin(), starts_.end(),
                         [&](const PeriodStart& s) { return s.date == date; });
  if (at == starts_.end()) return false;
  starts_.erase(at);
  return true;
}

bool PeriodHistory::HasStart(const QDate& date) const {
  return std::any_of(starts_.begin(), starts_.end(),
                     [&](const PeriodStart& s) { return s.date == date; });
}

QDate PeriodHistory::StartNear(const QDate& date, int days) const {
  QDate best;
  qint64 bestDistance = 0;
  for (const PeriodStart& s : starts_) {
    const qint64 distance = std::abs(s.date.daysTo(date));
    if (distance <= days && (!best.isValid() || distance < bestDistance)) {
      best = s.date;
      bestDistance = distance;
    }
  }
  return best;
}

bool PeriodHistory::AddPause(const CyclePause& pause) {
  if (!pause.first.isValid() || (!pause.IsOpen() && pause.last < pause.first)) return false;
  auto at = std::lower_bound(pauses_.begin(), pauses_.end(), pause.first,
                             [](const CyclePause& p, const QDate& d) { return p.first < d; });
  if (at != pauses_.end() && at->first == pause.first) return false;
  pauses_.insert(at, pause);
  return true;
}

bool PeriodHistory::EndPause(const QDate& last) {
  for (CyclePause& p : pauses_)
    if (p.IsOpen() && p.Contains(last)) {
      p.last = last;
      return true;
    }
  return false;
}

bool PeriodHistory::RemovePause(const QDate& first) {
  auto at = std::find_if(pauses_.begin(), pauses_.end(),
                         [&](const CyclePause& p) { return p.first == first; });
  if (at == pauses_.end()) return false;
  pauses_.erase(at);
  return true;
}

const CyclePause* PeriodHistory::PauseOn(const QDate& date) const {
  for (const CyclePause& p : pauses_)
    if (p.Contains(date)) return &p;
  return nullptr;
}

QVector<PeriodStart> MergeStarts(const QVector<PeriodStart>& recorded,
                                 const QVector<QDate>& basalStarts) {
  QVector<PeriodStart> merged;
  for (const PeriodStart& s : recorded)
    if (s.date.isValid()) merged.append(s);
  for (const QDate& b : basalStarts) {
    if (!b.isValid()) continue;
    const bool told = std::any_of(recorded.begin(), recorded.end(), [&](const PeriodStart& s) {
      return std::abs(s.date.daysTo(b)) < kSamePeriodDays;
    });
    if (!told) merged.append(PeriodStart{b, PeriodSource::Basal});
  }
  std::stable_sort(merged.begin(), merged.end(),
                   [](const PeriodStart& a, const PeriodStart& b) { return a.date < b.date; });
  // One start a date (the recorded one first, kept by the stable sort).
  merged.erase(std::unique(merged.begin(), merged.end(),
                           [](const PeriodStart& a, const PeriodStart& b) { return a.date == b.date; }),
               merged.end());
  return merged;
}
