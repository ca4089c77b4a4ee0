#include "cycle/calendarreport.h"

#include <QPainter>

#include "core/jpeg.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/cyclemodel.h"
#include "cycle/gridpictures.h"

CalendarReportData MakeCalendarReportData(const CycleSettings& settings,
                                          const QDate& selectedDate, const QDate& today) {
  CalendarReportData d;
  d.goalText = GoalName(settings.Goal);
  d.selectedDate = selectedDate;
  d.lastPeriod = settings.LastPeriod;
  d.cycleLength = settings.CycleLength;
  d.lutealLength = settings.LutealLength;
  d.created = today;
  return d;
}

QStringList CalendarReportLines(const CalendarReportData& d) {
  const QString dateFormat = QStringLiteral("mmm dd, yyyy");
  const QString month = FormatDate(QStringLiteral("mmmm"), d.selectedDate);
  const QString year = d.selectedDate.isValid() ? QString::number(d.selectedDate.year())
                                                 : QString();
  return {
      QStringLiteral("<html><head><title>Mavelo</title></head>"),
      QStringLiteral("<body><center>"),
      QStringLiteral("<h3><u>Mavelo</u></h3>"),
      QStringLiteral("<b>Goal: ") + d.goalText + QStringLiteral("</b>"),
      QStringLiteral("<br><br>"),
      QStringLiteral("<center><b>::: ") + month + QStringLiteral("&nbsp;") + year +
          QStringLiteral("&nbsp;Calendar ::: </b></center>"),
      QStringLiteral("<table border=0>"),
      QStringLiteral("<tr><td>"),
      QStringLiteral("<img border=3 border-color=silver src=calendar.jpg>"),
      QStringLiteral("</td>"),
      QStringLiteral("<td>"),
      QStringLiteral("<img border=0 border-color=silver src=legend.jpg>"),
      QStringLiteral("<tr><td>"),
      QStringLiteral("<br clear=all><br>"),
      QStringLiteral("<b>Pregnancy Probability Chart  </b> <br>"),
      QStringLiteral("<img border=1 src=chart.jpg>"),
      QStringLiteral("<br clear=all><br>"),
      QStringLiteral("<td>"),
      QStringLiteral("<b>Last Period : </b> ") + FormatDate(dateFormat, d.lastPeriod) +
          QStringLiteral("  <br>"),
      QStringLiteral("<b>Cycle Length : </b> ") + QString::number(d.cycleLength) +
          QStringLiteral(" &nbsp; days <br>"),
      QStringLiteral("<b>Luteal Phase : </b> ") + QString::number(d.lutealLength) +
          QStringLiteral(" &nbsp; days <br>"),
      QStringLiteral("<b>Created : </b> ") + FormatDate(dateFormat, d.created) +
          QStringLiteral(" <br>"),
      QStringLiteral("</td></tr></table>"),
      QStringLiteral("<center><body></html>"),
  };
}

QImage CalendarLegendImage() {
  struct Entry {
    QColor colour;          // a colour tile, or
    const QImage* picture;  // a picture, or neither for the cross
    QString caption;
  };
  const Entry entries[] = {
      {ClassColour(CycleClassKind::Fertile), nullptr, QStringLiteral("Fertile Day")},
      {ClassColour(CycleClassKind::Ovulation), nullptr, QStringLiteral("Ovulation")},
      {ClassColour(CycleClassKind::PeriodDay1), nullptr, QStringLiteral("Menstrual Flow")},
      {ClassColour(CycleClassKind::Neutral), nullptr, QStringLiteral("Neutral Day")},
      {QColor(), &GridPictureImage(GridPicture::Heart), QStringLiteral("Have intercourse")},
      {QColor(), nullptr, QStringLiteral("No intercourse")},
  };
  constexpr int kWidth = 170, kRowHeight = 34, kTop = 20;
  constexpr int kTileW = 25, kTileH = 17, kLeft = 10, kTextLeft = kLeft + kTileW + 9;
  QImage img(kWidth, kTop * 2 + kRowHeight * 6 - (kRowHeight - kTileH),
             QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont captionFont(QStringLiteral("Arial"));
  captionFont.setPixelSize(13);
  captionFont.setBold(true);
  QFont crossFont(QStringLiteral("Arial"));
  crossFont.setPixelSize(17);
  crossFont.setBold(true);

  int y = kTop;
  for (const Entry& e : entries) {
    const QRect tile(kLeft, y, kTileW, kTileH);
    if (e.colour.isValid()) {
      p.setPen(QColor(160, 160, 160));
      p.setBrush(e.colour);
      p.drawRoundedRect(QRectF(tile).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    } else if (e.picture) {
      p.drawImage(tile.left() + (kTileW - e.picture->width()) / 2,
                  tile.top() + (kTileH - e.picture->height()) / 2, *e.picture);
    } else {
      // The red cross of the grid, drawn large enough to read in a legend.
      p.setFont(crossFont);
      p.setPen(QColor(255, 117, 117));
      p.drawText(tile, Qt::AlignCenter, QStringLiteral("x"));
    }
    p.setFont(captionFont);
    p.setPen(QColor(80, 80, 80));
    p.drawText(QRect(kTextLeft, y - 4, kWidth - kTextLeft - 2, kTileH + 8),
               Qt::AlignLeft | Qt::AlignVCenter, e.caption);
    y += kRowHeight;
  }
  return img;
}

bool WriteCalendarReport(const QString& buildFolder, const QImage& calendarPicture,
                         const QImage& chartPicture, const CalendarReportData& data,
                         QString* error) {
  if (!SaveReportJpeg(calendarPicture, buildFolder + QStringLiteral("calendar.jpg"), error))
    return false;
  if (!SaveReportJpeg(chartPicture, buildFolder + QStringLiteral("chart.jpg"), error))
    return false;
  if (!SaveReportJpeg(CalendarLegendImage(), buildFolder + QStringLiteral("legend.jpg"), error))
    return false;
  return WriteTextLines(buildFolder + QStringLiteral("calendar.html"),
                        CalendarReportLines(data), error);
}
