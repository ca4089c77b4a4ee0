#include "shell/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include "app/database.h"
#include "app/desktopnotifier.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "app/widgets/datefield.h"
#include "app/widgets/firstinput.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "app/widgets/settingsdialog.h"
#include "app/widgets/welcomedialog.h"
#include "app/welcome.h"
#include "basal/cyclerecords.h"
#include "core/cyclemodel.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/gridpictures.h"
#include "shell/aboutbox.h"
#include "shell/doctorreportcommand.h"
#include "shell/doctorreportdialog.h"
#include "trackers/burnedcalories.h"
#include "shell/footerbar.h"
#include "shell/forumpage.h"
#include "shell/trayicon.h"
#include "shell/appicons.h"
#include "shell/themes.h"
#include "shell/recordactions.h"
#include "shell/viewtable.h"


namespace {
// Scrolls the pages when the window is smaller than they are; its size hint is the pages'
// own, so the window opens at its designed size.
class ClientScrollArea : public QScrollArea {
 public:
  explicit ClientScrollArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
  }
  QSize sizeHint() const override {
    return widget() ? widget()->size() + QSize(2 * frameWidth(), 2 * frameWidth())
                    : QScrollArea::sizeHint();
  }
};

constexpr int kClientWidth = 966;
constexpr int kClientHeight = 581;
constexpr int kSideWidth = 345;  // the side part of outer page 0, left of ui_pg
constexpr int kHeaderHeight = 75;
constexpr int kFooterHeight = FooterBar::kHeight;
constexpr int kDateBarLeft = 6;
constexpr int kDateBarTop = 6;
constexpr int kDateBarWidth = 297;
constexpr int kDateBarHeight = 33;
const CycleSettings& DefaultCycle() {
  static const CycleSettings s{Clock::Today(), 28, 14, 0};
  return s;
}

// The footer's settings reach application.ini as soon as they change, so that a crash
// keeps them; unchanged values write nothing.
void SaveFooterSettings(Config& config, QWidget* parent) {
  if (!config.SaveSettings()) ShowError(config.lastError(), parent);
}
}  // namespace

// ---------------------------------------------------------------------------------
// Creation

MainWindow::MainWindow(const QString& programFolder, bool autoStart, QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(AppIcon());
  dir_ = std::make_unique<DataFolders>(programFolder);
  if (!dir_->ok()) ShowMessage(QStringLiteral("Error creating install directories"), this);
  // This instance has been admitted: what saves killed earlier left behind can go.
  RemoveStaleSaveFiles(*dir_);
  // The answer may come after the window that asked is gone; the box goes over whatever
  // window is active then.
  SetOpenFailureHandler(
      [](const QString& message) { ShowError(message, QApplication::activeWindow()); });

  // The pages are laid out at one designed size. A smaller window (a small screen) scrolls
  // them so that every control stays reachable; a larger one (maximised) shows them
  // centred.
  auto* scroll = new ClientScrollArea(this);
  scroll->setObjectName(QStringLiteral("clientScroll"));
  auto* client = new QWidget;
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);
  QPalette pal = client->palette();
  pal.setColor(QPalette::Window, Qt::white);
  client->setPalette(pal);
  client->setFont(ArialFont(11));
  scroll->setWidget(client);
  setCentralWidget(scroll);
  // A control that takes the focus (Tab, a shortcut, a click on its label) is scrolled
  // into sight.
  connect(qApp, &QApplication::focusChanged, scroll, [scroll, client](QWidget*, QWidget* now) {
    if (!now || !client->isAncestorOf(now)) return;
    // The whole control, not only its text cursor (which ensureWidgetVisible would take).
    while (now->parentWidget() && now->parentWidget()->focusProxy() == now) now = now->parentWidget();
    const QRect r(now->mapTo(client, QPoint(0, 0)), now->size());
    scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 8, r.height() / 2 + 8);
  });
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  header_ = new QWidget(client);
  header_->setObjectName(QStringLiteral("Panel2"));
  header_->setFixedHeight(kHeaderHeight);
  header_->setAttribute(Qt::WA_StyledBackground, true);
  BuildHeader(header_);
  column->addWidget(header_);

  column->addWidget(BuildPages(), 1);

  footer_ = new FooterBar(client);
  connect(footer_, &FooterBar::goalChanged, this, &MainWindow::OnGoalChanged);
  connect(footer_, &FooterBar::lastPeriodChanged, this, &MainWindow::OnLastPeriodChanged);
  connect(footer_, &FooterBar::lastPeriodEditFinished, this, [this] {
    if (cycleRecords_) cycleRecords_->PickerEditFinished();
  });
  connect(footer_, &FooterBar::lengthsChanged, this, &MainWindow::OnCycleSpin);
  column->addWidget(footer_);

  BuildMenus();

  // A saved theme is applied before anything is shown; an unknown one is ignored.
  const QString saved = SavedTheme();
  ApplyThemeByName(saved.isEmpty() ? QStringLiteral("Default") : saved);
  LoadBrand(dir_->BrandFolder() + QStringLiteral("brand.ini"));
  setWindowTitle(MainWindowCaption());

  tray_ = MakeTrayIcon(this, [this] {
    // The sleep view first, then the kids view; views without alarms ignore it.
    for (const char* name : {"sleep", "kids"})
      if (DateView* v = views_.value(QLatin1String(name))) v->StopAlarm();
  });
  notifier_ = new DesktopNotifier(
      [this](const AlarmNotice& notice) {
        if (!tray_ || !tray_->isVisible()) return;  // the window in front says it all
        tray_->showMessage(notice.title, notice.text, QSystemTrayIcon::Warning, 60 * 1000);
      },
      this);
  connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] { BringToFront(this); });
  plannerTimer_ = new QTimer(this);
  plannerTimer_->setSingleShot(true);
  plannerTimer_->setInterval(1000);
  connect(plannerTimer_, &QTimer::timeout, this, [this] {
    for (auto& i : icons_)
      if (i.name == QLatin1String("Calendar_Icon")) i.picture->setEnabled(true);
  });
  // Armed when the window is first shown: the routine runs once the empty window has
  // been painted, with no idle wait before it.
  startupTimer_ = new QTimer(this);
  startupTimer_->setSingleShot(true);
  startupTimer_->setInterval(0);
  connect(startupTimer_, &QTimer::timeout, this, &MainWindow::Startup);
  autoStartup_ = autoStart;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (autoStartup_ && !started_ && !config_ && !startupTimer_->isActive()) startupTimer_->start();
}

