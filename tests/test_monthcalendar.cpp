// The month grid: where the days sit, how the selection moves, and what is painted.
#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/dateview.h"
#include "core/cyclemodel.h"
#include "cycle/monthlayout.h"
#include "cycle/widgets/monthcalendar.h"
#include "support/fakehost.h"
#include "support/testenv.h"

Q_DECLARE_METATYPE(CycleSettings)

namespace {

class FakeView : public DateView {
 public:
  void ShowDate(const QDate&) override {}
  bool HasLoaded() const override { return loaded; }
  DayMarkPicture MarkPicture() const override { return picture; }
  bool IsDayMarked(const QDate& d) const override {
    ++asked;
    return marked.contains(d);
  }
  bool loaded = true;
  DayMarkPicture picture = DayMarkPicture::None;
  QList<QDate> marked;
  mutable int asked = 0;
};

using ColourTest = std::function<bool(const QColor&)>;

int CountPixels(const QImage& img, const QRect& area, const ColourTest& test) {
  int n = 0;
  const QRect r = area & img.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (test(img.pixelColor(x, y))) ++n;
  return n;
}

bool HeartRed(const QColor& c) { return c.red() > 150 && c.green() < 80 && c.blue() < 130; }
bool StarYellow(const QColor& c) { return c.red() > 200 && c.green() > 170 && c.blue() < 90; }
bool ArrowBlue(const QColor& c) { return c.blue() > 150 && c.red() < 120 && c.green() < 190; }
bool BerryPurple(const QColor& c) {
  return c.blue() > c.red() + 20 && c.red() > 60 && c.green() < 90;
}
bool Black(const QColor& c) { return c.red() < 40 && c.green() < 40 && c.blue() < 40; }

QList<int> Days(std::initializer_list<int> l) { return QList<int>(l); }

}  // namespace

class MonthCalendarTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestEnv> env_;
  std::unique_ptr<FakeHost> host_;
  FakeView view_;

  std::unique_ptr<MonthCalendar> MakeGrid(const QDate& date) {
    auto grid = std::make_unique<MonthCalendar>(host_.get(), [this] { return &view_; });
    grid->resize(328, 272);
    grid->MoveToDate(date);
    return grid;
  }
  // The area where a goal mark sits (left part of the cell, below the top).
  static QRect MarkArea(const QRect& cell) {
    return QRect(cell.left() + 1, cell.top() + 10, 17, 17) & cell;
  }
  static QRect TrackerArea(const QRect& cell) {
    return QRect(cell.left() + 1, cell.top() + 1, 17, 25) & cell;
  }
  static QList<int> DaysWith(const MonthCalendar& grid, const QImage& img,
                             const ColourTest& test, QRect (*area)(const QRect&),
                             int minPixels = 4) {
    QList<int> days;
    const QDate d = grid.Date();
    for (int day = 1; day <= d.daysInMonth(); ++day) {
      const QPoint cell = CellOfDay(d.year(), d.month(), day);
      if (CountPixels(img, area(grid.CellRect(cell.x(), cell.y())), test) >= minPixels)
        days.append(day);
    }
    return days;
  }

 private slots:
  void init() {
    env_ = std::make_unique<TestEnv>();
    host_ = std::make_unique<FakeHost>();
    host_->Settings().Cycle = CycleSettings{QDate(2009, 3, 1), 28, 14, 1};
    host_->viewName = "calendar";
    view_ = FakeView();
  }
  void cleanup() {
    host_.reset();
    env_.reset();
  }

  // --- placement -----------------------------------------------------------------

  void placement_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QPoint>("firstCell");
    QTest::addColumn<QPoint>("lastCell");
    QTest::addColumn<int>("lastRow");
    // February 2009 starts on a Sunday and has 28 days: exactly rows 1 to 4.
    QTest::newRow("February 2009") << 2009 << 2 << QPoint(0, 1) << QPoint(6, 4) << 4;
    // August 2009 starts on a Saturday.
    QTest::newRow("August 2009, Saturday") << 2009 << 8 << QPoint(6, 1) << QPoint(1, 6) << 6;
    // May 2009: 31 days from a Friday reach row 6.
    QTest::newRow("May 2009, Friday") << 2009 << 5 << QPoint(5, 1) << QPoint(0, 6) << 6;
    QTest::newRow("March 2009, Sunday") << 2009 << 3 << QPoint(0, 1) << QPoint(2, 5) << 5;
    QTest::newRow("February 2012, leap") << 2012 << 2 << QPoint(3, 1) << QPoint(3, 5) << 5;
    QTest::newRow("September 2009, Tuesday") << 2009 << 9 << QPoint(2, 1) << QPoint(3, 5) << 5;
  }
  void placement() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QPoint, firstCell);
    QFETCH(QPoint, lastCell);
    QFETCH(int, lastRow);
    const int days = QDate(year, month, 1).daysInMonth();
    QCOMPARE(CellOfDay(year, month, 1), firstCell);
    QCOMPARE(CellOfDay(year, month, days), lastCell);
    // Every cell: the header row is empty, days run on without gaps, nothing past lastRow.
    int expected = 1;
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 7; ++col) {
        const int day = DayAtCell(year, month, col, row);
        if (row == 0 || row > lastRow) {
          QCOMPARE(day, 0);
          continue;
        }
        if (row == 1 && col < firstCell.x()) {
          QCOMPARE(day, 0);
        } else if (expected <= days) {
          QCOMPARE(day, expected);
          QCOMPARE(CellOfDay(year, month, day), QPoint(col, row));
          ++expected;
        } else {
          QCOMPARE(day, 0);
        }
      }
    }
    QCOMPARE(expected, days + 1);
    QCOMPARE(CellOfDay(year, month, days + 1), QPoint(-1, -1));
    QCOMPARE(CellOfDay(year, month, 0), QPoint(-1, -1));
  }

  void cellGeometry() {
    // The real window's grid: 46 x 38 cells with 1-pixel lines between them.
    QCOMPARE(GridColumnWidth(328), 46);
    QCOMPARE(GridRowHeight(272), 38);
    QCOMPARE(GridColumnWidth(334), 46);  // leftover pixels stay outside the cells
    QCOMPARE(GridColumnWidth(3), 0);
    QCOMPARE(GridCellRect(2, 3, 328, 272), QRect(94, 117, 46, 38));
    QCOMPARE(GridCellAt(QPoint(94, 117), 328, 272), QPoint(2, 3));
    QCOMPARE(GridCellAt(QPoint(139, 154), 328, 272), QPoint(2, 3));
    QCOMPARE(GridCellAt(QPoint(140, 120), 328, 272), QPoint(-1, -1));  // a line
    QCOMPARE(GridCellAt(QPoint(330, 120), 334, 272), QPoint(-1, -1));  // right of the cells
  }

  // --- date --------------------------------------------------------------------------

  void startsOnDayOneOfTheSelectedMonth() {
    host_->selected = QDate(2009, 3, 17);
    MonthCalendar grid(host_.get());
    QCOMPARE(grid.Date(), QDate(2009, 3, 1));
  }

  void moveToDate_data() {
    QTest::addColumn<QDate>("target");
    QTest::newRow("1 February") << QDate(2009, 2, 1);
    QTest::newRow("14 February") << QDate(2009, 2, 14);
    QTest::newRow("28 February") << QDate(2009, 2, 28);
  }
  void moveToDate() {
    QFETCH(QDate, target);
    auto grid = MakeGrid(QDate(2009, 1, 31));
    QSignalSpy spy(grid.get(), &MonthCalendar::dateChanged);
    grid->MoveToDate(target);
    QCOMPARE(grid->Date(), target);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDate(), target);

    // February is on screen with the target drawn in black, and no other day is.
    const QImage img = grid->RenderImage();
    QCOMPARE(DaysWith(*grid, img, Black, [](const QRect& r) { return r; }), Days({target.day()}));
  }

  void moveToSameDateFiresNothing() {
    auto grid = MakeGrid(QDate(2009, 3, 5));
    QSignalSpy spy(grid.get(), &MonthCalendar::dateChanged);
    grid->MoveToDate(QDate(2009, 3, 5));
    grid->MoveToDate(QDate());  // an invalid date is not a move
    QCOMPARE(spy.count(), 0);
    QCOMPARE(grid->Date(), QDate(2009, 3, 5));
  }

  void click_data() {
    QTest::addColumn<QPoint>("cell");
    QTest::addColumn<QDate>("expected");  // invalid: nothing happens
    // March 2009 starts on a Sunday; 5 March is selected.
    QTest::newRow("day") << QPoint(3, 2) << QDate(2009, 3, 11);
    QTest::newRow("last day") << QPoint(2, 5) << QDate(2009, 3, 31);
    QTest::newRow("header") << QPoint(2, 0) << QDate();
    QTest::newRow("empty after the month") << QPoint(3, 5) << QDate();
    QTest::newRow("empty last row") << QPoint(0, 6) << QDate();
    QTest::newRow("the selected day") << QPoint(4, 1) << QDate();
  }
  void click() {
    QFETCH(QPoint, cell);
    QFETCH(QDate, expected);
    auto grid = MakeGrid(QDate(2009, 3, 5));
    QSignalSpy spy(grid.get(), &MonthCalendar::dateChanged);
    QTest::mouseClick(grid.get(), Qt::LeftButton, {}, grid->CellRect(cell.x(), cell.y()).center());
    if (expected.isValid()) {
      QCOMPARE(spy.count(), 1);
      QCOMPARE(spy.at(0).at(0).toDate(), expected);
      QCOMPARE(grid->Date(), expected);
    } else {
      QCOMPARE(spy.count(), 0);
      QCOMPARE(grid->Date(), QDate(2009, 3, 5));
    }
  }

  void clickOnGridLineSelectsNothing() {
    auto grid = MakeGrid(QDate(2009, 3, 5));
    QSignalSpy spy(grid.get(), &MonthCalendar::dateChanged);
    const QRect r = grid->CellRect(3, 2);
    QTest::mouseClick(grid.get(), Qt::LeftButton, {}, QPoint(r.right() + 1, r.center().y()));
    QTest::mouseClick(grid.get(), Qt::RightButton, {}, r.center());
    QCOMPARE(spy.count(), 0);
  }

  void doubleClick() {
    auto grid = MakeGrid(QDate(2009, 3, 5));
    QSignalSpy changed(grid.get(), &MonthCalendar::dateChanged);
    QSignalSpy dbl(grid.get(), &MonthCalendar::doubleClicked);
    const QPoint p = grid->CellRect(3, 2).center();
    QTest::mousePress(grid.get(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(grid.get(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(grid.get(), Qt::LeftButton, {}, p);
    QCOMPARE(dbl.count(), 1);
    QCOMPARE(changed.count(), 1);  // the first press selected the day, once
    QCOMPARE(grid->Date(), QDate(2009, 3, 11));
  }

  // The keys walk through the days and on into the next or previous month.
  void arrowKeysCrossMonths() {
    auto grid = MakeGrid(QDate(2009, 3, 5));
    QSignalSpy spy(grid.get(), &MonthCalendar::dateChanged);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCOMPARE(grid->Date(), QDate(2009, 3, 12));
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QCOMPARE(grid->Date(), QDate(2009, 3, 13));
    grid->MoveToDate(QDate(2009, 3, 2));
    spy.clear();
    QTest::keyClick(grid.get(), Qt::Key_Left);
    QCOMPARE(grid->Date(), QDate(2009, 3, 1));
    QTest::keyClick(grid.get(), Qt::Key_Left);
    QCOMPARE(grid->Date(), QDate(2009, 2, 28));
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCOMPARE(grid->Date(), QDate(2009, 3, 7));
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QCOMPARE(grid->Date(), QDate(2009, 2, 28));
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    QCOMPARE(grid->Date(), QDate(2009, 3, 28));
    grid->MoveToDate(QDate(2009, 12, 31));
    spy.clear();
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QCOMPARE(grid->Date(), QDate(2010, 1, 1));
    QCOMPARE(spy.count(), 1);
  }

  // With the keyboard focus the selected day wears a frame; the report picture never.
  void focusFrameOnScreenOnly() {
    auto grid = MakeGrid(QDate(2009, 3, 5));
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    grid->clearFocus();
    QVERIFY(!grid->hasFocus());
    const QImage unfocused = grid->grab().toImage();
    grid->activateWindow();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    const QImage focused = grid->grab().toImage();
    QVERIFY(focused != unfocused);
    QCOMPARE(grid->RenderImage().convertToFormat(QImage::Format_RGB32),
             unfocused.convertToFormat(QImage::Format_RGB32));
  }

  // --- painting ----------------------------------------------------------------------

  void cellColours_data() {
    QTest::addColumn<CycleSettings>("settings");
    QTest::addColumn<QDate>("date");
    QTest::newRow("March 2009, 28/14") << CycleSettings{QDate(2009, 3, 1), 28, 14, 1}
                                       << QDate(2009, 3, 25);
    QTest::newRow("May 2009, 20/10") << CycleSettings{QDate(2009, 3, 1), 20, 10, 0}
                                     << QDate(2009, 5, 1);
    QTest::newRow("February 2009, 40/10") << CycleSettings{QDate(2009, 3, 1), 40, 10, -1}
                                          << QDate(2009, 2, 28);
  }
  void cellColours() {
    QFETCH(CycleSettings, settings);
    QFETCH(QDate, date);
    host_->Settings().Cycle = settings;
    auto grid = MakeGrid(date);
    const QImage img = grid->RenderImage();
    QCOMPARE(img.size(), QSize(328, 272));
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 7; ++col) {
        const QRect r = grid->CellRect(col, row);
        const int day = DayAtCell(date.year(), date.month(), col, row);
        if (day > 0) {
          const QColor want = CycleColour(settings, QDate(date.year(), date.month(), day));
          QCOMPARE(img.pixelColor(r.right() - 1, r.bottom() - 1), want);
          QCOMPARE(img.pixelColor(r.right() - 1, r.top() + 1), want);
        } else if (row == 0) {
          // The weekday names: grey text on white, nothing coloured.
          QCOMPARE(img.pixelColor(r.topLeft()), QColor(Qt::white));
          QCOMPARE(img.pixelColor(r.bottomRight()), QColor(Qt::white));
          QCOMPARE(CountPixels(img, r, [](const QColor& c) {
                     return qAbs(c.red() - c.green()) > 8 || qAbs(c.green() - c.blue()) > 8;
                   }), 0);
          QVERIFY(CountPixels(img, r, [](const QColor& c) { return c.red() < 200; }) > 0);
        } else {
          QCOMPARE(CountPixels(img, r, [](const QColor& c) { return c != Qt::white; }), 0);
        }
      }
    }
  }

  void goalMarks_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("goal");
    QTest::addColumn<QList<int>>("hearts");
    QTest::addColumn<QList<int>>("stars");
    QTest::addColumn<QList<int>>("crosses");
    // LastPeriod 1 March 2009, 28/14: ovulation on 15 March, the next period from 29 March;
    // 25 March is selected.
    QTest::newRow("calendar, Conceive") << "calendar" << 1 << Days({11, 12, 13, 14, 15, 16})
                                        << Days({15}) << Days({});
    QTest::newRow("basal, Conceive a Boy") << "basal" << 2 << Days({14, 15, 16}) << Days({15})
                                           << Days({});
    QTest::newRow("calendar, Conceive a Girl") << "calendar" << 3 << Days({11, 12, 13})
                                               << Days({}) << Days({});
    QTest::newRow("calendar, Avoid") << "calendar" << 0 << Days({}) << Days({})
                                     << Days({1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                              29, 30, 31});
    QTest::newRow("calendar, no goal") << "calendar" << -1 << Days({}) << Days({}) << Days({});
    QTest::newRow("weight, Conceive") << "weight" << 1 << Days({}) << Days({}) << Days({});
    QTest::newRow("todo, Avoid") << "todo" << 0 << Days({}) << Days({}) << Days({});
  }
  void goalMarks() {
    QFETCH(QString, view);
    QFETCH(int, goal);
    QFETCH(QList<int>, hearts);
    QFETCH(QList<int>, stars);
    QFETCH(QList<int>, crosses);
    host_->viewName = view;
    host_->Settings().Cycle.Goal = goal;
    auto grid = MakeGrid(QDate(2009, 3, 25));
    const QImage img = grid->RenderImage();
    QCOMPARE(DaysWith(*grid, img, HeartRed, &MarkArea, 20), hearts);
    QCOMPARE(DaysWith(*grid, img, StarYellow, &MarkArea, 3), stars);

    // The cross: pixels of its colour (or on their way to it from the background) in the
    // left 7 pixels under the top, on the days to avoid (the selected day's large number
    // reaches there).
    QList<int> crossed;
    for (int day = 1; day <= 31; ++day) {
      // A heart's edge passes through the cross's colours; hearts are checked above.
      if (day == 25 || hearts.contains(day)) continue;
      const QPoint cell = CellOfDay(2009, 3, day);
      const QRect r = grid->CellRect(cell.x(), cell.y());
      const QColor bg = img.pixelColor(r.right() - 1, r.bottom() - 1);
      const QRect area(r.left(), r.top() + 10, 7, 14);
      if (CountPixels(img, area, [&](const QColor& c) {
            return c != bg && qAbs(c.red() - 255) <= 25 && qAbs(c.green() - 117) <= 25 &&
                   qAbs(c.blue() - 117) <= 25;
          }) >= 3)
        crossed.append(day);
    }
    QCOMPARE(crossed, crosses);
  }

  void crossStaysInTheLeftTwelvePixels() {
    host_->Settings().Cycle.Goal = 0;
    auto grid = MakeGrid(QDate(2009, 3, 25));
    const QImage img = grid->RenderImage();
    // 9 March: neutral colour, a cross, grey digit "9" in the middle.
    const QPoint cell = CellOfDay(2009, 3, 9);
    const QRect r = grid->CellRect(cell.x(), cell.y());
    const auto crossColour = [](const QColor& c) {
      return c.red() > 240 && c.green() < 200 && c.blue() < 200;
    };
    QVERIFY(CountPixels(img, QRect(r.left(), r.top(), 12, r.height()), crossColour) > 0);
    QCOMPARE(CountPixels(img, QRect(r.left() + 12, r.top(), r.width() - 12, r.height()),
                         crossColour), 0);
  }

  void trackerMarks_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("picture");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QList<int>>("arrows");
    QTest::addColumn<QList<int>>("berries");
    QTest::newRow("weight") << "weight" << int(DayMarkPicture::Arrow) << true << Days({3, 15, 31})
                            << Days({});
    QTest::newRow("exercise, not loaded") << "exercise" << int(DayMarkPicture::Arrow) << false
                                          << Days({}) << Days({});
    QTest::newRow("note") << "note" << int(DayMarkPicture::Berry) << true << Days({})
                          << Days({3, 15, 31});
    QTest::newRow("calendar") << "calendar" << int(DayMarkPicture::None) << true << Days({})
                              << Days({});
  }
  void trackerMarks() {
    QFETCH(QString, view);
    QFETCH(int, picture);
    QFETCH(bool, loaded);
    QFETCH(QList<int>, arrows);
    QFETCH(QList<int>, berries);
    host_->viewName = view;
    host_->Settings().Cycle.Goal = 1;  // Conceive: hearts only in the calendar and basal views
    view_.picture = DayMarkPicture(picture);
    view_.loaded = loaded;
    // Days of other months are never asked about, so a mark there shows nowhere.
    view_.marked = {QDate(2009, 3, 3), QDate(2009, 3, 15), QDate(2009, 3, 31),
                    QDate(2009, 4, 3), QDate(2009, 2, 15)};
    auto grid = MakeGrid(QDate(2009, 3, 25));
    const QImage img = grid->RenderImage();
    QCOMPARE(DaysWith(*grid, img, ArrowBlue, &TrackerArea, 20), arrows);
    QCOMPARE(DaysWith(*grid, img, BerryPurple, &TrackerArea, 20), berries);
    if (view != "calendar") QCOMPARE(DaysWith(*grid, img, HeartRed, &MarkArea, 20), Days({}));
    // One question per day cell at most: the view is asked only for the month shown.
    QVERIFY(view_.asked <= 31);
  }
};

QTEST_MAIN(MonthCalendarTest)
#include "test_monthcalendar.moc"
