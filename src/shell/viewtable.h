#pragma once
// The program's views in one table: the header icons are laid out in its order, the
// pages and their panels are made from it, ShowView reads its pages and captions from
// it, and the start-up routine makes and docks the views it names. Adding a view is one
// entry in viewtable.cpp (and its include there); an entry names only what differs from
// the defaults below.

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class ViewHost;

struct ViewEntry {
  QString name;             // the ShowView name
  QString icon;             // object name of its header icon; empty: no icon
  QString hint;             // the icon's tooltip
  QString caption;          // the caption under the icon
  bool iconShown = true;    // a hidden icon exists but takes no slot
  int iconPage = -1;        // >= 0: an icon click also turns the view to this page
  QString panel;            // object name of the panel the view is docked in
  QString side;             // the panel its SideWidget() is docked in, on its outer page
  int outerPage = 0;        // page of pgMain; < 0: not a page (the weekly-planner icon)
  int innerPage = -1;       // page of ui_pg (on outer page 0); < 0: unchanged
  bool footer = false;      // the cycle settings footer is shown
  bool dateBar = true;      // the date bar is shown
  QString title;            // the view title
  bool dateTitle = false;   // the title is the selected day instead ("Mar 5, 2009 ")
  bool dayCaption = false;  // the page shows the selected day's long date over the panel
  // The view keeps the grid's day (to-do lists, the journal note): the month grid follows
  // the date bar while it is on screen.
  bool gridDay = false;
  // Makes the view (a QWidget that is a DateView); empty for the pages the main window
  // draws itself (the forum) and for the weekly-planner icon.
  std::function<QWidget*(ViewHost*)> make;
  bool firstShowDate = false;  // gets ShowDate(the first day of the month) at start-up
};

// In header order.
const QList<ViewEntry>& ViewTable();
// The entry of a ShowView name, or nullptr.
const ViewEntry* FindView(const QString& name);

// A caption as a menu entry: a mnemonic on the first letter of a word that is not in
// *taken yet (which then holds it), and "&" shown as itself.
QString MenuText(const QString& caption, QString* taken);
