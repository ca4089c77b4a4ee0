#pragma once
// The blood-pressure part of the reports: the readings as a table with their categories
// (a crisis marked), the morning and evening averages, the highest and the lowest, and
// the graph over the period. The doctor's report holds it as a section; the blood-
// pressure tracker's own page (pressure.html in the Build folder) holds it with the
// category picture.

#include <QDate>
#include <QImage>
#include <QString>

#include "app/reportpage.h"
#include "trackers/pressurehistory.h"

// Systolic, diastolic and (where given) pulse over the days from first to last.
QImage PressureChartPicture(const QVector<DatedReading>& readings, const QDate& first,
                            const QDate& last);
// The section: nothing when there are no readings.
void AddPressureSection(ReportPage& page, const PressureHistory& history,
                        const QString& pictureFile);

inline constexpr const char* kPressureReportPage = "pressure.html";
inline constexpr const char* kPressureReportGraph = "pressure_graph.jpg";
inline constexpr const char* kPressureReportScore = "pressure_score.jpg";
// The tracker's page of every dated reading of its log, with the categories picture
// (the newest reading marked) and the graph.
QStringList PressureReportLines(const QDate& shown, const PressureHistory& history);
// Writes the pictures and the page into folder. False with the user's message.
bool WritePressureReport(const QString& folder, const QDate& shown, const CellGrid& log,
                         QString* error);
