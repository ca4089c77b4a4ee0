#include "basal/basalreport.h"

#include "core/jpeg.h"
#include "core/textfile.h"

QStringList BasalReportLines() {
  return {QStringLiteral("<html><head>"),
          QStringLiteral("</head><body>"),
          QStringLiteral("<center><h2>"),
          QStringLiteral(" Basal Temperature (BBT) </h2>"),
          QStringLiteral("<table width=600 ><tr>"),
          QStringLiteral("<td><b>Basal Body Temperature (BBT) </b>"),
          QStringLiteral("<img src=basal.jpg border=1>"),
          QStringLiteral("</td><td>"),
          QStringLiteral("</td></tr></table><br>"),
          QStringLiteral("</center></body></html>")};
}

bool WriteBasalReport(const QString& buildFolder, const QImage& picture, QString* error) {
  if (!SaveReportJpeg(picture, buildFolder + QLatin1String(kBasalReportPicture), error))
    return false;
  return WriteTextLines(buildFolder + QLatin1String(kBasalReportPage), BasalReportLines(), error);
}