void MainWindow::CentreOnScreen() {
  // Centred by its laid-out size: before the layout has run the window is smaller than
  // it will be and would hang past the right edge of the screen. On a screen smaller
  // than that it takes the screen, and the pages scroll.
  ensurePolished();
  if (layout()) layout()->activate();
  // Not adjustSize(): it keeps a window within two thirds of the screen.
  resize(sizeHint());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    const QSize decoration = frameGeometry().size() - size();
    resize(size().boundedTo(available.size() - decoration));
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    frame.moveTop(std::max(frame.top(), available.top()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    move(frame.topLeft());
  }
}

MainWindow::~MainWindow() {
  // The views use the folder tree and the settings while they close; close them first.
  views_.clear();
  delete takeCentralWidget();
}

namespace {
std::optional<bool>& TrayOverride() {
  static std::optional<bool> value;
  return value;
}
bool TrayAvailable() {
  return TrayOverride().value_or(QSystemTrayIcon::isSystemTrayAvailable());
}
}  // namespace

void SetSystemTrayAvailable(std::optional<bool> available) { TrayOverride() = available; }

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  // Her records, taken with her: a backup, a restore, and exports others can read.
  AddRecordsMenu(file, *dir_, this,
                 {[this] { SaveEveryView(); }, [this] { RestoreRecords(); },
                  [this] { ImportRecords(); }, [this] { return Cycle(); }});
  file->addSeparator();
  QAction* exitAction = file->addAction(QStringLiteral("E&xit"));
  exitAction->setObjectName(QStringLiteral("Exit1"));
  connect(exitAction, &QAction::triggered, this, &MainWindow::close);
  QAction* hide = file->addAction(QStringLiteral("H&ide"));
  hide->setObjectName(QStringLiteral("Hide1"));
  // Only the tray icon brings a hidden window back; without a tray there is no way back.
  hide->setEnabled(TrayAvailable());
  connect(hide, &QAction::triggered, this, [this] {
    if (TrayAvailable()) QWidget::hide();
  });

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("View1"));
  BuildViewMenu(view);

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  if (HasWeeklyPlanner()) {
    QAction* planner = tools->addAction(QStringLiteral("Weekly Planner"));
    planner->setObjectName(QStringLiteral("WeeklyPlanner1"));
    connect(planner, &QAction::triggered, this, &MainWindow::OpenWeeklyPlanner);
  }
  QAction* doctor = tools->addAction(QStringLiteral("Report for my &doctor..."));
  doctor->setObjectName(QStringLiteral("DoctorReport1"));
  connect(doctor, &QAction::triggered, this, &MainWindow::ShowDoctorReport);

  QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
  QAction* prefs = settings->addAction(QStringLiteral("User Preferences"));
  prefs->setObjectName(QStringLiteral("UserPrefrenses1"));
  connect(prefs, &QAction::triggered, this, &MainWindow::ShowSettings);
  startWithWindows_ = settings->addAction(QStringLiteral("Start at login"));
  startWithWindows_->setObjectName(QStringLiteral("StartWithWindows1"));
  startWithWindows_->setCheckable(true);
  startWithWindows_->setChecked(true);
  connect(startWithWindows_, &QAction::triggered, this, [this](bool checked) {
    if (config_) config_->AutoStart = checked;
  });

  QMenu* themes = menuBar()->addMenu(QStringLiteral("Th&emes"));
  themes->setObjectName(QStringLiteral("Themes1"));
  auto* group = new QActionGroup(this);
  for (const QString& name : ThemeNames()) {
    QAction* a = themes->addAction(name);
    a->setObjectName(QStringLiteral("Theme_") + name);
    a->setCheckable(true);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, name] { ApplyThemeByName(name); });
  }

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QAction* doc = help->addAction(QStringLiteral("Document"));
  doc->setObjectName(QStringLiteral("Document1"));
  connect(doc, &QAction::triggered, this,
          [this] { OpenDocument(dir_->HelpFolder() + QStringLiteral("index.html")); });
  QAction* forum = help->addAction(QStringLiteral("Support Forum"));
  connect(forum, &QAction::triggered, this, [] { OpenDocument(Brand().ForumUrl); });
  QAction* home = help->addAction(QStringLiteral("Visit Homepage"));
  connect(home, &QAction::triggered, this, [] { OpenDocument(Brand().Url); });
  QAction* appData = help->addAction(QStringLiteral("Open AppData Directory"));
  connect(appData, &QAction::triggered, this, [this] { OpenFolder(dir_->DataRoot()); });
  QAction* appDir = help->addAction(QStringLiteral("Open Application Directory"));
  connect(appDir, &QAction::triggered, this, [this] { OpenFolder(dir_->ProgramFolder()); });
  QAction* about = help->addAction(QStringLiteral("About"));
  about->setObjectName(QStringLiteral("About1"));
  connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::OpenFeature(const ViewEntry& entry) {
  ShowView(entry.name);
  if (entry.iconPage >= 0)
    if (DateView* v = views_.value(entry.name)) v->ShowPage(entry.iconPage);
}

