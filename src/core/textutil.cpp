#include "core/textutil.h"

#include <QTime>
#include <charconv>
#include <cmath>
#include <string>

QLocale AppLocale() {
  QLocale locale;
  if (locale.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
  return locale;
}

namespace {

QChar Lower(QChar c) { return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 32) : c; }

bool IsAsciiLetter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Case-insensitive match of an ASCII word at position i.
bool MatchesAt(const QString& s, qsizetype i, QLatin1StringView word) {
  if (i + word.size() > s.size()) return false;
  for (qsizetype k = 0; k < word.size(); ++k)
    if (Lower(s[i + k]) != QLatin1Char(word[k])) return false;
  return true;
}

// True when an am/pm designator ("ampm", "am/pm" or "a/p") occurs outside quoted text.
bool HasAmPm(const QString& pattern) {
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'"' || c == u'\'') {
      const qsizetype end = pattern.indexOf(c, i + 1);
      if (end < 0) return false;
      i = end;
      continue;
    }
    if (Lower(c) == u'a' &&
        (MatchesAt(pattern, i, QLatin1StringView("ampm")) ||
         MatchesAt(pattern, i, QLatin1StringView("am/pm")) ||
         MatchesAt(pattern, i, QLatin1StringView("a/p"))))
      return true;
  }
  return false;
}

QString Pad2(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Keeps the case of the pattern's letters: "AM/PM" gives AM, "am/pm" gives am.
QString CasedLike(const QString& text, QChar patternLetter) {
  return patternLetter.isUpper() ? text.toUpper() : text.toLower();
}

QString FormatParts(const QString& pattern, const QDate& date, const QTime& time,
                    const QLocale& locale) {
  QString out;
  out.reserve(pattern.size() * 2);
  const bool twelveHour = HasAmPm(pattern);
  QChar lastToken;  // the last letter seen outside quotes (Delphi's rule for "mm")
  const qsizetype n = pattern.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = pattern[i];
    if (c == u'"' || c == u'\'') {
      qsizetype end = pattern.indexOf(c, i + 1);
      if (end < 0) end = n;
      out += QStringView(pattern).mid(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    QChar token = Lower(c);
    if (!IsAsciiLetter(c)) {
      out += c;
      ++i;
      continue;
    }
    if (token == u'm' && lastToken == u'h') token = u'n';  // minutes after an hour
    lastToken = token;
    qsizetype count = 1;
    auto countRun = [&](QChar letter) {
      count = 1;
      while (i + count < n && Lower(pattern[i + count]) == letter) ++count;
    };
    switch (token.unicode()) {
      case u'd':
        countRun(u'd');
        switch (count) {
          case 1: out += QString::number(date.day()); break;
          case 2: out += Pad2(date.day()); break;
          case 3: out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat); break;
          case 4: out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat); break;
          case 5: out += locale.toString(date, ShortDatePattern(locale)); break;
          default: out += locale.toString(date, QLocale::LongFormat); break;
        }
        i += count;
        break;
      case u'm':
        countRun(u'm');
        switch (count) {
          case 1: out += QString::number(date.month()); break;
          case 2: out += Pad2(date.month()); break;
          case 3: out += locale.monthName(date.month(), QLocale::ShortFormat); break;
          default: out += locale.monthName(date.month(), QLocale::LongFormat); break;
        }
        i += count;
        break;
      case u'n':  // "m" or "mm" right after an hour: minutes
        countRun(u'm');
        if (count > 2) count = 2;
        out += count == 1 ? QString::number(time.minute()) : Pad2(time.minute());
        i += count;
        break;
      case u'y':
        countRun(u'y');
        if (count <= 2)
          out += Pad2(((date.year() % 100) + 100) % 100);
        else
          out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
        i += count;
        break;
      case u'h': {
        countRun(u'h');
        int hour = time.hour();
        if (twelveHour) {
          hour %= 12;
          if (hour == 0) hour = 12;
        }
        out += count == 1 ? QString::number(hour) : Pad2(hour);
        i += count;
        break;
      }
      case u'a': {
        const bool pm = time.hour() >= 12;
        if (MatchesAt(pattern, i, QLatin1StringView("ampm"))) {
          out += pm ? locale.pmText() : locale.amText();
          i += 4;
        } else if (MatchesAt(pattern, i, QLatin1StringView("am/pm"))) {
          out += CasedLike(pm ? QStringLiteral("pm") : QStringLiteral("am"), c);
          i += 5;
        } else if (MatchesAt(pattern, i, QLatin1StringView("a/p"))) {
          out += CasedLike(pm ? QStringLiteral("p") : QStringLiteral("a"), c);
          i += 3;
        } else {
          out += c;
          ++i;
        }
        break;
      }
      default:
        out += c;
        ++i;
        break;
    }
  }
  return out;
}

}  // namespace

