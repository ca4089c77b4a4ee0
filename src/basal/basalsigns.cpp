#include "basal/basalsigns.h"

SignStep NextDischarge(const QString& current) {
  const QString c = current.trimmed();
  if (c.isEmpty()) return {QStringLiteral("P"), QStringLiteral("period")};
  if (c == QLatin1String("P")) return {QStringLiteral("W"), QStringLiteral("Wet Mucus")};
  if (c == QLatin1String("W")) return {QStringLiteral("S"), QStringLiteral("Sticky Mucus")};
  if (c == QLatin1String("S")) return {QStringLiteral("D"), QStringLiteral("Dry")};
  if (c == QLatin1String("D")) return {QString(), QStringLiteral("No Data")};
  return {};
}

SignStep NextCervix(const QString& current) {
  const QString c = current.trimmed();
  if (c.isEmpty()) return {QStringLiteral("S"), QStringLiteral("Soft (like lips)")};
  if (c == QLatin1String("S")) return {QStringLiteral("H"), QStringLiteral("Hard (like a nose)")};
  if (c == QLatin1String("H")) return {QString(), QStringLiteral("No Data")};
  return {};
}

QString SignHoverHint(int row, const QString& text) {
  const QString t = text.trimmed();
  if (row == kDischargeRow) {
    if (t.isEmpty()) return QStringLiteral("No Data. Click to Change");
    if (t == QLatin1String("P")) return QStringLiteral("Period");
    if (t == QLatin1String("W")) return QStringLiteral("Wet Mucus");
    if (t == QLatin1String("S")) return QStringLiteral("Sticky Mucus");
    if (t == QLatin1String("D")) return QStringLiteral("Dry");
    return {};
  }
  if (row == kCervixRow) {
    if (t.isEmpty()) return QStringLiteral("No Data. Click to Change");
    if (t == QLatin1String("S")) return QStringLiteral("Soft like lips");
    if (t == QLatin1String("H")) return QStringLiteral("Hard like a nose");
    return {};
  }
  return {};
}

QStringList DischargeLegend() {
  return {QStringLiteral("P  -  Period"), QStringLiteral("W -  Wet Mucus"),
          QStringLiteral("S  -  Sticky Mucus"), QStringLiteral("D  -  Dry. No discharge")};
}

QStringList CervixLegend() { return {QStringLiteral("S - Soft"), QStringLiteral("H - Hard")}; }
