// Feeds arbitrary bytes to the USDA import. The input, cut at the first 0x1E byte, is a
// FOOD_DES.txt and an ABBREV.txt. The first lines are taken apart and their numbers
// converted as the import does, with what the conversions promise (a normalised number
// normalises to itself, a serving value is a plain number); then the release is imported
// into an empty food table: on success it holds one food per described line, on failure
// nothing at all. The foods imported get the search index, and each of the first is found
// through it by its own name.
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "fuzzfolder.h"
#include "core/textfile.h"
#include "nutrition/foodquery.h"
#include "nutrition/foodsearch.h"
#include "nutrition/foodtable.h"
#include "nutrition/usdaimport.h"

namespace {
constexpr const char* kTarget = "USDA import";

QSqlDatabase& Database() {
  static QSqlDatabase db = [] {
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz"));
    d.setDatabaseName(QStringLiteral(":memory:"));
    QString e;
    if (!d.open() || !CreateFoodTable(d, &e)) fuzz::Fail(kTarget, "no database");
    return d;
  }();
  return db;
}

int Count(QSqlDatabase& db, const QString& table) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !q.next())
    fuzz::Fail(kTarget, "the table does not read");
  return q.value(0).toInt();
}

// Digits, then at most two decimals without a trailing zero: what the table stores.
bool PlainDecimal(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("^\\d+(\\.\\d?[1-9])?$"));
  return pattern.match(text).hasMatch();
}

// The conversions of the first fields (the import below converts them all): a
// normalised number normalises to itself, a serving value is a plain number.
void CheckNumbers(const QStringList& fields, int* budget) {
  for (const QString& f : fields) {
    if ((*budget)-- <= 0) return;
    const QString n = NormalizedDecimal(f);
    if (n.isNull()) continue;
    if (!n.isEmpty() && (NormalizedDecimal(n) != n || !PlainDecimal(n)))
      fuzz::Fail(kTarget, "a normalised number changes again");
    for (const QString& weight : {QStringLiteral("244.00"), f}) {
      const QString s = PerServingText(f, weight);
      if (!s.isNull() && !s.isEmpty() && !PlainDecimal(s))
        fuzz::Fail(kTarget, "a serving value is not a plain number of two decimals at most");
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApplication();
  Database();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype cut = bytes.indexOf('\x1e');
  const QByteArray desc = cut < 0 ? bytes : bytes.left(cut);
  const QByteArray abbrev = cut < 0 ? QByteArray() : bytes.mid(cut + 1);

  const QStringList descLines = SplitLines(DecodeText(desc));
  const QStringList abbrevLines = SplitLines(DecodeText(abbrev));
  int budget = 128;
  for (qsizetype i = 0; i < 16 && (i < descLines.size() || i < abbrevLines.size()); ++i) {
    const QStringList d = SplitUsdaLine(descLines.value(i));
    const QStringList a = SplitUsdaLine(abbrevLines.value(i));
    CheckNumbers(d, &budget);
    CheckNumbers(a, &budget);
    FoodRecord record;
    QString reason;
    UsdaFoodRecord(d, a, &record, &reason);
  }

  const QString folder = fuzz::EmptyFolder();
  fuzz::WriteFile(folder + QStringLiteral("FOOD_DES.txt"), desc);
  fuzz::WriteFile(folder + QStringLiteral("ABBREV.txt"), abbrev);
  QSqlDatabase& db = Database();
  QSqlQuery(db).exec(QStringLiteral("DROP TABLE IF EXISTS food_search"));
  QSqlQuery(db).exec(QStringLiteral("DELETE FROM food"));
  QString error;
  int imported = 0;
  const bool ok = ImportUsdaRelease(db, folder + QStringLiteral("FOOD_DES.txt"),
                                    folder + QStringLiteral("ABBREV.txt"), &error, &imported);
  const int stored = Count(db, FoodTableName());
  if (!ok) {
    if (stored != 0) fuzz::Fail(kTarget, "a failed import left foods behind");
    if (error.isEmpty()) fuzz::Fail(kTarget, "a failed import gave no reason");
    return 0;
  }
  int described = 0;
  for (const QString& line : descLines)
    if (!line.trimmed().isEmpty()) ++described;
  if (stored != imported || stored != described) fuzz::Fail(kTarget, "foods lost or added");

  if (!CreateFoodSearchIndex(db, &error)) fuzz::Fail(kTarget, "the search index cannot be made");
  QStringList numbers, names;
  {
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT NDB_No, Long_Desc FROM food ORDER BY rowid LIMIT 8"));
    while (q.next()) {
      numbers << q.value(0).toString();
      names << q.value(1).toString();
    }
  }
  FoodQuery query(db);
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (FoodSearchText(names[i]).IsEmpty()) continue;
    if (!query.SearchByKeyword(names[i])) fuzz::Fail(kTarget, "a search fails");
    bool found = false;
    for (int r = 0; r < query.rowCount(); ++r)
      if (query.Field(r, FoodField::NDB_No) == numbers[i]) found = true;
    if (!found) fuzz::Fail(kTarget, "a food is not found by its own name");
  }
  return 0;
}
