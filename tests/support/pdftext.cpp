#include "support/pdftext.h"

#include <QProcess>
#include <QStandardPaths>

QString PdfText(const QString& pdfPath) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}
