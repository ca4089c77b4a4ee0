#include "nutrition/usdaimport.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "core/textfile.h"

namespace {
// FOOD_DES.txt: NDB_No, FdGrp_Cd, Long_Desc, ... (14 fields).
constexpr int kDescFields = 14;
constexpr int kDescNumber = 0, kDescGroup = 1, kDescLong = 2;
// ABBREV.txt: NDB_No, Shrt_Desc, Water, Energ_Kcal, Protein, Lipid_Tot, Ash, Carbohydrt,
// Fiber_TD, Sugar_Tot, ... Cholestrl, GmWt_1, GmWt_Desc1, GmWt_2, GmWt_Desc2, Refuse_Pct
// (51 fields).
constexpr int kAbbrevFields = 51;
constexpr int kEnergy = 3, kProtein = 4, kLipid = 5, kCarbs = 7, kSugar = 9;
constexpr int kCholesterol = 45, kGramWeight = 46, kGramWeightDesc = 47;

// A plain decimal as an integer mantissa and its number of decimals.
struct Decimal {
  qint64 mantissa = 0;
  int decimals = 0;
};

bool ParseDecimal(const QString& text, Decimal* out) {
  static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9})(?:\\.(\\d{1,6}))?$"));
  const QRegularExpressionMatch m = pattern.match(text.trimmed());
  if (!m.hasMatch()) return false;
  const QString fraction = m.captured(2);
  out->mantissa = (m.captured(1) + fraction).toLongLong();
  out->decimals = int(fraction.size());
  return true;
}

// value / 10^decimals written with at most two decimals, trailing zeros dropped.
QString DecimalText(qint64 hundredths) {
  QString text = QString::number(hundredths / 100);
  const int cents = int(hundredths % 100);
  if (cents != 0) {
    text += u'.' + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
    while (text.endsWith(u'0')) text.chop(1);
  }
  return text;
}

__int128 Power10(int n) {
  __int128 p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// Rounds numerator / denominator half away from zero (both not negative). Wide enough
// for the product of two mantissas of the release's nine-digit numbers.
qint64 RoundedQuotient(__int128 numerator, __int128 denominator) {
  return qint64((numerator + denominator / 2) / denominator);
}

QString LineError(const QString& path, int line, const QString& reason) {
  return QStringLiteral("\"%1\", line %2: %3").arg(path).arg(line).arg(reason);
}
}  // namespace

QStringList SplitUsdaLine(const QString& line) {
  QStringList fields = line.split(u'^');
  for (QString& f : fields)
    if (f.size() >= 2 && f.startsWith(u'~') && f.endsWith(u'~')) f = f.mid(1, f.size() - 2);
  return fields;
}

QString NormalizedDecimal(const QString& text) {
  if (text.trimmed().isEmpty()) return QStringLiteral("");
  Decimal d;
  if (!ParseDecimal(text, &d)) return QString();
  // Two decimals are enough for every value the release gives with more.
  const qint64 hundredths = d.decimals <= 2 ? qint64(d.mantissa * Power10(2 - d.decimals))
                                            : RoundedQuotient(d.mantissa, Power10(d.decimals - 2));
  return DecimalText(hundredths);
}

QString PerServingText(const QString& per100g, const QString& gramWeight) {
  if (per100g.trimmed().isEmpty()) return QStringLiteral("");
  Decimal value, weight;
  if (!ParseDecimal(per100g, &value) || !ParseDecimal(gramWeight, &weight)) return QString();
  // value x weight / 100, in hundredths: mantissas multiplied, then scaled down once.
  const __int128 product = __int128(value.mantissa) * weight.mantissa;
  return DecimalText(RoundedQuotient(product, Power10(value.decimals + weight.decimals)));
}

