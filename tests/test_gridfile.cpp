#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <sys/stat.h>

#include "core/textfile.h"
#include "support/faults.h"
#include "support/testenv.h"
#include "core/gridfile.h"
#include "core/heldyears.h"

using Rows = QList<QStringList>;

namespace {

// Every cell of the grid, row by row, ColCount texts per row.
Rows Cells(const CellGrid& g) {
  Rows out;
  for (int r = 0; r < g.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < g.ColCount(); ++c) row << g.Cell(c, r);
    out << row;
  }
  return out;
}

CellGrid GridOf(const Rows& rows, int cols) {
  CellGrid g(cols, int(rows.size()));
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size(); ++c) g.SetCell(c, r, rows[r][c]);
  return g;
}

QByteArray Fixture(const QString& name) {
  QFile f(TestEnv::testData("grid/" + name));
  if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", qPrintable(name));
  return f.readAll();
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

quint64 Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace

class GridFileTest : public QObject {
  Q_OBJECT

 private slots:
  // cells
  void cellsOutsideTheGrid();
  void shapeChangesKeepCells();
  void currentCellNeverInHeader();
  // file format
  void savedBytes_data();
  void savedBytes();
  void loadedCells_data();
  void loadedCells();
  void loadedFixtures_data();
  void loadedFixtures();
  void damagedFilesOpenReadOnly_data();
  void damagedFilesOpenReadOnly();
  void emptyBytes();
  void loadSaveLoadResave();
  void emptyFileKeepsCell();
  void loadReplacesEarlierShape();
  void gridLineRoundTrip_data();
  void gridLineRoundTrip();
  // failures
  void loadFailureKeepsGrid();
  void saveFailureKeepsFile_data();
  void saveFailureKeepsFile();
  void saveReplacesWholeFile();
  void deviceForms();
  // bad input
  void garbageKeepsOtherRows();
  void tenMegabyteLine();
  void wideLineAndManyShortLines();
  void randomBytesNeverCrash();
  // rows and statistics
  void rowMoves_data();
  void rowMoves();
  void numericCells_data();
  void numericCells();
  void columnAverage_data();
  void columnAverage();
  void columnTotal_data();
  void columnTotal();
  void weekdayAverage();
  // year grids
  void yearGridRows_data();
  void yearGridRows();
  void initYearGrid();
  void openYearGridWithoutFile();
  void openOldLeapYearFile();
  void openYearFileWithFewerColumns();
  void openYearFileThatCannotBeRead();
  void unreadableYearFileIsNeverReplaced();
  void yearFileFarTooLargeOpensReadOnly();
  void unchangedGridWritesNothing();
  // held years
  void heldYearsKeepWhatCouldNotBeSaved();
  void heldYearsAskTheGuard();

 private:
  TestEnv env_;
  QString Path(const QString& name) const { return env_.home() + "/" + name; }
};

// ---------------------------------------------------------------------------------------

void GridFileTest::cellsOutsideTheGrid() {
  CellGrid g(3, 2);
  g.SetCell(1, 1, "x");
  g.SetCell(3, 0, "no");
  g.SetCell(0, 2, "no");
  g.SetCell(-1, 0, "no");
  g.SetCell(0, -1, "no");
  QCOMPARE(g.Cell(1, 1), QString("x"));
  QCOMPARE(g.Cell(3, 0), QString());
  QCOMPARE(g.Cell(0, 2), QString());
  QCOMPARE(g.Cell(-1, -1), QString());
  QCOMPARE(GridToBytes(g), QByteArray(",,\r\n,x,\r\n"));
  // Widening afterwards shows nothing of the writes that missed the grid.
  g.SetColCount(5);
  g.SetRowCount(4);
  QCOMPARE(g.Cell(3, 0), QString());
  QCOMPARE(g.Cell(0, 2), QString());
}

void GridFileTest::shapeChangesKeepCells() {
  CellGrid g(4, 4);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) g.SetCell(c, r, QString("%1.%2").arg(c).arg(r));
  g.SetColCount(2);
  g.SetRowCount(3);
  QCOMPARE(Cells(g), (Rows{{"0.0", "1.0"}, {"0.1", "1.1"}, {"0.2", "1.2"}}));
  // Cells that fell outside come back empty, not with their old texts.
  g.SetColCount(3);
  g.SetRowCount(4);
  QCOMPARE(Cells(g), (Rows{{"0.0", "1.0", ""}, {"0.1", "1.1", ""}, {"0.2", "1.2", ""},
                           {"", "", ""}}));
  g.SetColCount(0);
  g.SetRowCount(-3);
  QCOMPARE(g.ColCount(), 1);
  QCOMPARE(g.RowCount(), 1);
  QCOMPARE(g.Cell(0, 0), QString("0.0"));
  // Cells keep their texts exactly, a single space included.
  g.SetCell(0, 0, " ");
  QCOMPARE(g.Cell(0, 0), QString(" "));
  g.Clear();
  QCOMPARE(g.Cell(0, 0), QString());
}

void GridFileTest::currentCellNeverInHeader() {
  CellGrid g(3, 5);
  QCOMPARE(g.CurrentRow(), 1);
  g.SetCurrent(2, 0);
  QCOMPARE(g.CurrentRow(), 1);
  QCOMPARE(g.CurrentCol(), 2);
  g.SetCurrent(1, 4);
  QCOMPARE(g.CurrentRow(), 4);
  g.SetRowCount(3);
  QCOMPARE(g.CurrentRow(), 2);
  g.SetColCount(1);
  QCOMPARE(g.CurrentCol(), 0);
}

// ---------------------------------------------------------------------------------------

