// The pregnancy-probability chart: the month's points at running positions, labelled
// with their day numbers.
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QtTest>
#include <memory>

#include "core/cyclemodel.h"
#include "cycle/monthlayout.h"
#include "cycle/widgets/probabilitychart.h"
#include "support/testenv.h"

Q_DECLARE_METATYPE(CycleSettings)

namespace {

QStringList DayLabels(int from, int to) {
  QStringList l;
  for (int d = from; d <= to; ++d) l << QString::number(d);
  return l;
}

}  // namespace

class ProbabilityChartTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestEnv> env_;

 private slots:
  void init() { env_ = std::make_unique<TestEnv>(); }
  void cleanup() { env_.reset(); }

  void namesAndAxes() {
    ProbabilityChart chart;
    QCOMPARE(chart.objectName(), QString("Chart1"));
    QCOMPARE(chart.chart()->series().size(), 1);
    auto* series = qobject_cast<QLineSeries*>(chart.chart()->series().first());
    QVERIFY(series);
    QCOMPARE(series->name(), QString("Series1"));
    QCOMPARE(series->objectName(), QString("Series1"));
    QCOMPARE(series->pen().color(), QColor(Qt::red));
    QVERIFY(!series->pointsVisible());
    QVERIFY(!chart.chart()->legend()->isVisible());
    QCOMPARE(chart.chart()->title(), QString("Probability of Pregnancy "));
    QCOMPARE(chart.LeftLabels(),
             QStringList({"0%", "5%", "10%", "15%", "20%", "25%", "30%", "35%"}));
    const auto left = chart.chart()->axes(Qt::Vertical);
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first()->titleText(), QString("Pregnancy"));
  }

  void points_data() {
    QTest::addColumn<CycleSettings>("settings");
    QTest::addColumn<QDate>("month");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QStringList>("labels");
    const QList<int> run = {2, 2, 2, 8, 13, 10, 30, 25, 7, 2, 2};
    QTest::newRow("March 2009, 28/14") << CycleSettings{QDate(2009, 3, 1), 28, 14, 1}
                                       << QDate(2009, 3, 5) << "March" << run
                                       << DayLabels(7, 17);
    // 20/10 (ovulation on index 10): two runs in March, from 3 and from 23 March.
    QTest::newRow("two runs") << CycleSettings{QDate(2009, 3, 1), 20, 10, 1} << QDate(2009, 3, 31)
                              << "March" << run + run.mid(0, 9)
                              << DayLabels(3, 13) + DayLabels(23, 31);
    // Ovulation on 2 and on 30 April: the end of one run, then a run cut by the month's end.
    QTest::newRow("ovulation on the last day") << CycleSettings{QDate(2009, 4, 16), 28, 14, 1}
                                               << QDate(2009, 4, 1) << "April"
                                               << run.mid(7, 4) + run.mid(0, 9)
                                               << DayLabels(1, 4) + DayLabels(22, 30);
    // 40/10 from 30 December 2008: no day of February 2009 has a point.
    QTest::newRow("no points") << CycleSettings{QDate(2008, 12, 30), 40, 10, 1}
                               << QDate(2009, 2, 10) << "February" << QList<int>() << QStringList();
  }
  void points() {
    QFETCH(CycleSettings, settings);
    QFETCH(QDate, month);
    QFETCH(QString, title);
    QFETCH(QList<int>, values);
    QFETCH(QStringList, labels);
    ProbabilityChart chart;
    chart.resize(330, 200);
    // A chart showing another month first: Refresh replaces everything.
    chart.Refresh(CycleSettings{QDate(2009, 3, 1), 23, 12, 1}, QDate(2009, 7, 1));
    chart.Refresh(settings, month);
    QCOMPARE(chart.BottomTitle(), title);
    const QList<QPointF> points = chart.Points();
    QCOMPARE(points.size(), values.size());
    for (int i = 0; i < points.size(); ++i) {
      QCOMPARE(points[i].x(), qreal(i));
      QCOMPARE(points[i].y(), qreal(values[i]));
    }
    QCOMPARE(chart.Labels(), labels);
    // The bottom axis shows the day numbers at the points' positions.
    auto* bottom = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).first());
    QVERIFY(bottom);
    QCOMPARE(bottom->categoriesLabels(), labels);
    for (int i = 0; i < labels.size(); ++i) QCOMPARE(bottom->endValue(labels[i]), qreal(i));
    QCOMPARE(bottom->titleText(), title);
  }

  void crowdedLabelsAreLeftOutNotCut() {
    ProbabilityChart chart;
    chart.resize(330, 200);
    chart.Refresh(CycleSettings{QDate(2009, 3, 1), 28, 14, 1}, QDate(2009, 3, 5));
    chart.RenderImage();
    QCOMPARE(chart.ShownLabels(), DayLabels(7, 17));  // eleven fit

    // Two runs, twenty points: some day numbers give way, the rest stay whole and in order.
    chart.Refresh(CycleSettings{QDate(2009, 3, 1), 20, 10, 1}, QDate(2009, 3, 31));
    chart.RenderImage();
    const QStringList shown = chart.ShownLabels();
    QVERIFY2(shown.size() >= 10 && shown.size() < 20, qPrintable(shown.join(' ')));
    QCOMPARE(shown.first(), QString("3"));
    qsizetype at = -1;
    for (const QString& label : shown) {
      const qsizetype i = chart.Labels().indexOf(label, at + 1);
      QVERIFY2(i > at, qPrintable(label));
      at = i;
    }
  }

  void renderImage() {
    ProbabilityChart chart;
    chart.resize(330, 200);
    chart.Refresh(CycleSettings{QDate(2009, 3, 1), 28, 14, 1}, QDate(2009, 3, 5));
    const QImage img = chart.RenderImage();
    QCOMPARE(img.size(), QSize(330, 200));
    int red = 0, grey = 0;
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
        if (c.red() < 170 && qAbs(c.red() - c.blue()) < 6 && qAbs(c.red() - c.green()) < 6) ++grey;
      }
    }
    QVERIFY2(red > 100, "the red line is drawn");
    QVERIFY2(grey > 100, "titles and labels are drawn");
    QCOMPARE(img.pixelColor(1, img.height() - 1), QColor(Qt::white));
  }
};

QTEST_MAIN(ProbabilityChartTest)
#include "test_probabilitychart.moc"