void MainWindow::OpenFromKeyboard(const ViewEntry& entry) {
  OpenFeature(entry);
  DateView* v = views_.value(entry.name);
  QWidget* input = v ? v->FirstInput() : nullptr;
  if (!input)
    if (auto* widget = dynamic_cast<QWidget*>(v)) input = FirstInputOf(widget);
  if (input) input->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::BuildViewMenu(QMenu* menu) {
  // Every view with an icon in the header, in its order: Ctrl+1 .. Ctrl+0 for the first
  // ten, and a mnemonic each (the first letter of a word not taken yet).
  QString taken;
  int number = 0;
  for (const ViewEntry& entry : ViewTable()) {
    if (entry.outerPage < 0 || !entry.iconShown) continue;
    QAction* action = menu->addAction(MenuText(entry.caption, &taken));
    action->setObjectName(QStringLiteral("View_") + entry.name);
    if (number < 10) action->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_0 + (++number % 10))));
    connect(action, &QAction::triggered, this, [this, &entry] { OpenFromKeyboard(entry); });
  }
}

void MainWindow::BuildHeader(QWidget* header) {
  dateBar_ = new QWidget(header);
  dateBar_->setObjectName(QStringLiteral("DateBar"));
  dateBar_->setGeometry(kDateBarLeft, kDateBarTop, kDateBarWidth, kDateBarHeight);
  dateBar_->setAutoFillBackground(true);
  dateBar_->setStyleSheet(QStringLiteral(
      "QWidget#DateBar { background: rgb(67,68,80); border-radius: 3px; }"
      "QPushButton { color: white; background: transparent; border: none; font: bold 15px Arial; }"
      "QPushButton:hover { color: rgb(255,200,120); }"
      "QDateEdit { background: white; border: 1px solid rgb(40,40,48); padding: 1px 3px;"
      " font: bold 13px Arial; color: rgb(40,40,48); }"));
  auto* left = new QPushButton(QStringLiteral("< "), dateBar_);
  left->setObjectName(QStringLiteral("ArrowLeft"));
  left->setGeometry(4, 4, 30, 25);
  datePicker_ = new QDateEdit(dateBar_);
  TypeDigitsIntoSections(datePicker_);
  datePicker_->setObjectName(QStringLiteral("Date_Picker"));
  datePicker_->setDisplayFormat(QStringLiteral("MMMM d, yyyy"));
  datePicker_->setCalendarPopup(true);
  datePicker_->setDateRange(QDate(1900, 1, 1), QDate(2199, 12, 31));
  datePicker_->setDate(Clock::Today());
  datePicker_->setGeometry(38, 4, 221, 25);
  auto* right = new QPushButton(QStringLiteral(" > "), dateBar_);
  right->setObjectName(QStringLiteral("ArrowRight"));
  right->setGeometry(263, 4, 30, 25);
  connect(left, &QPushButton::clicked, this, [this] {
    SetSelectedDate(SelectedDate().addDays(-1));
    DispatchDate(SelectedDate());
  });
  connect(right, &QPushButton::clicked, this, [this] {
    SetSelectedDate(SelectedDate().addDays(1));
    DispatchDate(SelectedDate());
  });
  connect(datePicker_, &QDateEdit::dateChanged, this, &MainWindow::OnPickerChanged);

  title_ = MakeLabel(header, QStringLiteral("ui_title"), QString(), ArialFont(15, true),
                     QColor(60, 66, 80));
  title_->setGeometry(kDateBarLeft + 2, kDateBarTop + kDateBarHeight + 6, kDateBarWidth, 24);

  for (const ViewEntry& entry : ViewTable()) {
    if (entry.icon.isEmpty()) continue;
    Icon icon;
    icon.name = entry.icon;
    auto* pic = new LinkLabel(QString(), header);
    pic->setObjectName(icon.name);
    pic->setToolTip(entry.hint);
    pic->setPixmap(FeatureIcon(icon.name));
    pic->setFixedSize(36, 36);
    pic->setAlignment(Qt::AlignCenter);
    pic->setAccessibleName(entry.caption);
    auto* cap = new LinkLabel(entry.caption, header);
    cap->setObjectName(icon.name + QStringLiteral("_Caption"));
    // The icon above is the keyboard's stop; the caption's "today" is the today link's.
    cap->setFocusPolicy(Qt::NoFocus);
    cap->setProperty("iconCaption", true);
    cap->setFont(ArialFont(11));
    cap->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    cap->setWordWrap(true);
    // Without the planner program its icon is not offered: it could only say so.
    const bool shown = entry.iconShown && (entry.outerPage >= 0 || HasWeeklyPlanner());
    pic->setVisible(shown);
    cap->setVisible(shown);
    icon.picture = pic;
    icon.caption = cap;
    if (entry.outerPage < 0) {
      connect(pic, &LinkLabel::clicked, this, &MainWindow::OpenWeeklyPlanner);
    } else {
      connect(pic, &LinkLabel::clicked, this, [this, &entry] { OpenFeature(entry); });
    }
    // A click on a caption does what the "today" link does.
    connect(cap, &LinkLabel::clicked, this, &MainWindow::GoToday);
    icons_.append(icon);
  }
  LayoutIcons();
}