void GridFileTest::savedBytes_data() {
  QTest::addColumn<Rows>("rows");
  QTest::addColumn<int>("cols");
  QTest::addColumn<QByteArray>("bytes");

  QTest::newRow("weight rows") << Rows{{"Date", "Weight", "Goal"}, {"January 1", "", "120"}} << 3
                               << QByteArray("Date,Weight,Goal\r\n\"January 1\",,120\r\n");
  QTest::newRow("quote inside") << Rows{{"January 5", "98.6", "", "say \"hi\""}} << 4
                                << QByteArray("\"January 5\",98.6,,\"say \"\"hi\"\"\"\r\n");
  QTest::newRow("one column empty") << Rows{{""}} << 1 << QByteArray("\"\"\r\n");
  QTest::newRow("one column rows") << Rows{{"Fruit"}, {""}, {"apple"}} << 1
                                   << QByteArray("Fruit\r\n\"\"\r\napple\r\n");
  QTest::newRow("trailing empty cells") << Rows{{"a"}} << 3 << QByteArray("a,,\r\n");
  QTest::newRow("all empty row") << Rows{{}} << 3 << QByteArray(",,\r\n");
  QTest::newRow("height with inch quote") << Rows{{"5'2\""}} << 1
                                          << QByteArray("\"5'2\"\"\"\r\n");
  QTest::newRow("comma") << Rows{{"a,b", "c"}} << 2 << QByteArray("\"a,b\",c\r\n");
  QTest::newRow("single space") << Rows{{" ", "x"}} << 2 << QByteArray("\" \",x\r\n");
  QTest::newRow("control chars") << Rows{{"a\tb", QString("\x01")}} << 2
                                 << QByteArray("\"a\tb\",\"\x01\"\r\n");
  QTest::newRow("non-ASCII as UTF-8") << Rows{{QString::fromUtf8("Café"), "½"}} << 2
                                      << QByteArray("Caf\xc3\xa9,\xc2\xbd\r\n");
  // The file has no way to carry these inside a cell: the row would split, or the rest
  // of the file would be cut off on reading.
  QTest::newRow("line break in a cell") << Rows{{"two\r\nlines", "x"}} << 2
                                        << QByteArray("\"two  lines\",x\r\n");
  QTest::newRow("NUL in a cell") << Rows{{QString(QChar(0)) + "a"}} << 1
                                 << QByteArray("\" a\"\r\n");
  // Unquoted at the start of the file it would read back as a byte-order mark.
  QTest::newRow("leading zero-width no-break space") << Rows{{QString(QChar(0xFEFF)) + "a"}}
                                                     << 1
                                                     << QByteArray("\"\xef\xbb\xbf" "a\"\r\n");
}

void GridFileTest::savedBytes() {
  QFETCH(Rows, rows);
  QFETCH(int, cols);
  QFETCH(QByteArray, bytes);
  const CellGrid g = GridOf(rows, cols);
  QCOMPARE(GridToBytes(g), bytes);
  const QString path = Path("saved.txt");
  QString error;
  QVERIFY(SaveGridFile(g, path, &error));
  QVERIFY(error.isEmpty());
  QCOMPARE(FileBytes(path), bytes);
}

void GridFileTest::loadedCells_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<Rows>("cells");

  QTest::newRow("empty field becomes a space")
      << QByteArray("Date,Weight,Goal\r\n\"January 1\",,120\r\n")
      << Rows{{"Date", "Weight", "Goal"}, {"January 1", " ", "120"}};
  QTest::newRow("one column empty") << QByteArray("\"\"\r\n") << Rows{{" "}};
  QTest::newRow("unquoted space splits") << QByteArray("a b,c\r\n") << Rows{{"a", "b", "c"}};
  QTest::newRow("spaces around fields") << QByteArray("a , b\r\n") << Rows{{"a", "b"}};
  QTest::newRow("trailing comma adds a field") << QByteArray("a,\r\n") << Rows{{"a", " "}};
  QTest::newRow("comma then space at the end") << QByteArray("a, \r\n") << Rows{{"a"}};
  QTest::newRow("only commas") << QByteArray(",,\r\n") << Rows{{" ", " ", " "}};
  QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x\r\n")
                                  << Rows{{"say \"hi\"", "x"}};
  QTest::newRow("unclosed quote runs to the end") << QByteArray("\"abc, d\r\nx\r\n")
                                                  << Rows{{"abc, d"}, {"x"}};
  QTest::newRow("text after a closing quote") << QByteArray("\"a\"b,c\r\n")
                                              << Rows{{"a", "b", "c"}};
  QTest::newRow("quote inside unquoted field") << QByteArray("5'2\",x\r\n")
                                               << Rows{{"5'2\"", "x"}};
  QTest::newRow("last line without break") << QByteArray("a\r\nb") << Rows{{"a"}, {"b"}};
  QTest::newRow("final break adds no row") << QByteArray("a\r\nb\r\n") << Rows{{"a"}, {"b"}};
  QTest::newRow("CR only") << QByteArray("a\rb\r") << Rows{{"a"}, {"b"}};
  QTest::newRow("LF only") << QByteArray("a\nb\n") << Rows{{"a"}, {"b"}};
  QTest::newRow("empty line between") << QByteArray("a,b\r\n\r\nc\r\n")
                                      << Rows{{"a", "b"}, {"", ""}, {"c", ""}};
  // A NUL does not end the text: what follows it is read (and the file is read-only, see
  // damagedFilesOpenReadOnly); the NUL shows where the damage is.
  QTest::newRow("text goes on after a NUL") << QByteArray("a\r\nb\0c\r\nd\r\n", 11)
                                            << Rows{{"a"}, {QString("b") + QChar(0xFFFD) + "c"}, {"d"}};
  QTest::newRow("NUL first") << QByteArray("\0a\r\n", 4) << Rows{{QString(QChar(0xFFFD)) + "a"}};
  QTest::newRow("byte-order mark dropped") << QByteArray("\xef\xbb\xbf" "a,b\r\n")
                                           << Rows{{"a", "b"}};
  QTest::newRow("quoted zero-width no-break space") << QByteArray("\"\xef\xbb\xbf" "a\"\r\n")
                                                   << Rows{{QString(QChar(0xFEFF)) + "a"}};
  QTest::newRow("Windows-1252") << QByteArray("Caf\xe9,\x80\r\n")
                                << Rows{{QString::fromUtf8("Café"), QString::fromUtf8("€")}};
  QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9\r\n") << Rows{{QString::fromUtf8("Café")}};
}

void GridFileTest::loadedCells() {
  QFETCH(QByteArray, bytes);
  QFETCH(Rows, cells);
  CellGrid g(2, 3);
  g.SetCell(0, 0, "kept");
  g.SetCell(1, 2, "old");
  LoadGridBytes(g, bytes);
  QCOMPARE(Cells(g), cells);
}

