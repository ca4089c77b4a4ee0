#pragma once
// The health view: lasting medical information independent of the selected date. A
// menu on the left turns four pages: allergies, blood type and immunisations;
// appointments; prescriptions; important contacts. The three lists of records are
// tables of the program's database, edited in place in grids; the rest are the files
// of HealthRecords.

#include <QString>
#include <QVector>
#include <QWidget>

#include "app/dateview.h"
#include "trackers/healthrecords.h"

class HealthTableModel;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QStackedWidget;
class QTableView;
class QTableWidget;
class QToolButton;
struct HealthTable;

class HealthView : public QWidget, public DateView {
  Q_OBJECT
 public:
  explicit HealthView(ViewHost* host, QWidget* parent = nullptr);
  ~HealthView() override;

  // DateView: the records know no date.
  void ShowDate(const QDate&) override {}
  void StartView(const QDate&) override { LoadHealthRecords(); }
  // The program's database, after the first-run copy of the shipped DB folder, and the
  // health tables over it; errors reach the user from there.
  void ProgramStarted() override { OpenHealthTables(); }
  // Leaving the view and the end of the program write the row being edited in a grid
  // and the health files.
  void SaveOnLeave() override;

  // The first-run copy of the shipped DB folder, the program's database, and the three
  // tables in their grids. Errors reach the user; the grids of tables that cannot be
  // opened stay empty. False when any table is not shown.
  bool OpenHealthTables();
  // Blood type, memo and contacts from their files; the grids fitted to their width.
  void LoadHealthRecords();
  // Writes the files whose content changed. False after an error box.
  bool SaveHealthRecords();
  // Fits a grid's columns to its width: "*" marks the columns that share the spare width.
  void FitGridColumns(QTableView* grid, const QString& marks);

  const HealthRecords& Records() const { return records_; }
  HealthTableModel* Model(const QString& table) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Grid {
    const HealthTable* table = nullptr;
    QTableView* view = nullptr;
    HealthTableModel* model = nullptr;
  };

  QWidget* BuildPage0();
  QWidget* BuildGridPage(Grid& grid, const QString& navigatorName, const QString& caption,
                         const QString& addHint, const QString& deleteHint);
  QWidget* BuildContactsPage();
  QTableView* MakeGrid(const QString& name);
  QWidget* MakeNavigator(Grid& grid, const QString& name, const QString& addHint,
                         const QString& deleteHint);
  void menuClick(int row);
  void InsertRecord(Grid& grid);
  void DeleteRecord(Grid& grid);
  // Hands the open cell editor's text to the model and writes the row; false after an
  // error box.
  bool PostGrid(Grid& grid);
  void FitAllGrids();
  void CollectFields();
  void FocusChanged(QWidget* old, QWidget* now);
  // Automatic saves report a failure once until a save works again.
  void Report(const QString& errors);

  ViewHost* host_;
  HealthRecords records_;
  bool loading_ = false;
  bool posting_ = false;
  QString lastReported_;
  // The memo as it was filled, and the file's text it was filled with: the memo as it
  // was shown stands for the file byte for byte, only a change from it is her typing.
  QString shownAllergies_, loadedAllergies_;

  QListWidget* menu_ = nullptr;
  QLabel* title_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QPlainTextEdit* allergies_ = nullptr;
  QComboBox* bloodType_ = nullptr;
  QTableWidget* contacts_ = nullptr;
  Grid vaccines_, appointments_, prescriptions_;
};