QString FormatDateTime(const QString& pattern, const QDateTime& when, const QLocale& locale) {
  if (!when.isValid()) return QString();
  return FormatParts(pattern, when.date(), when.time(), locale);
}

QString FormatDate(const QString& pattern, const QDate& date, const QLocale& locale) {
  if (!date.isValid()) return QString();
  return FormatParts(pattern, date, QTime(0, 0), locale);
}

QString ShortDatePattern(const QLocale& locale) {
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  QString out;
  const qsizetype n = format.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = format[i];
    if (c == u'\'') {  // Qt quoting: '' is a quote, 'text' is literal
      qsizetype end = format.indexOf(u'\'', i + 1);
      if (end < 0) end = n - 1;
      out += QStringView(format).mid(i, end - i + 1);
      i = end + 1;
      continue;
    }
    if (c == u'y') {
      qsizetype count = 1;
      while (i + count < n && format[i + count] == u'y') ++count;
      out += QStringLiteral("yyyy");
      i += count;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

QDate ParseShortDate(const QString& text, const QLocale& locale) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return QDate();
  QDate date = locale.toDate(trimmed, ShortDatePattern(locale));
  return date.isValid() ? date : QDate();
}

namespace {

// Shortest round-trip decimal digits of |value| as digits and a decimal exponent:
// value = 0.d1d2d3... * 10^exponent.
struct Decimal {
  std::string digits;  // no leading or trailing zeros; empty for zero
  int exponent = 0;    // position of the decimal point relative to digits
};

Decimal ToDecimal(double value) {
  Decimal d;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  std::string s(buf, res.ptr);
  // s looks like "1.2345e+02" or "5e-01"
  const auto e = s.find('e');
  std::string mantissa = s.substr(0, e);
  const int exp10 = std::stoi(s.substr(e + 1));
  std::string digits;
  for (char ch : mantissa)
    if (ch != '.') digits += ch;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return d;  // zero
  d.digits = digits;
  d.exponent = exp10 + 1;
  return d;
}

// Rounds to `decimals` digits after the point, half away from zero, on the decimal
// digits (so 1.005 with two decimals gives 1.01). Gives the integer digits (no leading
// zeros) and exactly `decimals` fraction digits.
void RoundDecimal(const Decimal& d, int decimals, std::string* intPart, std::string* fracPart) {
  // Digit k of d.digits has the place value 10^(exponent - 1 - k).
  auto digitAt = [&](long long k) -> char {
    if (k < 0 || k >= static_cast<long long>(d.digits.size())) return '0';
    return d.digits[static_cast<size_t>(k)];
  };
  std::string all;  // integer digits followed by the kept fraction digits
  for (int k = 0; k < d.exponent; ++k) all += digitAt(k);
  for (int j = 0; j < decimals; ++j) all += digitAt(static_cast<long long>(d.exponent) + j);
  if (digitAt(static_cast<long long>(d.exponent) + decimals) >= '5') {
    int k = static_cast<int>(all.size()) - 1;
    while (k >= 0 && all[k] == '9') {
      all[k] = '0';
      --k;
    }
    if (k >= 0)
      ++all[k];
    else
      all.insert(all.begin(), '1');
  }
  const size_t fracStart = all.size() - static_cast<size_t>(decimals);
  *intPart = all.substr(0, fracStart);
  *fracPart = all.substr(fracStart);
  size_t nz = 0;
  while (nz < intPart->size() && (*intPart)[nz] == '0') ++nz;
  intPart->erase(0, nz);
}

}  // namespace

QString FormatNumber(const QString& pattern, double value, const QLocale& locale) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

  // Pattern: literal prefix, then the number placeholders (0 # , .), then a literal suffix.
  // Quoted text is literal.
  QString prefix, suffix;
  int intZeros = 0, fracZeros = 0, fracHashes = 0;
  bool grouping = false, seenPoint = false, inNumber = false, numberDone = false;
  const qsizetype n = pattern.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = pattern[i];
    if (c == u'"' || c == u'\'') {
      qsizetype end = pattern.indexOf(c, i + 1);
      if (end < 0) end = n;
      const QStringView lit = QStringView(pattern).mid(i + 1, end - i - 1);
      if (inNumber) numberDone = true;
      (numberDone ? suffix : prefix) += lit;
      i = end;
      continue;
    }
    const bool placeholder =
        c == u'0' || c == u'#' || (inNumber && (c == u',' || c == u'.')) ||
        (!inNumber && c == u'.' && i + 1 < n && (pattern[i + 1] == u'0' || pattern[i + 1] == u'#'));
    if (placeholder && !numberDone) {
      inNumber = true;
      if (c == u'.') {
        seenPoint = true;
      } else if (c == u',') {
        grouping = true;
      } else if (c == u'0') {
        if (seenPoint) {
          fracZeros += fracHashes == 0 ? 1 : 0;
          if (fracHashes > 0) ++fracHashes;  // a 0 after # still shows a digit slot
        } else {
          ++intZeros;
        }
      } else if (c == u'#') {
        if (seenPoint) ++fracHashes;
      }
      continue;
    }
    if (inNumber) numberDone = true;
    (numberDone ? suffix : prefix) += c;
  }

  const int maxDecimals = fracZeros + fracHashes;
  std::string intDigits, fracDigits;
  RoundDecimal(ToDecimal(value), maxDecimals, &intDigits, &fracDigits);
  // Drop optional trailing fraction digits that are zero.
  while (static_cast<int>(fracDigits.size()) > fracZeros && !fracDigits.empty() &&
         fracDigits.back() == '0')
    fracDigits.pop_back();
  while (static_cast<int>(intDigits.size()) < intZeros) intDigits.insert(intDigits.begin(), '0');
  const bool isZero = intDigits.find_first_not_of('0') == std::string::npos &&
                      fracDigits.find_first_not_of('0') == std::string::npos;

  QString number;
  const QString group = locale.groupSeparator();
  const int len = static_cast<int>(intDigits.size());
  for (int k = 0; k < len; ++k) {
    if (grouping && k > 0 && (len - k) % 3 == 0) number += group;
    number += QLatin1Char(intDigits[k]);
  }
  if (!fracDigits.empty()) {
    number += locale.decimalPoint();
    number += QLatin1StringView(fracDigits.data(), static_cast<qsizetype>(fracDigits.size()));
  }
  if (value < 0 && !isZero) number.prepend(locale.negativeSign());
  return prefix + number + suffix;
}

