#pragma once
// The "Score" tab's picture: the American Heart Association's adult blood-pressure
// categories of 2017 as a coloured table, with the newest reading's category marked and
// the reading written below it. Drawn by code, so it needs no shipped picture.

#include <QColor>
#include <QImage>
#include <QRect>
#include <optional>

#include "trackers/pressurereadings.h"

inline constexpr int kPressurePictureWidth = 590;
inline constexpr int kPressurePictureHeight = 300;

QColor PressureCategoryColour(PressureCategory category);
// Where a category's row lies in the picture.
QRect PressureCategoryRect(PressureCategory category);
QImage PressureClassPicture(const std::optional<PressureReading>& newest);