bool UsdaFoodRecord(const QStringList& description, const QStringList& nutrients,
                    FoodRecord* record, QString* error) {
  auto fail = [error](const QString& reason) {
    if (error) *error = reason;
    return false;
  };
  if (description.size() != kDescFields)
    return fail(QStringLiteral("%1 fields instead of %2").arg(description.size()).arg(kDescFields));
  if (nutrients.size() != kAbbrevFields)
    return fail(QStringLiteral("%1 fields instead of %2").arg(nutrients.size()).arg(kAbbrevFields));

  FoodRecord r;
  r[FoodField::NDB_No] = description[kDescNumber];
  r[FoodField::FdGrp_Cd] = description[kDescGroup];
  r[FoodField::Long_Desc] = description[kDescLong];
  if (r[FoodField::NDB_No].isEmpty()) return fail(QStringLiteral("no food number"));

  const QString weight = nutrients[kGramWeight].trimmed();
  Decimal w;
  const bool perServing = !weight.isEmpty() && ParseDecimal(weight, &w) && w.mantissa > 0;
  if (!weight.isEmpty() && !ParseDecimal(weight, &w))
    return fail(QStringLiteral("GmWt_1 \"%1\" is not a number").arg(weight));

  const struct {
    FoodField field;
    int index;
    const char* name;
  } values[] = {{FoodField::Energ_Kcal, kEnergy, "Energ_Kcal"},
                {FoodField::Protein, kProtein, "Protein"},
                {FoodField::Carbohydrt, kCarbs, "Carbohydrt"},
                {FoodField::Sugar_Tot, kSugar, "Sugar_Tot"},
                {FoodField::Lipid_Tot, kLipid, "Lipid_Tot"},
                {FoodField::Cholestrl, kCholesterol, "Cholestrl"}};
  for (const auto& v : values) {
    const QString source = nutrients[v.index];
    const QString text = perServing ? PerServingText(source, weight) : NormalizedDecimal(source);
    if (text.isNull())
      return fail(QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(v.name), source));
    r[v.field] = text;
  }
  if (perServing) {
    r[FoodField::GMWT_1] = NormalizedDecimal(weight);
    r[FoodField::GMWT_DESC1] = nutrients[kGramWeightDesc];
  } else {
    r[FoodField::GMWT_1] = QStringLiteral("100");
    r[FoodField::GMWT_DESC1] = QStringLiteral("100 g");
  }
  *record = r;
  return true;
}

bool ImportUsdaRelease(QSqlDatabase& db, const QString& foodDesPath, const QString& abbrevPath,
                       QString* error, int* imported) {
  auto fail = [error](const QString& message) {
    if (error) *error = message;
    return false;
  };
  QStringList descLines, abbrevLines;
  QString e;
  if (!ReadTextLines(foodDesPath, &descLines, &e)) return fail(e);
  if (!ReadTextLines(abbrevPath, &abbrevLines, &e)) return fail(e);

  QHash<QString, int> abbrevIndex;  // food number -> line index
  for (int i = 0; i < abbrevLines.size(); ++i) {
    if (abbrevLines[i].trimmed().isEmpty()) continue;
    const QString number = SplitUsdaLine(abbrevLines[i]).value(0);
    if (abbrevIndex.contains(number))
      return fail(LineError(abbrevPath, i + 1, QStringLiteral("food %1 twice").arg(number)));
    abbrevIndex.insert(number, i);
  }

  if (!db.transaction()) return fail(db.lastError().text());
  QSqlQuery insert(db);
  QStringList marks;
  for (int i = 0; i < kFoodFieldCount; ++i) marks << QStringLiteral("?");
  if (!insert.prepare(QStringLiteral("INSERT INTO food (%1) VALUES (%2)")
                          .arg(FoodColumnNames().join(u", "), marks.join(u", ")))) {
    db.rollback();
    return fail(insert.lastError().text());
  }
  int count = 0;
  QSet<QString> used;
  for (int i = 0; i < descLines.size(); ++i) {
    if (descLines[i].trimmed().isEmpty()) continue;
    const QStringList description = SplitUsdaLine(descLines[i]);
    const QString number = description.value(0);
    const auto found = abbrevIndex.constFind(number);
    if (found == abbrevIndex.constEnd()) {
      db.rollback();
      return fail(LineError(foodDesPath, i + 1,
                            QStringLiteral("food %1 has no line in \"%2\"").arg(number, abbrevPath)));
    }
    FoodRecord record;
    QString reason;
    if (!UsdaFoodRecord(description, SplitUsdaLine(abbrevLines[found.value()]), &record,
                        &reason)) {
      db.rollback();
      const bool abbrevFault = description.size() == kDescFields;
      return fail(abbrevFault ? LineError(abbrevPath, found.value() + 1, reason)
                              : LineError(foodDesPath, i + 1, reason));
    }
    for (int f = 0; f < kFoodFieldCount; ++f) insert.bindValue(f, record.values[f]);
    if (!insert.exec()) {
      const QString message = LineError(foodDesPath, i + 1, insert.lastError().text());
      db.rollback();
      return fail(message);
    }
    used.insert(number);
    ++count;
  }
  if (used.size() != abbrevIndex.size()) {
    db.rollback();
    return fail(QStringLiteral("\"%1\" holds %2 foods that \"%3\" does not describe")
                    .arg(abbrevPath)
                    .arg(abbrevIndex.size() - used.size())
                    .arg(foodDesPath));
  }
  if (!db.commit()) return fail(db.lastError().text());
  if (imported) *imported = count;
  return true;
}
