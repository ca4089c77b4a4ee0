// Digits typed into the date and time fields go into the section a click landed in, in
// every display format the program uses and in another language; a month shown by name
// takes its number. Then the program's own fields.

#include <QDateEdit>
#include <QLineEdit>
#include <QtTest>

#include "app/widgets/datefield.h"
#include "core/clock.h"
#include "shell/mainwindow.h"
#include "support/testenv.h"

namespace {

// A click in the middle of a section's text, as a mouse would land.
void ClickSection(QDateTimeEdit* edit, int section) {
  auto* line = edit->findChild<QLineEdit*>();
  const QString text = line->text();
  int at = 0;
  for (int i = 0; i < section; ++i) at = text.indexOf(edit->sectionText(edit->sectionAt(i)), at) +
                                         edit->sectionText(edit->sectionAt(i)).size();
  at = text.indexOf(edit->sectionText(edit->sectionAt(section)), at);
  const QString shown = edit->sectionText(edit->sectionAt(section));
  const int saved = line->cursorPosition();
  line->setCursorPosition(at + std::max<int>(1, shown.size() / 2));
  const QPoint point = line->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
  line->setCursorPosition(saved);
  QTest::mouseClick(line, Qt::LeftButton, {}, point);
  QCoreApplication::processEvents();
}

}  // namespace

class DateFieldTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void digitsGoIntoTheClickedSection_data();
  void digitsGoIntoTheClickedSection();
  void tabAndArrowsStartANewSection();
  void theProgramsDateFields();
};

void DateFieldTest::digitsGoIntoTheClickedSection_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("format");
  QTest::addColumn<int>("section");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QDateTime>("expected");
  const QDate d(2009, 3, 14);
  const QTime t(7, 30);
  auto at = [&](const QDate& date) { return QDateTime(date, t); };
  QTest::newRow("day of MMM dd, yyyy") << "en_US" << "MMM dd, yyyy" << 1 << "20" << at({2009, 3, 20});
  QTest::newRow("year of MMM dd, yyyy") << "en_US" << "MMM dd, yyyy" << 2 << "2012" << at({2012, 3, 14});
  QTest::newRow("month by name, 5") << "en_US" << "MMM dd, yyyy" << 0 << "5" << at({2009, 5, 14});
  QTest::newRow("month by name, 1 2") << "en_US" << "MMMM d, yyyy" << 0 << "12" << at({2009, 12, 14});
  QTest::newRow("month by name, 1") << "en_US" << "MMMM d, yyyy" << 0 << "1" << at({2009, 1, 14});
  QTest::newRow("month by name, 1 3") << "en_US" << "MMMM d, yyyy" << 0 << "13" << at({2009, 3, 14});
  QTest::newRow("month by name, day kept in the month") << "en_US" << "MMM d, yyyy" << 0 << "2"
                                                        << at({2009, 2, 14});
  QTest::newRow("day of M/d/yyyy") << "en_US" << "M/d/yyyy" << 1 << "9" << at({2009, 3, 9});
  QTest::newRow("month of M/d/yyyy") << "en_US" << "M/d/yyyy" << 0 << "11" << at({2009, 11, 14});
  QTest::newRow("German month by name") << "de_DE" << "MMMM d, yyyy" << 0 << "10" << at({2009, 10, 14});
  QTest::newRow("German short date, month") << "de_DE" << "dd.MM.yyyy" << 1 << "8" << at({2009, 8, 14});
  QTest::newRow("German short date, year") << "de_DE" << "dd.MM.yyyy" << 2 << "2010" << at({2010, 3, 14});
  QTest::newRow("minutes of hh:mm AP") << "en_US" << "hh:mm AP" << 1 << "45"
                                       << QDateTime(d, QTime(7, 45));
  QTest::newRow("hours of hh:mm AP") << "en_US" << "hh:mm AP" << 0 << "9"
                                     << QDateTime(d, QTime(9, 30));
}

void DateFieldTest::digitsGoIntoTheClickedSection() {
  QFETCH(QString, locale);
  QFETCH(QString, format);
  QFETCH(int, section);
  QFETCH(QString, typed);
  QFETCH(QDateTime, expected);
  QLocale::setDefault(QLocale(locale));
  QWidget window;
  auto* edit = new QDateTimeEdit(&window);
  edit->setLocale(QLocale(locale));
  edit->setDisplayFormat(format);
  edit->setDateTimeRange(QDateTime(QDate(2004, 1, 1), QTime(0, 0)),
                         QDateTime(QDate(2099, 12, 31), QTime(23, 59)));
  edit->setDateTime(QDateTime(QDate(2009, 3, 14), QTime(7, 30)));
  edit->setGeometry(10, 10, 220, 26);
  TypeDigitsIntoSections(edit);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  ClickSection(edit, section);
  QVERIFY(edit->hasFocus());
  QCOMPARE(edit->currentSectionIndex(), section);
  QTest::keyClicks(edit, typed);
  QCOMPARE(edit->dateTime(), expected);
}

void DateFieldTest::tabAndArrowsStartANewSection() {
  QWidget window;
  auto* before = new QLineEdit(&window);
  before->setGeometry(10, 10, 50, 24);
  auto* edit = new QDateEdit(QDate(2009, 3, 14), &window);
  edit->setDisplayFormat("M/d/yyyy");
  edit->setGeometry(10, 40, 200, 26);
  TypeDigitsIntoSections(edit);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  before->setFocus();
  QTest::keyClick(before, Qt::Key_Tab);
  QVERIFY(edit->hasFocus());
  QTest::keyClicks(edit, "5");
  QCOMPARE(edit->date(), QDate(2009, 5, 14));
  // A click in the year, then a move left into the day and new digits there.
  ClickSection(edit, 2);
  QTest::keyClicks(edit, "2011");
  QCOMPARE(edit->date(), QDate(2011, 5, 14));
  ClickSection(edit, 1);
  QTest::keyClicks(edit, "2");
  QTest::keyClick(edit, Qt::Key_Tab);  // on to the year
  QTest::keyClicks(edit, "2010");
  QCOMPARE(edit->date(), QDate(2010, 5, 2));
}

void DateFieldTest::theProgramsDateFields() {
  TestEnv env;
  Clock::SetSource([] { return QDateTime(QDate(2009, 3, 14), QTime(12, 0)); });
  MainWindow form(TestEnv::programFolder(), true);
  form.ShowAndStart();
  QTRY_VERIFY(form.Started());
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  auto* picker = form.findChild<QDateEdit*>("Date_Picker");
  ClickSection(picker, 2);
  QTest::keyClicks(picker, "2012");
  QCOMPARE(form.SelectedDate(), QDate(2012, 3, 14));
  ClickSection(picker, 0);
  QTest::keyClicks(picker, "7");
  QCOMPARE(form.SelectedDate(), QDate(2012, 7, 14));
  auto* last = form.findChild<QDateEdit*>("ui_LastPeriod");
  const QDate lastBefore = last->date();
  ClickSection(last, 1);
  // One digit of a two-digit day counts when she moves on.
  QTest::keyClicks(last, "3");
  QTest::keyClick(last, Qt::Key_Tab);
  QCOMPARE(last->date(), QDate(lastBefore.year(), lastBefore.month(), 3));
  Clock::SetSource({});
}

QTEST_MAIN(DateFieldTest)
#include "test_datefield.moc"
