#pragma once
// The small marker pictures of the month grid and its legend: `ui_heart` and
// `ui_heart_ovulation` (17 x 17, transparent) for the goal marks, `berry` and
// `ui_arrow` (17 x 25, transparent) for days that hold data in a tracker view.
// Drawn once with antialiased paths and kept for the life of the process.

#include <QColor>
#include <QImage>
#include <QString>

enum class GridPicture { Heart, HeartOvulation, Berry, Arrow };

// The picture, drawn at first use. Needs a QGuiApplication.
const QImage& GridPictureImage(GridPicture picture);

// "ui_heart", "ui_heart_ovulation", "berry", "ui_arrow".
QString GridPictureName(GridPicture picture);

// The frame the month grid draws around the days a period is expected on from her own
// history, and its legend tile.
QColor PredictedWindowColour();