void MainWindow::LayoutIcons() {
  const int start = kDateBarLeft + kDateBarWidth;
  // The visible icons share the strip right of the date bar, however many there are.
  const auto shown = std::count_if(icons_.cbegin(), icons_.cend(),
                                   [](const Icon& icon) { return !icon.picture->isHidden(); });
  const int slot = std::min<int>(120, (kClientWidth - start) / std::max<qsizetype>(1, shown));
  int i = 0;
  for (Icon& icon : icons_) {
    if (icon.picture->isHidden()) continue;
    const int x = start + slot * i;
    icon.picture->move(x + (slot - icon.picture->width()) / 2, 4);
    // Long captions ("Blood Pressure") wrap inside their slot instead of running into
    // the next one.
    icon.caption->setFixedWidth(slot - 4);
    icon.caption->setFixedHeight(header_->height() - 42);
    icon.caption->move(x + (slot - icon.caption->width()) / 2, 42);
    ++i;
  }
}

QWidget* MainWindow::BuildPages() {
  pgMain_ = new QStackedWidget;
  pgMain_->setObjectName(QStringLiteral("pgMain"));
  // Outer page 0 holds a side part on its left (the calendar's month grid) and the inner
  // page area ui_pg on its right.
  auto* first = new QWidget;
  uiPg_ = new QStackedWidget(first);
  uiPg_->setObjectName(QStringLiteral("ui_pg"));
  const int pageHeight = kClientHeight - kHeaderHeight - kFooterHeight;
  uiPg_->setGeometry(kSideWidth, 0, kClientWidth - kSideWidth, pageHeight);

  int outerCount = 1;
  int innerCount = 1;
  for (const ViewEntry& e : ViewTable()) {
    outerCount = std::max(outerCount, e.outerPage + 1);
    innerCount = std::max(innerCount, e.innerPage + 1);
  }
  QList<QWidget*> outer{first};
  pgMain_->addWidget(first);
  for (int i = 1; i < outerCount; ++i) pgMain_->addWidget(outer.emplace_back(new QWidget));
  QList<QWidget*> inner;
  for (int i = 0; i < innerCount; ++i) uiPg_->addWidget(inner.emplace_back(new QWidget));

  for (const ViewEntry& e : ViewTable()) {
    if (e.outerPage < 0) continue;
    if (!e.side.isEmpty()) {
      auto* side = new QWidget(outer[e.outerPage]);
      side->setObjectName(e.side);
      side->setGeometry(0, 0, kSideWidth, pageHeight);
      panels_.insert(e.side, side);
    }
    if (e.panel.isEmpty()) continue;
    QWidget* page = e.outerPage == 0 ? inner[e.innerPage] : outer[e.outerPage];
    QWidget* panel = page;
    if (e.dayCaption) {
      QLabel* caption = MakeLabel(page, QStringLiteral("ui_%1_day").arg(e.name), QString(),
                                  ArialFont(16, true));
      caption->setGeometry(10, 8, 580, 24);
      dayCaptions_.append(caption);
      panel = new QWidget(page);
      panel->setGeometry(0, 36, uiPg_->width(), uiPg_->height() - 36);
    }
    panel->setObjectName(e.panel);
    panels_.insert(e.panel, panel);
  }
  if (const ViewEntry* forum = FindView(QStringLiteral("forum"))) forumNav_ = BuildForumPage(outer[forum->outerPage]);
  return pgMain_;
}