void GridFileTest::loadedFixtures_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<Rows>("cells");

  QTest::newRow("weight") << "weight.txt"
                          << Rows{{"Date", "Weight", "Goal"}, {"January 1", " ", "120"}};
  QTest::newRow("quoted") << "quoted.txt"
                          << Rows{{"January 5", "98.6", " ", "say \"hi\""}};
  QTest::newRow("height") << "height.txt" << Rows{{"Name", "Height"}, {"Ann", "5'2\""}};
  QTest::newRow("one column empty") << "onecolumn_empty.txt" << Rows{{" "}};
  // 3, 7 and 5 fields: seven columns, the cells past each line's fields empty.
  QTest::newRow("ragged") << "ragged.txt"
                          << Rows{{"a", "b", "c", "", "", "", ""},
                                  {"1", "2", "3", "4", "5", "6", "7"},
                                  {"v", "w", "x", "y", "z", "", ""}};
  QTest::newRow("no final break") << "no_final_break.txt"
                                  << Rows{{"Date", "Weight"}, {"January 1", "150"}};
  QTest::newRow("CR only") << "cr_only.txt"
                           << Rows{{"Date", "Weight"}, {"January 1", "150"},
                                   {"January 2", "151"}};
  QTest::newRow("mixed breaks") << "mixed_breaks.txt"
                                << Rows{{"a", "b"}, {"c", "d"}, {"e", "f"}, {"", ""},
                                        {"g", "h"}};
  // A byte-order mark says how the file is written; it is not a character of the text.
  QTest::newRow("UTF-16 LE") << "utf16le.txt"
                             << Rows{{"Date", "Weight"}, {"January 1", "150"},
                                     {"January 2", QString::fromUtf8("Crème")}};
  QTest::newRow("UTF-16 BE") << "utf16be.txt"
                             << Rows{{"Date", "Weight"}, {"January 1", "150"},
                                     {"January 2", QString::fromUtf8("Crème")}};
  QTest::newRow("Windows-1252") << "windows1252.txt"
                                << Rows{{"Food", "Calories"},
                                        {QString::fromUtf8("Café"), "au", "lait", "120"},
                                        {QString::fromUtf8("Crème brûlée"), "300"}};
  QTest::newRow("spaces and controls") << "spaces_controls.txt"
                                       << Rows{{"a", "b", "c", "d", "e,f", "g\"h"}};
}

void GridFileTest::loadedFixtures() {
  QFETCH(QString, file);
  QFETCH(Rows, cells);
  CellGrid g;
  QString error;
  QVERIFY(LoadGridFile(g, TestEnv::testData("grid/" + file), &error));
  QVERIFY(error.isEmpty());
  // Rows are compared padded to the grid's width.
  int width = 1;
  for (const QStringList& r : cells) width = std::max(width, int(r.size()));
  for (QStringList& r : cells)
    while (r.size() < width) r << QString();
  QCOMPARE(g.ColCount(), width);
  QCOMPARE(Cells(g), cells);
  QVERIFY(!IsReadOnlyFile(TestEnv::testData("grid/" + file)));
}

// A file that cannot be shown as the program wrote it is shown as far as it can be, and
// read-only: the next save would write over what was never read (a NUL cut the rest of
// an exercise year off, and one edit lost both its workouts).
void GridFileTest::damagedFilesOpenReadOnly_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<Rows>("cells");
  QTest::addColumn<QString>("notice");
  QTest::newRow("NUL inside") << Fixture("nul_inside.txt")
                              << Rows{{"Date", "Weight"}, {"January 1", "150"},
                                      {"January 2", QString("1") + QChar(0xFFFD) + "51"},
                                      {"January 3", "152"}}
                              << "holds a NUL byte at byte 43";
  QTest::newRow("UTF-16 cut") << Fixture("utf16_cut.txt")
                              << Rows{{"Date", "Weight"}, {"January 1", "150"},
                                      {"January 2", QString::fromUtf8("Crème")},
                                      {QString(QChar(0xFFFD)), ""}}
                              << "holds UTF-16 text that breaks off";
  QTest::newRow("line too long") << "Date,Note\r\n\"January 1\",\"" + QByteArray(20000, 'x') +
                                        "\"\r\n\"January 2\",ok\r\n"
                                 << Rows{{"Date", "Note"},
                                         {"January 1", QString(kLongestLine - 13, 'x')},
                                         {"January 2", "ok"}}
                                 << "holds a line of 20,014 characters, too long to edit";
}

void GridFileTest::damagedFilesOpenReadOnly() {
  QFETCH(QByteArray, bytes);
  QFETCH(Rows, cells);
  QFETCH(QString, notice);
  const QString path = Path(QString("damaged-%1.txt").arg(QTest::currentDataTag()));
  WriteBytes(path, bytes);
  CellGrid g;
  QString error;
  QVERIFY(LoadGridFile(g, path, &error));
  QVERIFY(error.isEmpty());
  QCOMPARE(Cells(g), cells);
  QVERIFY(IsReadOnlyFile(path));
  QCOMPARE(ReadOnlyNotice(path), "The file \"" + path + "\" " + notice +
                                     ". It is opened read-only: nothing is written to it.");
  g.SetCell(1, 1, "160");
  QVERIFY(!SaveGridFile(g, path, &error));
  QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". It was opened read-only"),
           qPrintable(error));
  QCOMPARE(FileBytes(path), bytes);
  // A year grid over it is read-only too.
  CellGrid year;
  QVERIFY(OpenYearGrid(year, 2009, 2, {"Date", "Note"}, path, &error));
  QVERIFY(IsReadOnlyFile(path));
  // Mended outside the program, it is an ordinary file again.
  WriteBytes(path, "Date,Note\r\n");
  QVERIFY(LoadGridFile(g, path, &error));
  QVERIFY(!IsReadOnlyFile(path));
  QVERIFY(SaveGridFile(g, path, &error));
}

// The memory of an empty file is no memory at all: nothing may be asked of it.
void GridFileTest::emptyBytes() {
  CellGrid g(2, 2);
  g.SetCell(0, 0, "kept");
  QString damage = "none yet";
  LoadGridBytes(g, QByteArray(), &damage);
  QCOMPARE(g.RowCount(), 1);
  QCOMPARE(g.Cell(0, 0), QString("kept"));
  QVERIFY(damage.isEmpty());
  LoadGridBytes(g, QByteArray::fromRawData(nullptr, 0), &damage);
  QCOMPARE(g.RowCount(), 1);
  LoadGridBytes(g, QByteArray("\xef\xbb\xbf"), &damage);  // a mark and nothing else
  QCOMPARE(g.RowCount(), 1);
  QVERIFY(damage.isEmpty());
}

