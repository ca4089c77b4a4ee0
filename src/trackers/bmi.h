#pragma once
// The body-mass index: the index, its class, the four colour bands of the table picture
// and where the arrow sits on that picture.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

// Height and weight in metric units (the fields hold inches and pounds when imperial).
double BmiHeightCm(double heightField, bool imperial);  // inches * 2.54
double BmiWeightKg(double weightField, bool imperial);  // pounds * 0.45359237

// trunc(kg / (cm / 100)^2); 0 for a height that is not above 0.
int BmiIndex(double weightKg, double heightCm);
// "Starving", "Anorexic", "Ideal weight", "Overweight", "Obese", "Morbidly Obese";
// empty above 100 (and below 0).
QString BmiClassText(int index);
// "> " followed by the class.
QString BmiWarningText(int index);

// The legend's four bands: underweight (index below 18), normal weight (18 to 25),
// overweight (26 to 30), obese (31 and above).
enum class BmiBand { Under, Normal, Over, Obese };
BmiBand BmiBandOf(int index);
QColor BmiBandColour(BmiBand band);  // white, yellow, fuchsia, red
QString BmiBandText(BmiBand band);   // "underweight", "normal weight", ...

// The table picture: 353 x 291 pixels; weights 40 to 200 kg run across x 8 to 304,
// heights 140 to 220 cm (4'7" to 7'2") run up from y 256 to y 32.
inline constexpr int kBmiPictureWidth = 353;
inline constexpr int kBmiPictureHeight = 291;
inline constexpr double kBmiMinKg = 40, kBmiSpanKg = 160;
inline constexpr double kBmiMinCm = 140, kBmiSpanCm = 80;
inline constexpr int kBmiPlotLeft = 8, kBmiPlotWidth = 296;
inline constexpr int kBmiPlotBottom = 256, kBmiPlotHeight = 224;
QRect BmiPlotRect();  // x 8..304, y 32..256

// left = trunc((kg - 40) / 160 * 296) + 8, top = 256 - trunc((cm - 140) / 80 * 224).
QPoint BmiArrowPosition(double weightKg, double heightCm);
// The same point kept inside the plotted area, so that a weight or height beyond the
// table's scales leaves the arrow at the table's edge instead of off the picture.
QPoint BmiArrowOnPicture(double weightKg, double heightCm);
// The weight and height a picture pixel stands for (its centre), the inverse of the
// arrow formula.
double BmiPixelKg(int x);
double BmiPixelCm(int y);
