#include "app/reportpage.h"

#include "core/jpeg.h"
#include "core/textfile.h"

QString HtmlText(const QString& text) {
  QString html = text.toHtmlEscaped();
  html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
  html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  html.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
  return html;
}

ReportPage::ReportPage(const QString& title) : title_(title) {}

void ReportPage::Heading(const QString& text, int level) {
  const int h = qBound(1, level, 6);
  body_ << QStringLiteral("<h%1>%2</h%1>").arg(h).arg(HtmlText(text));
}

void ReportPage::Paragraph(const QString& text) {
  body_ << QStringLiteral("<p>") + HtmlText(text) + QStringLiteral("</p>");
}

void ReportPage::Field(const QString& caption, const QString& value) {
  body_ << QStringLiteral("<p><b>%1:</b> %2</p>").arg(HtmlText(caption), HtmlText(value));
}

void ReportPage::Table(const QStringList& headers, const QList<QStringList>& rows,
                       const QList<bool>& marked) {
  body_ << QStringLiteral("<table border=1 cellspacing=0 cellpadding=3>");
  QString head = QStringLiteral("<tr bgcolor=\"#e8eef6\">");
  for (const QString& h : headers) head += QStringLiteral("<th>") + HtmlText(h) + QStringLiteral("</th>");
  body_ << head + QStringLiteral("</tr>");
  for (int r = 0; r < rows.size(); ++r) {
    const bool mark = r < marked.size() && marked.at(r);
    QString line = mark ? QStringLiteral("<tr bgcolor=\"#f8cccc\">") : QStringLiteral("<tr>");
    for (const QString& cell : rows.at(r)) {
      const QString text = HtmlText(cell);
      line += QStringLiteral("<td>") + (mark ? QStringLiteral("<b>") + text + QStringLiteral("</b>") : text) +
              QStringLiteral("</td>");
    }
    body_ << line + QStringLiteral("</tr>");
  }
  body_ << QStringLiteral("</table>");
}

void ReportPage::Picture(const QString& file, const QSize& size) {
  body_ << QStringLiteral("<p><img src=\"%1\" width=%2 height=%3 border=1></p>")
               .arg(file.toHtmlEscaped())
               .arg(size.width())
               .arg(size.height());
}

void ReportPage::Note(const QString& text) {
  body_ << QStringLiteral("<p><font size=2 color=\"#555555\">") + HtmlText(text) +
               QStringLiteral("</font></p>");
}

QStringList ReportPage::Lines() const {
  QStringList lines{QStringLiteral("<html><head>"),
                    QStringLiteral("<meta charset=\"utf-8\">"),
                    QStringLiteral("<title>") + HtmlText(title_) + QStringLiteral("</title>"),
                    QStringLiteral("</head><body>"),
                    QStringLiteral("<h2>") + HtmlText(title_) + QStringLiteral("</h2>")};
  lines << body_;
  lines << QStringLiteral("</body></html>");
  return lines;
}

bool WriteReportFiles(const QString& folder, const QString& pageFile, const QStringList& lines,
                      const QList<ReportPicture>& pictures, QString* error) {
  for (const ReportPicture& p : pictures)
    if (!SaveReportJpeg(p.image, folder + p.file, error)) return false;
  return WriteTextLines(folder + pageFile, lines, error);
}