void GridFileTest::loadSaveLoadResave() {
  // Loaded empty fields come back as quoted spaces; after that the bytes are stable.
  const QString path = Path("weight.txt");
  WriteBytes(path, Fixture("weight.txt"));
  CellGrid g;
  QVERIFY(LoadGridFile(g, path));
  QCOMPARE(g.Cell(1, 1), QString(" "));
  QVERIFY(SaveGridFile(g, path));
  QCOMPARE(FileBytes(path), Fixture("weight_resaved.txt"));
  CellGrid again;
  QVERIFY(LoadGridFile(again, path));
  QCOMPARE(Cells(again), Cells(g));
  QCOMPARE(GridToBytes(again), Fixture("weight_resaved.txt"));
  // The one-column empty cell: "" loads as a space and saves as a quoted space.
  CellGrid one;
  LoadGridBytes(one, Fixture("onecolumn_empty.txt"));
  QCOMPARE(GridToBytes(one), QByteArray("\" \"\r\n"));
  // A cell that starts like a byte-order mark survives a save and a load.
  CellGrid mark(2, 1);
  mark.SetCell(0, 0, QString(QChar(0xFEFF)) + "a");
  mark.SetCell(1, 0, "b");
  CellGrid markAgain;
  LoadGridBytes(markAgain, GridToBytes(mark));
  QCOMPARE(Cells(markAgain), Cells(mark));
  // The height reads back unchanged.
  CellGrid h;
  LoadGridBytes(h, Fixture("height.txt"));
  QCOMPARE(GridToBytes(h), Fixture("height.txt"));
}

void GridFileTest::emptyFileKeepsCell() {
  const QString path = Path("empty.txt");
  WriteBytes(path, QByteArray());
  CellGrid g(3, 5);
  g.SetCell(0, 0, "kept");
  g.SetCell(2, 4, "gone");
  QVERIFY(LoadGridFile(g, path));
  QCOMPARE(g.RowCount(), 1);
  QCOMPARE(g.ColCount(), 1);
  QCOMPARE(g.Cell(0, 0), QString("kept"));
}

void GridFileTest::loadReplacesEarlierShape() {
  CellGrid g(6, 10);
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 6; ++c) g.SetCell(c, r, "old");
  LoadGridBytes(g, "x,y\r\n\r\nz\r\n");
  QCOMPARE(g.RowCount(), 3);
  QCOMPARE(g.ColCount(), 2);
  QCOMPARE(Cells(g), (Rows{{"x", "y"}, {"", ""}, {"z", ""}}));
  g.SetColCount(6);
  g.SetRowCount(10);
  QCOMPARE(g.Cell(5, 9), QString());
  QCOMPARE(g.Cell(1, 2), QString());
}

void GridFileTest::gridLineRoundTrip_data() {
  QTest::addColumn<QStringList>("fields");
  QTest::addColumn<QString>("line");
  QTest::newRow("plain") << QStringList{"Work", "Home"} << "Work,Home";
  QTest::newRow("spaces") << QStringList{"My list", "Shop"} << "\"My list\",Shop";
  QTest::newRow("single empty") << QStringList{""} << "\"\"";
  QTest::newRow("empty middle") << QStringList{"a", "", "b"} << "a,,b";
  QTest::newRow("empty last") << QStringList{"a", ""} << "a,";
  QTest::newRow("two empty") << QStringList{"", ""} << ",";
  QTest::newRow("quotes and commas") << QStringList{"\"x\", y", "z"} << "\"\"\"x\"\", y\",z";
  QTest::newRow("none") << QStringList{} << "";
}

void GridFileTest::gridLineRoundTrip() {
  QFETCH(QStringList, fields);
  QFETCH(QString, line);
  QCOMPARE(WriteGridLine(fields), line);
  QCOMPARE(ReadGridLine(line), fields);
}

// ---------------------------------------------------------------------------------------

void GridFileTest::loadFailureKeepsGrid() {
  // A directory where the file is expected cannot be read, even by root.
  const QString path = Path("folder.txt");
  QVERIFY(QDir().mkpath(path));
  CellGrid g(2, 2);
  g.SetCell(1, 1, "mine");
  QString error;
  QVERIFY(!LoadGridFile(g, path, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + path + "\". "), qPrintable(error));
  QVERIFY(error.size() > QString("Cannot open file \"" + path + "\". ").size());
  QCOMPARE(g.RowCount(), 2);
  QCOMPARE(g.ColCount(), 2);
  QCOMPARE(g.Cell(1, 1), QString("mine"));
  QVERIFY(!LoadGridFile(g, path));  // no message wanted: still no crash
}

void GridFileTest::saveFailureKeepsFile_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("directory in the way") << "dir.txt";
  QTest::newRow("under a regular file") << "plain.txt/inner.txt";
}

void GridFileTest::saveFailureKeepsFile() {
  QFETCH(QString, name);
  QVERIFY(QDir().mkpath(Path("dir.txt")));
  WriteBytes(Path("plain.txt"), "old\r\n");
  const QString path = Path(name);
  QString error;
  QVERIFY(!SaveGridFile(GridOf({{"new"}}, 1), path, &error));
  QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error));
  QCOMPARE(FileBytes(Path("plain.txt")), QByteArray("old\r\n"));
  QVERIFY(QFileInfo(Path("dir.txt")).isDir());
}

void GridFileTest::saveReplacesWholeFile() {
  const QString path = Path("replace.txt");
  WriteBytes(path, QByteArray(5000, 'x'));
  QVERIFY(SaveGridFile(GridOf({{"a", "b"}}, 2), path));
  QCOMPARE(FileBytes(path), QByteArray("a,b\r\n"));
  // Nothing is left behind beside it.
  QCOMPARE(QDir(env_.home()).entryList({"replace.txt*"}, QDir::Files | QDir::Hidden),
           QStringList{"replace.txt"});
}