QString ShortestNumberText(double value, const QLocale& locale) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");
  // Fifteen significant digits, as the original program's float-to-text did: enough for
  // every figure a user types, without binary noise (0.1 + 0.2 gives 0.3).
  QString text = QString::number(value, 'g', 15);
  // Next to the largest double, fifteen digits can round up past it; seventeen never do.
  {
    const QByteArray latin = text.toLatin1();
    double back = 0;
    const auto res = std::from_chars(latin.constData(), latin.constData() + latin.size(), back);
    if (res.ec != std::errc() || !std::isfinite(back)) text = QString::number(value, 'g', 17);
  }
  const qsizetype e = text.indexOf(u'e');
  QString mantissa = e < 0 ? text : text.left(e);
  QString exponent = e < 0 ? QString() : text.mid(e + 1);
  QString out;
  for (QChar c : mantissa) {
    if (c == u'.')
      out += locale.decimalPoint();
    else if (c == u'-')
      out += locale.negativeSign();
    else
      out += c;
  }
  if (!exponent.isEmpty()) {
    // "1e+20" -> "1E20", "1e-07" -> "1E-7"
    bool negative = exponent.startsWith(u'-');
    int exp = qAbs(exponent.toInt());
    out += QLatin1Char('E');
    if (negative) out += locale.negativeSign();
    out += QString::number(exp);
  }
  return out;
}

bool ParseNumber(const QString& text, double* value, const QLocale& locale) {
  QString t = text.trimmed();
  if (t.isEmpty()) return false;
  // Only digits, signs, the decimal separator and an exponent are number text; this
  // keeps out "inf", "nan" and any group separator.
  const QString point = locale.decimalPoint();
  const QString minus = locale.negativeSign();
  const QString plus = locale.positiveSign();
  QString canonical;
  canonical.reserve(t.size());
  qsizetype i = 0;
  bool sawDigit = false;
  auto takeSign = [&]() {
    if (t.mid(i).startsWith(minus) && !minus.isEmpty()) {
      canonical += u'-';
      i += minus.size();
    } else if (t[i] == u'-' || t[i] == u'+') {
      canonical += t[i];
      ++i;
    } else if (!plus.isEmpty() && t.mid(i).startsWith(plus)) {
      canonical += u'+';
      i += plus.size();
    }
  };
  if (i < t.size()) takeSign();
  while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
    canonical += t[i++];
    sawDigit = true;
  }
  if (i < t.size() && QStringView(t).mid(i).startsWith(point)) {
    canonical += u'.';
    i += point.size();
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
      canonical += t[i++];
      sawDigit = true;
    }
  }
  if (!sawDigit) return false;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    canonical += u'e';
    ++i;
    if (i < t.size()) takeSign();
    bool expDigit = false;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
      canonical += t[i++];
      expDigit = true;
    }
    if (!expDigit) return false;
  }
  if (i != t.size()) return false;
  const QByteArray latin = canonical.toLatin1();
  double result = 0;
  const char* begin = latin.constData();
  if (*begin == '+') ++begin;
  auto res = std::from_chars(begin, latin.constData() + latin.size(), result);
  // Out of range (beyond the largest or below the smallest double) is not a number here.
  if (res.ec != std::errc() || res.ptr != latin.constData() + latin.size()) return false;
  if (!std::isfinite(result)) return false;
  if (value) *value = result;
  return true;
}

