#pragma once
// The small drawn pictures of the views' tool buttons (add, delete, move, edit, save,
// report, print): the program ships no icon set, and every view draws them alike.

#include <QIcon>

enum class Glyph { Add, Delete, Up, Down, Edit, Save, Report, Print };

// 16 x 16.
QIcon GlyphIcon(Glyph glyph);