void GridFileTest::deviceForms() {
  QBuffer buffer;
  QString error;
  QVERIFY(SaveGridFile(GridOf({{"Date", "Weight"}, {"January 1", ""}}, 2), &buffer, &error));
  QCOMPARE(buffer.data(), QByteArray("Date,Weight\r\n\"January 1\",\r\n"));
  CellGrid g;
  QVERIFY(LoadGridFile(g, &buffer, &error));
  QCOMPARE(Cells(g), (Rows{{"Date", "Weight"}, {"January 1", " "}}));

  // A device that cannot be opened leaves the grid alone.
  QFile missing(Path("missing/none.txt"));
  QVERIFY(!LoadGridFile(g, &missing, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + missing.fileName() + "\". "),
           qPrintable(error));
  QCOMPARE(g.Cell(0, 1), QString("January 1"));
  QVERIFY(!SaveGridFile(g, &missing, &error));
  QVERIFY2(error.startsWith("Cannot create file \"" + missing.fileName() + "\". "),
           qPrintable(error));
  QVERIFY(!LoadGridFile(g, static_cast<QIODevice*>(nullptr), &error));
  QVERIFY(!SaveGridFile(g, static_cast<QIODevice*>(nullptr), &error));
}

// ---------------------------------------------------------------------------------------

void GridFileTest::garbageKeepsOtherRows() {
  CellGrid g;
  QVERIFY(LoadGridFile(g, TestEnv::testData("grid/garbage.bin")));
  QVERIFY(g.RowCount() >= 3);
  QCOMPARE(g.Cell(0, 0), QString("Date"));
  QCOMPARE(g.Cell(1, 0), QString("Weight"));
  QCOMPARE(g.Cell(0, g.RowCount() - 1), QString("December 31"));
  QCOMPARE(g.Cell(1, g.RowCount() - 1), QString("160"));
  // Whatever was read is written and read back the same.
  CellGrid again;
  LoadGridBytes(again, GridToBytes(g));
  CellGrid third;
  LoadGridBytes(third, GridToBytes(again));
  QCOMPARE(Cells(third), Cells(again));
}

void GridFileTest::tenMegabyteLine() {
  // Megabytes in one cell: no view could lay it out. Only the line's start is held, the
  // rows after it are whole, and the file is never written back.
  QByteArray bytes = "Date,Note\r\n\"January 1\",";
  bytes += QByteArray(10 * 1024 * 1024, 'x');
  bytes += "\r\n\"January 2\",\"a b,c\"\r\n";
  const QString path = Path("long.txt");
  WriteBytes(path, bytes);
  CellGrid g;
  QVERIFY(LoadGridFile(g, path));
  QCOMPARE(g.RowCount(), 3);
  QCOMPARE(g.ColCount(), 2);
  QCOMPARE(g.Cell(1, 1).size(), kLongestLine - 12);
  QCOMPARE(g.Cell(1, 2), QString("a b,c"));
  QVERIFY(IsReadOnlyFile(path));
  QVERIFY(!SaveGridFile(g, path));
  QCOMPARE(FileBytes(path), bytes);
}

void GridFileTest::wideLineAndManyShortLines() {
  // A line of 16384 commas and 200000 empty lines: held by what they contain, not as
  // rows times columns cells. The line of 200000 commas before them is too long to show:
  // only its start is read.
  QByteArray bytes(kLongestLine, ',');
  bytes += "\r\n";
  bytes += QByteArray(200000 - 1, ',');
  bytes += "\r\n";
  bytes += QByteArray(200000, '\n');
  bytes += "last";
  CellGrid g;
  QString damage;
  LoadGridBytes(g, bytes, &damage);
  QCOMPARE(g.ColCount(), kLongestLine + 1);
  QCOMPARE(g.RowCount(), 200003);
  QCOMPARE(g.Cell(kLongestLine, 0), QString(" "));
  QCOMPARE(g.Cell(kLongestLine, 1), QString(" "));
  QCOMPARE(g.Cell(kLongestLine, 100000), QString());
  QCOMPARE(g.Cell(0, 200002), QString("last"));
  QCOMPARE(damage, QString("holds a line of 199,999 characters, too long to edit"));
}

void GridFileTest::randomBytesNeverCrash() {
  QRandomGenerator rng(4711);
  const QByteArray alphabet("\"\",, \r\n\t\x01\x7f\xe9\xc3\xa9" "ab");
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes;
    const int n = rng.bounded(400);
    for (int i = 0; i < n; ++i)
      bytes += round % 2 ? char(rng.bounded(256)) : alphabet[rng.bounded(alphabet.size())];
    CellGrid g;
    LoadGridBytes(g, bytes);
    QVERIFY(g.RowCount() >= 1 && g.ColCount() >= 1);
    CellGrid again;
    LoadGridBytes(again, GridToBytes(g));
    QCOMPARE(again.RowCount(), g.RowCount());
    QCOMPARE(again.ColCount(), g.ColCount());
    for (int r = 0; r < g.RowCount(); ++r)
      for (int c = 0; c < g.ColCount(); ++c) {
        const QString want = g.Cell(c, r).isEmpty() ? " " : g.Cell(c, r);
        QCOMPARE(again.Cell(c, r), want);
      }
  }
}

// ---------------------------------------------------------------------------------------

void GridFileTest::rowMoves_data() {
  QTest::addColumn<bool>("up");
  QTest::addColumn<int>("row");
  QTest::addColumn<QStringList>("column");  // column 0 afterwards
  QTest::addColumn<int>("current");

  const QStringList same{"H", "a", "b", "c"};
  QTest::newRow("up from 2") << true << 2 << QStringList{"H", "b", "a", "c"} << 1;
  QTest::newRow("up from last") << true << 3 << QStringList{"H", "a", "c", "b"} << 2;
  QTest::newRow("up from 1") << true << 1 << same << 3;
  QTest::newRow("up from header") << true << 0 << same << 3;
  QTest::newRow("up from outside") << true << 4 << same << 3;
  QTest::newRow("down from 1") << false << 1 << QStringList{"H", "b", "a", "c"} << 2;
  QTest::newRow("down from 2") << false << 2 << QStringList{"H", "a", "c", "b"} << 3;
  QTest::newRow("down from last") << false << 3 << same << 3;
  QTest::newRow("down from header") << false << 0 << same << 3;
  QTest::newRow("down from outside") << false << -1 << same << 3;
}

