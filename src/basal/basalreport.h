#pragma once
// The basal report in the Build folder: basal.jpg, a picture of the chart page, and
// Basal.html, the page that shows it.

#include <QImage>
#include <QString>
#include <QStringList>

inline constexpr const char* kBasalReportPage = "Basal.html";
inline constexpr const char* kBasalReportPicture = "basal.jpg";

// The ten lines of Basal.html (each written with CR LF).
QStringList BasalReportLines();

// Writes basal.jpg (JPEG, quality 100, progressive) and then Basal.html into buildFolder.
// Stops at the first file that cannot be written, with *error the user's message.
bool WriteBasalReport(const QString& buildFolder, const QImage& picture, QString* error);
