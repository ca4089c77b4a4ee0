#pragma once
// The pictures of the body-mass-index tab: the table of weight across and height up,
// coloured by the legend's bands, and the arrow that points at the user's place on it.

#include <QImage>
#include <QStringList>

// 353 x 291 pixels; the scales are labelled in pounds and inches when imperial, in
// kilograms and centimetres otherwise (the colours do not depend on it).
QImage BmiTablePicture(bool imperial);
// The labels of its height scale, bottom first: 5'0" to 7'0" by half feet, or 140 to
// 220 cm by tens.
QStringList BmiHeightLabels(bool imperial);
// A small arrow whose tip is its top-left pixel, so placing the picture at a point
// points at that point.
QImage BmiArrowPicture();