void GridFileTest::rowMoves() {
  QFETCH(bool, up);
  QFETCH(int, row);
  QFETCH(QStringList, column);
  QFETCH(int, current);
  CellGrid g = GridOf({{"H", "h"}, {"a", "1"}, {"b", "2"}, {"c", "3"}}, 2);
  g.SetCurrent(1, 3);
  if (up)
    GridRowUp(g, row);
  else
    GridRowDown(g, row);
  QStringList got;
  for (int r = 0; r < g.RowCount(); ++r) {
    got << g.Cell(0, r);
    // Whole rows move, every column with them.
    const QString second = g.Cell(1, r);
    QCOMPARE(second, r == 0 ? QString("h") : QString::number(got.last().at(0).unicode() - 'a' + 1));
  }
  QCOMPARE(got, column);
  QCOMPARE(g.CurrentRow(), current);
  QCOMPARE(g.CurrentCol(), 1);
}

void GridFileTest::numericCells_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("localeName");
  QTest::addColumn<bool>("accepted");
  QTest::addColumn<double>("value");
  QTest::newRow("integer") << "2" << "en_US" << true << 2.0;
  QTest::newRow("decimal") << "98.6" << "en_US" << true << 98.6;
  QTest::newRow("zero") << "0" << "en_US" << true << 0.0;
  QTest::newRow("spaces and controls around") << " \t4.5\r " << "en_US" << true << 4.5;
  QTest::newRow("single space") << " " << "en_US" << false << 0.0;
  QTest::newRow("empty") << "" << "en_US" << false << 0.0;
  QTest::newRow("negative") << "-3" << "en_US" << false << 0.0;
  QTest::newRow("text") << "abc" << "en_US" << false << 0.0;
  QTest::newRow("number then text") << "12kg" << "en_US" << false << 0.0;
  QTest::newRow("comma in en_US") << "1,5" << "en_US" << false << 0.0;
  QTest::newRow("comma in de_DE") << "1,5" << "de_DE" << true << 1.5;
  // A file keeps "." in every locale; the locale's comma is read as well.
  QTest::newRow("point in de_DE") << "1.5" << "de_DE" << true << 1.5;
  QTest::newRow("point in fr_FR") << "98.6" << "fr_FR" << true << 98.6;
  QTest::newRow("comma in fr_FR") << "98,6" << "fr_FR" << true << 98.6;
  QTest::newRow("infinite") << "1e999" << "en_US" << false << 0.0;
}

void GridFileTest::numericCells() {
  QFETCH(QString, text);
  QFETCH(QString, localeName);
  QFETCH(bool, accepted);
  QFETCH(double, value);
  double v = -1;
  QCOMPARE(ReadNumericCell(text, &v, QLocale(localeName)), accepted);
  if (accepted) QCOMPARE(v, value);
}

void GridFileTest::columnAverage_data() {
  QTest::addColumn<QStringList>("column");  // rows 1.. of column 1; row 0 is "Header"
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<double>("average");
  const QStringList mixed{"2", " ", "abc", "-3", "4"};
  QTest::newRow("mixed") << mixed << 1 << 5 << 3.0;
  QTest::newRow("range past both ends") << mixed << -10 << 1000 << 3.0;
  QTest::newRow("part of the range") << mixed << 4 << 5 << 4.0;
  QTest::newRow("nothing numeric") << QStringList{"", " ", "x", "-1"} << 1 << 4 << 0.0;
  QTest::newRow("empty range") << mixed << 5 << 1 << 0.0;
  QTest::newRow("zeros count") << QStringList{"0", "0", "6"} << 1 << 3 << 2.0;
}

void GridFileTest::columnAverage() {
  QFETCH(QStringList, column);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(double, average);
  CellGrid g(2, int(column.size()) + 1);
  g.SetCell(1, 0, "Header");
  for (int i = 0; i < column.size(); ++i) g.SetCell(1, i + 1, column[i]);
  QCOMPARE(GridColumnAverage(g, 1, from, to), average);
  QCOMPARE(GridColumnAverage(g, 7, from, to), 0.0);  // a column outside the grid
}

void GridFileTest::columnTotal_data() {
  QTest::addColumn<QStringList>("column");  // rows 0..
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<qint64>("total");
  QTest::newRow("1.5 + 2.6") << QStringList{"Header", "1.5", "2.6"} << 1 << 2 << qint64(4);
  QTest::newRow("rounded down") << QStringList{"", "1234.9"} << 0 << 9 << qint64(1234);
  QTest::newRow("header never counted") << QStringList{"100", "1", "2"} << 0 << 2 << qint64(3);
  QTest::newRow("skips text and negatives") << QStringList{"H", "x", "-5", "7", " "} << 1 << 4
                                            << qint64(7);
  QTest::newRow("nothing") << QStringList{"H"} << 1 << 5 << qint64(0);
  QTest::newRow("beyond the integer range") << QStringList{"H", "1e300", "1e300"} << 1 << 2
                                            << std::numeric_limits<qint64>::max();
}

void GridFileTest::columnTotal() {
  QFETCH(QStringList, column);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(qint64, total);
  CellGrid g(1, int(column.size()));
  for (int i = 0; i < column.size(); ++i) g.SetCell(0, i, column[i]);
  QCOMPARE(GridColumnTotal(g, 0, from, to), total);
}

void GridFileTest::weekdayAverage() {
  // 2024 starts on a Monday: rows 1, 8, 15, ... are Mondays.
  CellGrid g;
  InitYearGrid(g, 2024, 3, {"Date", "Hours", "Other"});
  for (int r = 1; r < g.RowCount(); ++r) g.SetCell(1, r, QString::number(r % 7 == 1 ? 8 : 5));
  QCOMPARE(GridWeekdayAverage(g, 2024, 1, 1, 1, 366), 8.0);
  QCOMPARE(GridWeekdayAverage(g, 2024, 2, 1, 1, 366), 5.0);
  g.SetCell(1, 1, "6");
  g.SetCell(1, 8, "abc");
  g.SetCell(1, 15, "7");
  QCOMPARE(GridWeekdayAverage(g, 2024, 1, 1, 1, 15), 6.5);
  // Rows past the grid read as empty; the header row never counts as a date of the year.
  QCOMPARE(GridWeekdayAverage(g, 2024, 1, 1, 360, 100000), 8.0);
  QCOMPARE(GridWeekdayAverage(g, 2024, 1, 1, -5, 0), 0.0);
  // Another year moves the weekdays: 2025 starts on a Wednesday.
  QCOMPARE(GridWeekdayAverage(g, 2025, 3, 1, 1, 15), 6.5);
  QCOMPARE(GridWeekdayAverage(g, 2024, 8, 1, 1, 366), 0.0);
}