AlarmNotifier* MainWindow::Notifier() { return notifier_; }

void MainWindow::RaiseView(DateView* view) {
  const QString name = views_.key(view);
  if (name.isEmpty()) return;
  if (name != viewName_) ShowView(name);
  BringToFront(this);
}

// ---------------------------------------------------------------------------------
// The selected date and the cycle settings

QDate MainWindow::SelectedDate() const { return datePicker_->date(); }

void MainWindow::SetSelectedDate(const QDate& date) {
  if (!date.isValid()) return;
  settingPicker_ = true;
  datePicker_->setDate(date);
  settingPicker_ = false;
}

const CycleSettings& MainWindow::Cycle() const { return config_ ? config_->Cycle : DefaultCycle(); }

void MainWindow::DayMarksChanged() {
  for (DateView* v : std::as_const(views_)) v->RepaintMarks();
}

void MainWindow::OnPickerChanged(const QDate& date) {
  // A date chosen in the picker becomes the selected date; setting it from code does not
  // dispatch.
  if (settingPicker_ || !started_) return;
  DispatchDate(date);
}

void MainWindow::GoToday() {
  const QDate today = Clock::Today();
  // The month grid goes to today as well, beside whichever page it stands: its change of
  // day hands the date to every view itself (GridDayChosen).
  DateView* calendar = views_.value(QStringLiteral("calendar"));
  if (started_ && calendar && calendar != CurrentView()) {
    const quint64 before = dispatches_;
    calendar->ShowDate(today);
    if (dispatches_ != before) return;
  }
  SetSelectedDate(today);
  DispatchDate(today);
}