QLocale FileLocale() { return QLocale::c(); }

QString CountText(qint64 n) { return QLocale::c().toString(n); }

QString CountText(qint64 n, const QString& one, const QString& many) {
  return CountText(n) + u' ' + (n == 1 ? one : many);
}

QString StoredNumberText(double value) { return ShortestNumberText(value, QLocale::c()); }

QString StoredFixedText(double value, int decimals) {
  QString pattern = QStringLiteral("0");
  if (decimals > 0) pattern += u'.' + QString(decimals, u'0');
  return FormatNumber(pattern, value, QLocale::c());
}

bool ParseStoredNumber(const QString& text, double* value, const QLocale& locale) {
  if (ParseNumber(text, value, QLocale::c())) return true;
  return locale.decimalPoint() != QLatin1String(".") && ParseNumber(text, value, locale);
}

StoredNumber ReadStoredNumber(const QString& text, const QLocale& locale) {
  StoredNumber n;
  qsizetype begin = 0, end = text.size();
  // Blanks and control characters around a field, as the grid file drops them.
  while (begin < end && text.at(begin).unicode() <= 32) ++begin;
  while (end > begin && text.at(end - 1).unicode() <= 32) --end;
  n.text = text.mid(begin, end - begin);
  if (n.text.isEmpty()) return n;
  if (ParseStoredNumber(n.text, &n.value, locale)) {
    n.state = StoredNumber::State::Number;
  } else {
    n.value = 0;
    n.state = StoredNumber::State::Unreadable;
  }
  return n;
}

QString StoredDateText(const QDate& date) {
  return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QDate ParseStoredDate(const QString& text, const QLocale& locale) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return QDate();
  // Only the strict ten-character form: Qt's ISO reader takes trailing text as well.
  if (t.size() == 10 && t[4] == u'-' && t[7] == u'-') {
    const QDate iso = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (iso.isValid()) return iso;
  }
  const QDate us = ParseShortDate(t, QLocale(QLocale::English, QLocale::UnitedStates));
  if (us.isValid()) return us;
  return ParseShortDate(t, locale);
}

QString DayKey(const QDate& date) {
  return QStringLiteral("Y%1M%2D%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QDate DayKeyDate(QStringView text, qsizetype* length) {
  // Y, up to four digits, M, one or two, D, one or two: exactly as DayKey writes them.
  qsizetype at = 0;
  int parts[3] = {0, 0, 0};
  static constexpr char kLetters[] = {'Y', 'M', 'D'};
  static constexpr int kMaxDigits[] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    if (at >= text.size() || text.at(at) != QLatin1Char(kLetters[p])) return {};
    ++at;
    int digits = 0;
    while (at < text.size() && text.at(at).isDigit() && text.at(at).unicode() < 128 &&
           digits < kMaxDigits[p]) {
      if (digits == 0 && text.at(at) == u'0') return {};
      parts[p] = parts[p] * 10 + (text.at(at).unicode() - '0');
      ++at;
      ++digits;
    }
    if (digits == 0) return {};
  }
  if (at < text.size() && text.at(at).isDigit()) return {};
  const QDate date(parts[0], parts[1], parts[2]);
  if (date.isValid() && length) *length = at;
  return date;
}

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;
}  // namespace

int DateNumber(const QDate& date) {
  if (!date.isValid()) return 0;
  return static_cast<int>(kEpoch.daysTo(date));
}

QDate DateFromNumber(int number) { return kEpoch.addDays(number); }

double DateTimeNumber(const QDateTime& when) {
  if (!when.isValid()) return 0;
  const int days = DateNumber(when.date());
  const double fraction = when.time().msecsSinceStartOfDay() / double(kMsPerDay);
  // Before the epoch the fraction still counts forward from the day's start (Delphi).
  return days >= 0 ? days + fraction : days - fraction;
}

QDateTime DateTimeFromNumber(double number) {
  if (!std::isfinite(number) || std::fabs(number) > 3e6) return QDateTime();
  double whole = std::trunc(number);
  qint64 ms = std::llround(std::fabs(number - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    whole += number >= 0 ? 1 : -1;
  }
  const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
  return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}
