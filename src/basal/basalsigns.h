#pragma once
// The fertility signs of the basal chart: the discharge and cervix codes, the order a
// click steps through them, and the hints and legend texts that explain them.

#include <QString>
#include <QStringList>

// Rows of the signs grid.
enum BasalSignRow { kSignCycleDayRow = 0, kDischargeRow = 1, kCervixRow = 2, kIntercourseRow = 3 };

inline constexpr const char* kIntercourseMark = "*";

struct SignStep {
  QString code;  // the new cell text
  QString hint;  // the hint shown after the click
};

// (empty) -> P -> W -> S -> D -> (empty); any other text becomes empty with no hint.
SignStep NextDischarge(const QString& current);
// (empty) -> S -> H -> (empty); any other text becomes empty with no hint.
SignStep NextCervix(const QString& current);

// The hint while the mouse rests on a day cell of the signs grid; empty for no hint.
QString SignHoverHint(int row, const QString& text);

// The legend lines shown beside the chart.
QStringList DischargeLegend();
QStringList CervixLegend();