// ---------------------------------------------------------------------------------
// Start-up

void MainWindow::Startup() {
  startupTimer_->stop();
  if (started_ || config_) return;

  config_ = std::make_unique<Config>(dir_->ConfigFolder() + QStringLiteral("application.ini"));
  if (!config_->lastError().isEmpty()) ShowError(config_->lastError(), this);
  LoadFooterFromConfig();
  MakeCycleRecords();
  LoadBrand(dir_->BrandFolder() + QStringLiteral("brand.ini"));
  setWindowTitle(MainWindowCaption());
  QCoreApplication::processEvents();

  // A new user is asked first, before the views take her units; the window waits
  // behind the welcome. Closing it takes what it proposed.
  if (config_->FirstStart() && config_->lastError().isEmpty()) {
    const WelcomeAnswers proposed = ProposedWelcome(*config_);
    AskWelcome(proposed, this, [this, proposed](const std::optional<WelcomeAnswers>& answers) {
      ApplyWelcome(answers.value_or(proposed), *config_);
      SaveFooterSettings(*config_, this);
      LoadFooterFromConfig();
      StartViews();
    });
    return;
  }
  StartViews();
}

void MainWindow::StartViews() {
  try {
    ShowView(QStringLiteral("calendar"));
    LayoutIcons();
    for (QLabel* l : std::as_const(dayCaptions_)) l->clear();
    footer_->FillLegend();

    // The views start on the first day of the date bar's month, where the month grid
    // starts; the date bar's own day follows below.
    const QDate d0(SelectedDate().year(), SelectedDate().month(), 1);
    for (const ViewEntry& entry : ViewTable()) {
      if (!entry.make) continue;
      DateView* dateView = DockView(entry, entry.make(this));
      dateView->StartView(d0);
      if (entry.firstShowDate) dateView->ShowDate(d0);
    }
    started_ = true;
    startWithWindows_->setChecked(config_->AutoStart);
    for (DateView* v : std::as_const(views_)) v->ProgramStarted();
  } catch (const std::exception& e) {
    started_ = true;
    ShowError(QString::fromUtf8(e.what()), this);
  }
  if (!isVisible()) {
    CentreOnScreen();
    show();
  }
  viewName_ = QStringLiteral("calendar");
  GoToday();
}

DateView* MainWindow::DockView(const ViewEntry& entry, QWidget* view) {
  auto dock = [this](const QString& panelName, QWidget* widget) {
    QWidget* panel = panels_.value(panelName);
    Q_ASSERT(panel);
    QLayout* lay = panel->layout();
    if (!lay) {
      lay = new QVBoxLayout(panel);
      lay->setContentsMargins(0, 0, 0, 0);
    }
    lay->addWidget(widget);
  };
  dock(entry.panel, view);
  auto* dateView = dynamic_cast<DateView*>(view);
  Q_ASSERT(dateView);
  if (QWidget* side = dateView->SideWidget()) dock(entry.side, side);
  views_.insert(entry.name, dateView);
  return dateView;
}

void MainWindow::LoadFooterFromConfig() {
  // The controls clamp what they show; the settings follow what is shown.
  config_->Cycle = footer_->Show(config_->Cycle);
  // A stored date that could not be read shows a stand-in; the picker says so until she
  // picks a date (the file keeps its text until then).
  MarkLastPeriodUnreadable(config_->LastPeriodUnreadable());
}

void MainWindow::MarkLastPeriodUnreadable(bool unreadable) {
  footer_->MarkLastPeriodUnreadable(
      unreadable ? config_->UnreadableValues()
                       .filter(QStringLiteral("ui_LastPeriod"), Qt::CaseInsensitive)
                       .join(QStringLiteral(", "))
                 : QString());
}

// ---------------------------------------------------------------------------------
// Views and dates

void MainWindow::ShowView(const QString& name) {
  const ViewEntry* row = FindView(name);
  if (!row || row->outerPage < 0) return;

  if (name != viewName_)
    if (DateView* left = views_.value(viewName_)) left->SaveOnLeave();
  viewName_ = name;
  footer_->hide();
  forumNav_->setVisible(name == QLatin1String("forum"));
  title_->clear();

  pgMain_->setCurrentIndex(row->outerPage);
  if (row->innerPage >= 0) uiPg_->setCurrentIndex(row->innerPage);
  footer_->setVisible(row->footer);
  dateBar_->setVisible(row->dateBar);
  datePicker_->setVisible(name != QLatin1String("forum"));
  ShowTitle();
  if (name == QLatin1String("forum")) OpenDocument(Brand().ForumUrl);

  DispatchDate(SelectedDate());
  // The month grid marks the days of the view now on screen.
  DayMarksChanged();
}

