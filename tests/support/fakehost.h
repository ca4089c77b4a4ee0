#pragma once
// A stand-in for the main window, for testing a feature view on its own: it holds the
// selected date, the current view name, the cycle settings, a DataFolders over the test's data
// folder and a Config over its application.ini.

#include <memory>

#include "app/config.h"
#include "app/dateview.h"
#include "app/datafolders.h"
#include "support/fakenotifier.h"
#include "support/testenv.h"

class FakeHost : public ViewHost {
 public:
  // Call after a TestEnv exists (the paths come from its XDG folders). The program folder
  // holds the shipped folders (Sound, Brand, DB ...); a test may give one of its own.
  explicit FakeHost(const QString& programFolder = TestEnv::programFolder())
      : dir_(std::make_unique<DataFolders>(programFolder)),
        config_(std::make_unique<Config>(dir_->ConfigFolder() + "application.ini")) {}

  QDate SelectedDate() const override { return selected; }
  void SetSelectedDate(const QDate& d) override {
    selected = d;
    ++setDateCalls;
  }
  QString CurrentViewName() const override { return viewName; }
  const CycleSettings& Cycle() const override { return config_->Cycle; }
  Config& Settings() override { return *config_; }
  const DataFolders& Dir() const override { return *dir_; }
  void DayMarksChanged() override { ++marksChangedCalls; }
  void RaiseView(DateView* view) override { raised << view; }
  AlarmNotifier* Notifier() override { return &notifier; }

  QDate selected = QDate(2009, 3, 5);
  QString viewName = "calendar";
  int setDateCalls = 0;
  int marksChangedCalls = 0;
  // The views that asked to come to the front, in order; the notices they showed.
  QList<DateView*> raised;
  FakeNotifier notifier;

 private:
  std::unique_ptr<DataFolders> dir_;
  std::unique_ptr<Config> config_;
};
