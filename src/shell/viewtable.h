#pragma once
// The program's views in one table: the header icons are laid out in its order, ShowView
// reads its pages and captions from it, and the start-up routine makes and docks the
// views it names. Adding a view is one entry here (and its include in viewtable.cpp).

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class ViewHost;

struct ViewEntry {
  QString name;       // the ShowView name
  QString icon;       // object name of its header icon; empty: no icon
  QString hint;       // the icon's tooltip
  QString caption;    // the caption under the icon
  bool iconShown;     // a hidden icon exists but takes no slot
  int iconPage;       // >= 0: an icon click also turns the view to this page
  QString panel;      // object name of the panel the view is docked in
  int outerPage;      // page of pgMain; < 0: not a page (the weekly-planner icon)
  int innerPage;      // page of ui_pg; < 0: unchanged
  bool footer;        // the cycle settings footer is shown
  bool dateBar;       // the date bar is shown
  QString title;      // the view title; a null string: the grid's date
  // Makes the view (a QWidget that is a DateView); empty for the pages the main window
  // draws itself (calendar, journal, forum).
  std::function<QWidget*(ViewHost*)> make;
  bool firstShowDate;  // gets ShowDate(the grid's date) at start-up
};

// In header order.
const QList<ViewEntry>& ViewTable();
// The entry of a ShowView name, or nullptr.
const ViewEntry* FindView(const QString& name);
