#pragma once
#include <QImage>
#include <QString>
// Writes a report picture: JPEG, quality 100, progressive scan (QSaveFile).
bool SaveReportJpeg(const QImage& image, const QString& path, QString* error);