void MainWindow::DispatchDate(const QDate& date) {
  if (!started_) return;
  ++dispatches_;
  const ViewEntry* row = FindView(viewName_);
  DateView* shown = views_.value(viewName_);
  if (shown) {
    shown->SaveBeforeDateChange();
    shown->ShowDate(date);
  }
  // The to-do lists and the journal note belong to the grid's day, so the grid follows
  // the date bar there; its change of day saves and loads the note.
  if (row && row->gridDay)
    if (DateView* calendar = views_.value(QStringLiteral("calendar")); calendar && calendar != shown)
      calendar->ShowDate(date);
  ShowTitle();
  for (const char* name : {"basal", "sleep", "kids"})
    if (DateView* v = views_.value(QLatin1String(name))) v->RefreshCharts();
}

void MainWindow::GridDayChosen(const QDate& date) {
  if (!started_) return;
  SetSelectedDate(date);
  const QString longDate = FormatDate(QStringLiteral("dddddd"), date);
  for (QLabel* l : std::as_const(dayCaptions_)) l->setText(longDate);
  for (DateView* v : std::as_const(views_)) v->GridDayChanged(date);
  DispatchDate(date);
}

void MainWindow::ShowTitle() {
  const ViewEntry* row = FindView(viewName_);
  if (!row) return;
  if (row->dateTitle)
    title_->setText(FormatDate(QStringLiteral("mmm d, yyyy"), SelectedDate()) + QLatin1Char(' '));
  else
    title_->setText(row->title);
}

// ---------------------------------------------------------------------------------
// Footer

void MainWindow::RefreshCycleCharts() {
  for (DateView* v : std::as_const(views_)) v->RefreshCharts();
}

void MainWindow::OnGoalChanged() {
  if (!config_) return;
  config_->Cycle.Goal = footer_->Shown().Goal;
  SaveFooterSettings(*config_, this);
  // The day panel answers for the settings on screen, not the ones it was filled with.
  RefreshCycleCharts();
}

void MainWindow::OnLastPeriodChanged() {
  if (!config_) return;
  const QDate picked = footer_->Shown().LastPeriod;
  RecordPickerStart(config_->Cycle.LastPeriod, picked);
  config_->Cycle.LastPeriod = picked;
  MarkLastPeriodUnreadable(false);
  SaveFooterSettings(*config_, this);
  if (!started_) return;
  RefreshCycleCharts();
}

void MainWindow::OnCycleSpin() {
  if (!config_) return;
  const CycleSettings shown = footer_->Shown();
  config_->Cycle.CycleLength = shown.CycleLength;
  config_->Cycle.LutealLength = shown.LutealLength;
  SaveFooterSettings(*config_, this);
  RefreshCycleCharts();
  DispatchDate(SelectedDate());
}

// ---------------------------------------------------------------------------------
// Her cycle records

void MainWindow::MakeCycleRecords() {
  if (cycleRecords_) return;
  cycleRecords_ = MakeCycleRecordStore(*dir_);
}

void MainWindow::RecordPickerStart(const QDate& from, const QDate& to) {
  if (!cycleRecords_ || !started_) return;
  QString error;
  if (!cycleRecords_->PickerMoved(from, to, &error)) ShowError(error, this);
}

void MainWindow::ApplyCycleSettings(int cycleLength, int lutealLength) {
  if (!config_) return;
  // Both values first, then one change: the views redraw once for the pair.
  footer_->SetLengths(cycleLength, lutealLength);
  OnCycleSpin();
}

// ---------------------------------------------------------------------------------
// Menus, dialogs, exit

void MainWindow::ApplyThemeByName(const QString& name) {
  if (!ApplyTheme(this, name)) return;
  theme_ = name;
  if (QAction* a = findChild<QAction*>(QStringLiteral("Theme_") + name)) a->setChecked(true);
}

void MainWindow::ShowSettings() {
  if (!config_) return;
  {
    SettingsDialog dialog(*config_, this);
    dialog.exec();
  }
  startWithWindows_->setChecked(config_->AutoStart);
}

