#pragma once
// The HTML pages of the reports that the trackers and the doctor's report write into the
// Build folder (or beside a file named on the command line): a page made of headings,
// paragraphs, tables and pictures, each line of the page one list entry, every text
// escaped. The page and its pictures are written whole through the file layer, pictures
// as JPEG (quality 100, progressive) named by bare file name beside the page, so the
// browser, the printer and the PDF writer all read the same files.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class ReportPage {
 public:
  explicit ReportPage(const QString& title);

  // Text is escaped; a line break in it becomes <br>.
  void Heading(const QString& text, int level = 3);
  void Paragraph(const QString& text);
  // Bold caption, then the value: one line of a short list ("Blood type: O+").
  void Field(const QString& caption, const QString& value);
  // A table with a header row. A row whose mark is set is drawn on a light red ground
  // with its texts in bold (a reading that needs attention).
  void Table(const QStringList& headers, const QList<QStringList>& rows,
             const QList<bool>& marked = {});
  // <img src=file> with its size; the file is written beside the page by WriteReportFiles.
  void Picture(const QString& file, const QSize& size);
  // Small grey print at the foot of a section.
  void Note(const QString& text);
  // Raw HTML, for what the helpers above do not cover. The caller escapes.
  void Raw(const QString& html) { body_ << html; }

  // The page's lines, from <html> to </html>.
  QStringList Lines() const;

 private:
  QString title_;
  QStringList body_;
};

// The escaped text with line breaks as <br>.
QString HtmlText(const QString& text);

struct ReportPicture {
  QString file;  // bare file name
  QImage image;
};

// Writes every picture into folder (ending in "/"), then the page as pageFile there
// (each line ending in CR LF). False with the user's message at the first failure; the
// steps after it do not run.
bool WriteReportFiles(const QString& folder, const QString& pageFile, const QStringList& lines,
                      const QList<ReportPicture>& pictures, QString* error);