// ---------------------------------------------------------------------------------------

void GridFileTest::yearGridRows_data() {
  QTest::addColumn<int>("year");
  QTest::addColumn<int>("rows");
  QTest::newRow("2023") << 2023 << 366;
  QTest::newRow("2024 leap") << 2024 << 367;
  QTest::newRow("1900 not leap") << 1900 << 366;
  QTest::newRow("2000 leap") << 2000 << 367;
}

void GridFileTest::yearGridRows() {
  QFETCH(int, year);
  QFETCH(int, rows);
  QCOMPARE(YearGridRowCount(year), rows);
  CellGrid g;
  InitYearGrid(g, year, 2, {"Date", "Weight"});
  QCOMPARE(g.RowCount(), rows);
  QCOMPARE(g.Cell(0, rows - 1), QString("December 31"));
  QCOMPARE(YearGridRow(QDate(year, 12, 31)), rows - 1);
}

void GridFileTest::initYearGrid() {
  CellGrid g(9, 9);
  g.SetCell(5, 5, "stale");
  InitYearGrid(g, 2024, 4, {"Date", "Weight", "Goal"});
  QCOMPARE(g.ColCount(), 4);
  QCOMPARE(g.RowCount(), 367);
  QCOMPARE(Cells(g).at(0), (QStringList{"Date", "Weight", "Goal", ""}));
  QCOMPARE(g.Cell(0, 1), QString("January 1"));
  QCOMPARE(g.Cell(0, 32), QString("February 1"));
  QCOMPARE(g.Cell(0, 60), QString("February 29"));
  QCOMPARE(g.Cell(0, 366), QString("December 31"));
  for (int r = 1; r < g.RowCount(); ++r)
    for (int c = 1; c < g.ColCount(); ++c) QVERIFY(g.Cell(c, r).isEmpty());
  QCOMPARE(g.Cell(5, 5), QString());
  // A saved new year grid writes its empty cells as nothing.
  const QByteArray bytes = GridToBytes(g);
  QVERIFY(bytes.startsWith("Date,Weight,Goal,\r\n\"January 1\",,,\r\n"));
  QVERIFY(bytes.endsWith("\"December 31\",,,\r\n"));
}

void GridFileTest::openYearGridWithoutFile() {
  CellGrid g;
  QString error;
  QVERIFY(OpenYearGrid(g, 2023, 3, {"Date", "Weight", "Goal"}, Path("2023.txt"), &error));
  QVERIFY(error.isEmpty());
  CellGrid fresh;
  InitYearGrid(fresh, 2023, 3, {"Date", "Weight", "Goal"});
  QCOMPARE(Cells(g), Cells(fresh));
  QVERIFY(!QFile::exists(Path("2023.txt")));
}

void GridFileTest::openOldLeapYearFile() {
  // Files of a leap year used to stop at 30 December; 31 December gets its row.
  const QString path = Path("2024.txt");
  WriteBytes(path, Fixture("leap2024_old.txt"));
  CellGrid g;
  QVERIFY(OpenYearGrid(g, 2024, 3, {"Date", "Weight", "Goal"}, path));
  QCOMPARE(g.RowCount(), 367);
  QCOMPARE(g.ColCount(), 3);
  QCOMPARE(g.Cell(0, 0), QString("Date"));
  QCOMPARE(g.Cell(0, 365), QString("December 30"));
  QCOMPARE(g.Cell(1, 3), QString("153"));
  QCOMPARE(g.Cell(1, 4), QString(" "));
  QCOMPARE(Cells(g).at(366), (QStringList{"December 31", "", ""}));
  g.SetCell(1, 366, "149");
  QVERIFY(SaveGridFile(g, path));
  CellGrid again;
  QVERIFY(OpenYearGrid(again, 2024, 3, {"Date", "Weight", "Goal"}, path));
  QCOMPARE(again.RowCount(), 367);
  QCOMPARE(again.Cell(1, 366), QString("149"));
  QCOMPARE(again.Cell(1, 3), QString("153"));
  // A complete file of an ordinary year is taken as it is.
  CellGrid year2023;
  InitYearGrid(year2023, 2023, 3, {"Date", "Weight", "Goal"});
  year2023.SetCell(2, 365, "140");
  QVERIFY(SaveGridFile(year2023, Path("2023.txt")));
  CellGrid loaded;
  QVERIFY(OpenYearGrid(loaded, 2023, 3, {"Date", "Weight", "Goal"}, Path("2023.txt")));
  QCOMPARE(loaded.RowCount(), 366);
  QCOMPARE(loaded.Cell(2, 365), QString("140"));
  QCOMPARE(loaded.Cell(1, 365), QString(" "));
}

void GridFileTest::openYearFileWithFewerColumns() {
  // A cut-off file of fewer rows and columns than the view writes: nothing it holds is
  // lost, and every day and column gets its cell.
  const QString path = Path("2023.txt");
  WriteBytes(path, "Date,Weight\r\n\"January 1\",150\r\n");
  CellGrid g;
  QVERIFY(OpenYearGrid(g, 2023, 3, {"Date", "Weight", "Goal"}, path));
  QCOMPARE(g.RowCount(), 366);
  QCOMPARE(g.ColCount(), 3);
  QCOMPARE(Cells(g).at(0), (QStringList{"Date", "Weight", "Goal"}));
  QCOMPARE(Cells(g).at(1), (QStringList{"January 1", "150", ""}));
  QCOMPARE(Cells(g).at(2), (QStringList{"January 2", "", ""}));
  QCOMPARE(g.Cell(0, 365), QString("December 31"));
}

void GridFileTest::openYearFileThatCannotBeRead() {
  const QString path = Path("2022.txt");
  QVERIFY(QDir().mkpath(path));
  CellGrid g(5, 5);
  g.SetCell(1, 1, "other year");
  QString error;
  QVERIFY(!OpenYearGrid(g, 2022, 2, {"Date", "Weight"}, path, &error));
  QVERIFY2(error.startsWith("Cannot open file \"" + path + "\". "), qPrintable(error));
  CellGrid fresh;
  InitYearGrid(fresh, 2022, 2, {"Date", "Weight"});
  QCOMPARE(Cells(g), Cells(fresh));
}