void MainWindow::ShowDoctorReport() {
  if (!config_) return;
  // What she typed last is in the files the report reads.
  SaveEveryView();
  DoctorReportDialog dialog(
      [this](const ReportPeriod& period, const QString& name) {
        QString error;
        const QString page =
            WriteDoctorReportPage(*dir_, ReportSettingsOf(*config_), period, name, &error);
        if (page.isEmpty()) ShowError(error, this);
        return page;
      },
      Clock::Today(), this);
  dialog.exec();
}

std::optional<int> MainWindow::BurnedCaloriesOn(const QDate& date) const {
  return RecordedWorkoutCalories(dir_->ExerciseFolder(), date);
}

void MainWindow::ShowAbout() {
  AboutBox about(dir_->BrandFolder() + QStringLiteral("about.jpg"), this);
  about.exec();
}

QString MainWindow::PlannerProgram() const {
  return dir_->ProgramFolder() + QStringLiteral("Calendar/Calendar");
}

bool MainWindow::HasWeeklyPlanner() const { return QFileInfo(PlannerProgram()).isExecutable(); }

void MainWindow::OpenWeeklyPlanner() {
  const QString program = PlannerProgram();
  if (!QFileInfo(program).isExecutable()) {
    // It went away since the start: say so, as nothing else would.
    ShowError(QStringLiteral("The weekly planner could not be started: \"%1\" is missing.")
                  .arg(program),
              this);
    return;
  }
  for (auto& i : icons_)
    if (i.name == QLatin1String("Calendar_Icon")) i.picture->setEnabled(false);
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const QStringList args{QString::number(DateNumber(SelectedDate()))};
  const bool ok = QProcess::startDetached(program, args);
  QGuiApplication::restoreOverrideCursor();
  if (!ok)
    ShowError(QStringLiteral("The weekly planner could not be started: \"%1\".").arg(program),
              this);
  plannerTimer_->start();
}

void MainWindow::SaveEveryView() {
  // A field that still has the focus is written by the view on screen; every view writes
  // what it still holds unwritten.
  if (DateView* v = views_.value(viewName_)) v->SaveBeforeDateChange();
  for (DateView* v : std::as_const(views_)) v->SaveOnLeave();
}

void MainWindow::DropViews() {
  for (DateView* v : std::as_const(views_)) {
    delete v->SideWidget();
    delete dynamic_cast<QWidget*>(v);
  }
  views_.clear();
  started_ = false;
}

void MainWindow::RestoreRecords() {
  if (config_) RunRestoreDialog(*dir_, this, ReloadHooks());
}

void MainWindow::ImportRecords() {
  if (config_) RunImportDialog(*dir_, this, ReloadHooks());
}

RestoreHooks MainWindow::ReloadHooks() {
  RestoreHooks hooks;
  // Asked and checked: what she typed is written first (into the folder the restore
  // saves as a backup), then nothing holds the old files open or could write over the
  // restored ones.
  hooks.beforeReplace = [this] {
    SaveEveryView();
    DropViews();
    CloseDatabase();
  };
  // Every view reads the folder as it now is; a restore that failed half-way put the old
  // folder back, and the views read that.
  hooks.afterReplace = [this](bool replaced) {
    if (replaced) ForgetFileGuards();
    // Her period history and signs as the folder now holds them.
    if (cycleRecords_) cycleRecords_->Reload();
    config_ = std::make_unique<Config>(dir_->ConfigFolder() + QStringLiteral("application.ini"));
    if (!config_->lastError().isEmpty()) ShowError(config_->lastError(), this);
    LoadFooterFromConfig();
    // The period history and the basal signs are read again with the views.
    cycleRecords_.reset();
    MakeCycleRecords();
    viewName_ = QStringLiteral("calendar");
    StartViews();
  };
  return hooks;
}

void MainWindow::ExitSequence() {
  if (exited_) return;
  exited_ = true;
  if (IsThemeName(theme_)) SaveTheme(theme_);
  if (!config_) return;
  if (config_->AutoStart)
    AddAutoStart(QCoreApplication::applicationFilePath());
  else
    RemoveAutoStart();
  // The views write on their own events; what they still hold (the journal its note, a
  // field with the focus) is written now.
  SaveEveryView();
  if (!config_->SaveSettings()) ShowError(config_->lastError(), this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  ExitSequence();
  event->accept();
  if (tray_) tray_->hide();
  QCoreApplication::quit();
}