void GridFileTest::unreadableYearFileIsNeverReplaced() {
  const QString path = Path("2021.txt");
  const QByteArray old = Fixture("weight.txt");
  WriteBytes(path, old);
  if (!MakeUnreadable(path)) QSKIP("this process reads files of any mode");
  CellGrid g;
  QString error;
  QVERIFY(!OpenYearGrid(g, 2021, 3, {"Weight", "Hours", "Minutes"}, path, &error));
  QCOMPARE(error, CannotOpenMessage(path, "Permission denied"));
  // The empty year on screen never replaces the records it could not read.
  g.SetCell(1, 5, "150");
  QVERIFY(!SaveGridFile(g, path, &error));
  QVERIFY2(error.startsWith("Cannot create file \"" + path + "\". It could not be read"),
           qPrintable(error));
  MakeReadable(path);
  QCOMPARE(FileBytes(path), old);
}

void GridFileTest::yearFileFarTooLargeOpensReadOnly() {
  // Far more rows than a year has days, beyond any size a year file reaches.
  const QString path = Path("2019.txt");
  QByteArray bytes = "Weight,Hours,Minutes\r\n";
  while (bytes.size() <= kSaneGridBytes) bytes += "\"June 1\",150.5,,,,,,,,,,,,,,,,,,,,\r\n";
  WriteBytes(path, bytes);
  const quint64 inode = Inode(path);
  CellGrid g;
  QString error;
  QVERIFY(OpenYearGrid(g, 2019, 3, {"Weight", "Hours", "Minutes"}, path, &error));
  // Shown read-only, and only the year's rows are held.
  QVERIFY(IsReadOnlyFile(path));
  QCOMPARE(g.RowCount(), YearGridRowCount(2019));
  QCOMPARE(g.Cell(1, 365), QString("150.5"));
  QVERIFY(ReadOnlyNotice(path).startsWith("The file \"" + path + "\" is 2.0 MB"));
  g.SetCell(1, 1, "151");
  QVERIFY(!SaveGridFile(g, path, &error));
  QVERIFY(error.startsWith("Cannot create file \"" + path + "\". It was opened read-only"));
  QCOMPARE(Inode(path), inode);
  QCOMPARE(QFileInfo(path).size(), bytes.size());
}

void GridFileTest::unchangedGridWritesNothing() {
  const QString path = Path("same.txt");
  WriteBytes(path, Fixture("weight.txt"));
  CellGrid g;
  QVERIFY(LoadGridFile(g, path));
  QVERIFY(SaveGridFile(g, path));  // the first save quotes the single-space cells
  const quint64 inode = Inode(path);
  QVERIFY(LoadGridFile(g, path));
  QVERIFY(SaveGridFile(g, path));
  QCOMPARE(Inode(path), inode);
  g.SetCell(1, 1, "149");
  QVERIFY(SaveGridFile(g, path));
  QVERIFY(Inode(path) != inode);
}

namespace {
QString YearPathIn(const QString& folder, int year) {
  return folder + QString::number(year) + "-Test.txt";
}
}  // namespace

// A window of December reaches into January: both years are held. A change whose save
// failed stays held, changes and all, when the window moves to a month that no longer
// covers its year, and the next save writes it. Unchanged years are never written; the
// shown year's file is made when asked.
void GridFileTest::heldYearsKeepWhatCouldNotBeSaved() {
  const QString folder = Path("held/");
  HeldYears years(3, {"Date", "A", "B"}, &YearPathIn, folder);
  QStringList errors;
  years.Open(QDate(2009, 12, 1), QDate(2010, 1, 2), &errors);
  QVERIFY(errors.isEmpty());
  QVERIFY(years.Grid(2009) && years.Grid(2010));
  QVERIFY(!years.Grid(2011));
  years.Grid(2010)->SetCell(1, 1, "new year");
  years.MarkChanged(2010);
  QVERIFY(!years.Save(&errors));  // the folder is not there yet
  QCOMPARE(errors.size(), 1);
  QVERIFY(errors.first().startsWith("Cannot create file \"" + YearPathIn(folder, 2010)));
  years.Open(QDate(2009, 3, 1), QDate(2009, 4, 2), &errors);
  QVERIFY(years.HasUnsavedChanges());
  QCOMPARE(years.Grid(2010)->Cell(1, 1), QString("new year"));
  QVERIFY(QDir().mkpath(folder));
  errors.clear();
  QVERIFY(years.Save(&errors));
  QVERIFY(!years.HasUnsavedChanges());
  CellGrid saved;
  QVERIFY(LoadGridFile(saved, YearPathIn(folder, 2010)));
  QCOMPARE(saved.Cell(1, 1), QString("new year"));
  QVERIFY(!QFileInfo::exists(YearPathIn(folder, 2009)));
  QVERIFY(years.Save(&errors, 2009));
  QVERIFY(QFileInfo::exists(YearPathIn(folder, 2009)));
}

// A year whose file could not be read, or shows only in part, is not writable: the file
// layer says why.
void GridFileTest::heldYearsAskTheGuard() {
  const QString folder = Path("guarded/");
  QVERIFY(QDir().mkpath(YearPathIn(folder, 2009)));  // a folder: cannot be read
  WriteBytes(YearPathIn(folder, 2010), QByteArray("Date,A,B\r\n\"January 1\",x\0,\r\n", 27));
  HeldYears years(3, {"Date", "A", "B"}, &YearPathIn, folder);
  QStringList errors;
  years.Open(QDate(2009, 12, 1), QDate(2010, 1, 2), &errors);
  QCOMPARE(errors.size(), 2);
  QVERIFY(errors.at(0).startsWith("Cannot open file \"" + YearPathIn(folder, 2009)));
  QVERIFY(errors.at(1).contains("holds a NUL byte"));
  QString why;
  QVERIFY(!years.Writable(2009, &why));
  QVERIFY(why.startsWith("Cannot create file"));
  QVERIFY(!years.Writable(2010));
  years.MarkChanged(2010);
  QVERIFY(!years.Save(&errors));
  QVERIFY(QFileInfo(YearPathIn(folder, 2009)).isDir());
}

QTEST_GUILESS_MAIN(GridFileTest)

#include "test_gridfile.moc"
