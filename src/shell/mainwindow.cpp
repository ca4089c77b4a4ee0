#include "shell/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include "core/clock.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "app/widgets/fonts.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "app/widgets/printreport.h"
#include "app/widgets/settingsdialog.h"
#include "core/cyclemodel.h"
#include "cycle/gridpictures.h"
#include "cycle/journal.h"
#include "shell/aboutbox.h"
#include "cycle/widgets/calendarreportwriter.h"
#include "shell/appicons.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/probabilitychart.h"
#include "shell/themes.h"
#include "shell/viewtable.h"
#include "trackers/widgets/healthview.h"


// The journal's marks on the month grid: days that have a note file.
class JournalMarks : public DateView {
 public:
  explicit JournalMarks(const DataFolders& dir) : dir_(dir) {}
  void ShowDate(const QDate&) override {}
  DayMarkPicture MarkPicture() const override { return DayMarkPicture::Berry; }
  bool IsDayMarked(const QDate& d) const override { return NoteExists(dir_.NotesFolder(), d); }

 private:
  const DataFolders& dir_;
};

namespace {
constexpr int kClientWidth = 966;
constexpr int kNoteAutoSaveMs = 1500;
constexpr int kClientHeight = 581;
constexpr int kHeaderHeight = 75;
constexpr int kFooterHeight = 55;
constexpr int kDateBarLeft = 6;
constexpr int kDateBarTop = 6;
constexpr int kDateBarWidth = 297;
constexpr int kDateBarHeight = 33;
const QColor kLinkBlue(0, 128, 255);

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour = Qt::black) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setFont(font);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  l->setPalette(p);
  return l;
}

LinkLabel* MakeLink(QWidget* parent, const QString& name, const QString& text,
                    const QColor& colour = kLinkBlue, int pixels = 12) {
  auto* l = new LinkLabel(text, parent);
  l->setObjectName(name);
  l->setFont(ArialFont(pixels, true));
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  l->setPalette(p);
  return l;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QFont& font,
                         bool readOnly = true) {
  auto* m = new QPlainTextEdit(parent);
  m->setObjectName(name);
  m->setFont(font);
  m->setReadOnly(readOnly);
  m->setFrameShape(QFrame::NoFrame);
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return m;
}

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
  journalMarks_ = std::make_unique<JournalMarks>(*dir_);
  // The answer may come after the window that asked is gone; the box goes over whatever
  // window is active then.
  SetOpenFailureHandler(
      [](const QString& message) { ShowError(message, QApplication::activeWindow()); });

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);
  QPalette pal = client->palette();
  pal.setColor(QPalette::Window, Qt::white);
  client->setPalette(pal);
  client->setFont(ArialFont(11));
  setCentralWidget(client);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  header_ = new QWidget(client);
  header_->setObjectName(QStringLiteral("Panel2"));
  header_->setFixedHeight(kHeaderHeight);
  header_->setAttribute(Qt::WA_StyledBackground, true);
  BuildHeader(header_);
  column->addWidget(header_);

  pgMain_ = new QStackedWidget(client);
  pgMain_->setObjectName(QStringLiteral("pgMain"));
  column->addWidget(pgMain_, 1);
  pgMain_->addWidget(BuildCalendarPage());  // 0
  const char* outerPanels[] = {"pnlBasal", "", "pnlSleep", "forum", "pnlHealth", "pnlKids"};
  for (const char* name : outerPanels) {
    auto* page = new QWidget(pgMain_);
    if (*name) {
      page->setObjectName(QLatin1String(name));
      panels_.insert(QLatin1String(name), page);
    }
    pgMain_->addWidget(page);
  }
  {
    // No browser engine here: the forum page offers the address as a link.
    QWidget* forum = pgMain_->widget(4);
    auto* lay = new QVBoxLayout(forum);
    lay->setContentsMargins(40, 30, 40, 30);
    forumNav_ = new QWidget(forum);
    auto* nav = new QHBoxLayout(forumNav_);
    nav->setContentsMargins(0, 0, 0, 0);
    auto* back = new QPushButton(QStringLiteral("< "), forumNav_);
    auto* fwd = new QPushButton(QStringLiteral(" > "), forumNav_);
    back->setEnabled(false);
    fwd->setEnabled(false);
    LinkLabel* browser = MakeLink(forumNav_, QStringLiteral("lblBrowser"), QStringLiteral("Browser"));
    connect(browser, &LinkLabel::clicked, this, [] { OpenDocument(Brand().ForumUrl); });
    nav->addWidget(back);
    nav->addWidget(fwd);
    nav->addWidget(browser);
    nav->addStretch();
    lay->addWidget(forumNav_);
    auto* text = MakeLabel(forum, QStringLiteral("lblForum"),
                           QStringLiteral("The Mavelo forum opens in your web browser."),
                           ArialFont(16, true));
    lay->addWidget(text);
    lay->addStretch();
  }

  footer_ = BuildFooter();
  column->addWidget(footer_);

  BuildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumHeight(557);

  // A saved theme is applied before anything is shown; an unknown one is ignored.
  const QString saved = SavedTheme();
  ApplyThemeByName(saved.isEmpty() ? QStringLiteral("Default") : saved);
  LoadBrand(dir_->BrandFolder() + QStringLiteral("brand.ini"));
  setWindowTitle(MainWindowCaption());

  BuildTray();
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
  if (autoStartup_ && !started_ && !grid_ && !startupTimer_->isActive()) startupTimer_->start();
}

void MainWindow::CentreOnScreen() {
  // Centred by its laid-out size: before the layout has run the window is smaller than
  // it will be and would hang past the right edge of the screen.
  ensurePolished();
  if (layout()) layout()->activate();
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
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
  QAction* planner = tools->addAction(QStringLiteral("Weekly Planner"));
  planner->setObjectName(QStringLiteral("WeeklyPlanner1"));
  connect(planner, &QAction::triggered, this, &MainWindow::OpenWeeklyPlanner);

  QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
  QAction* prefs = settings->addAction(QStringLiteral("User Prefrenses"));
  prefs->setObjectName(QStringLiteral("UserPrefrenses1"));
  connect(prefs, &QAction::triggered, this, &MainWindow::ShowSettings);
  startWithWindows_ = settings->addAction(QStringLiteral("Start with windows"));
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

void MainWindow::BuildViewMenu(QMenu* menu) {
  // Every view with an icon in the header, in its order: Ctrl+1 .. Ctrl+0 for the first
  // ten, and a mnemonic each (the first letter of a word not taken yet).
  QString taken;
  int number = 0;
  for (const ViewEntry& entry : ViewTable()) {
    if (entry.outerPage < 0 || !entry.iconShown) continue;
    QString text = entry.caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const bool wordStart = i == 0 || text.at(i - 1) == u' ';
      const QChar c = text.at(i).toLower();
      if (wordStart && c.isLetter() && !taken.contains(c)) {
        taken += c;
        text.insert(i, u'&');
        break;
      }
    }
    text.replace(QStringLiteral(" & "), QStringLiteral(" && "));
    QAction* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("View_") + entry.name);
    if (number < 10) action->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_0 + (++number % 10))));
    connect(action, &QAction::triggered, this, [this, &entry] { OpenFeature(entry); });
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
    pic->setVisible(entry.iconShown);
    cap->setVisible(entry.iconShown);
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

QWidget* MainWindow::BuildCalendarPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("CalendarPage"));

  monthLabel_ = MakeLabel(page, QStringLiteral("ui_calendarmonth"), QString(), ArialFont(16, true),
                          QColor(192, 192, 192));
  monthLabel_->setAlignment(Qt::AlignCenter);
  monthLabel_->setGeometry(7, 52, 328, 24);

  panel1_ = new QWidget(page);
  panel1_->setObjectName(QStringLiteral("panel1"));
  panel1_->setGeometry(7, 81, 328, 272);

  LinkLabel* today = MakeLink(page, QStringLiteral("lblToday"), QStringLiteral("today"));
  today->setGeometry(7, 358, 60, 18);
  connect(today, &LinkLabel::clicked, this, &MainWindow::GoToday);
  LinkLabel* open = MakeLink(page, QStringLiteral("lblOpen"), QStringLiteral("Open"));
  open->setGeometry(290, 358, 45, 18);
  open->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  open->setToolTip(QStringLiteral("Weekly Planner"));
  connect(open, &LinkLabel::clicked, this, &MainWindow::OpenWeeklyPlanner);

  uiPg_ = new QStackedWidget(page);
  uiPg_->setObjectName(QStringLiteral("ui_pg"));
  uiPg_->setGeometry(345, 0, kClientWidth - 345, kClientHeight - kHeaderHeight - kFooterHeight);

  uiPg_->addWidget(BuildDayPanel());  // 0
  uiPg_->addWidget(new QWidget);      // 1
  {
    auto* todoPage = new QWidget;  // 2
    todoDay_ = MakeLabel(todoPage, QStringLiteral("ui_todo_day"), QString(), ArialFont(16, true));
    todoDay_->setGeometry(10, 8, 580, 24);
    auto* pnl = new QWidget(todoPage);
    pnl->setObjectName(QStringLiteral("pnlToDo"));
    pnl->setGeometry(0, 36, uiPg_->width(), uiPg_->height() - 36);
    panels_.insert(QStringLiteral("pnlToDo"), pnl);
    uiPg_->addWidget(todoPage);
  }
  uiPg_->addWidget(BuildJournalPage());  // 3
  {
    auto* healthCaption = new QWidget;  // 4
    dayCaption3_ = MakeLabel(healthCaption, QStringLiteral("ui_calendar_day3"), QString(),
                             ArialFont(16, true));
    dayCaption3_->setGeometry(10, 8, 580, 24);
    uiPg_->addWidget(healthCaption);
  }
  const char* inner[] = {"pnlWeight", "pnlExercise", "", "pnlEat", "pnlHeart"};  // 5..9
  for (const char* name : inner) {
    auto* pnl = new QWidget;
    if (*name) {
      pnl->setObjectName(QLatin1String(name));
      panels_.insert(QLatin1String(name), pnl);
    }
    uiPg_->addWidget(pnl);
  }
  return page;
}

QWidget* MainWindow::BuildDayPanel() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("DayPanel"));
  dayCaption_ = MakeLabel(page, QStringLiteral("ui_calendar_day"), QString(), ArialFont(16));
  dayCaption_->setGeometry(10, 8, 300, 22);

  adviseTile_ = new QWidget(page);
  adviseTile_->setObjectName(QStringLiteral("ui_advise_tile"));
  adviseTile_->setGeometry(10, 38, 25, 17);
  adviseTile_->setStyleSheet(QStringLiteral("background: white; border-radius: 5px;"));
  advise_ = MakeMemo(page, QStringLiteral("ui_advise"), ArialFont(12));
  advise_->setGeometry(42, 34, 268, 44);
  advise_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  birthday_ = MakeMemo(page, QStringLiteral("ui_baby_birthday"), ArialFont(12));
  birthday_->setGeometry(10, 82, 300, 74);
  birthday_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QPlainTextEdit* m : {advise_, birthday_}) {
    m->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    m->document()->setDocumentMargin(2);
  }

  chart_ = new ProbabilityChart(page);
  chart_->setGeometry(4, 160, 320, 286);

  MakeLabel(page, QStringLiteral("Label10"), QStringLiteral("Your Ovulation Cycle"), ArialFont(19, true),
            QColor(128, 128, 128))
      ->setGeometry(335, 8, 270, 26);
  LinkLabel* view = MakeLink(page, QStringLiteral("Label9"), QStringLiteral("View Report"));
  view->setGeometry(335, 40, 90, 18);
  connect(view, &LinkLabel::clicked, this, [this] {
    if (WriteCalendarReport()) OpenDocument(dir_->BuildFolder() + QStringLiteral("calendar.html"));
  });
  LinkLabel* print = MakeLink(page, QStringLiteral("ui_print_link"), QStringLiteral("Print Report"));
  print->setGeometry(440, 40, 100, 18);
  connect(print, &LinkLabel::clicked, this, [this] {
    if (WriteCalendarReport())
      PrintReport(dir_->BuildFolder() + QStringLiteral("calendar.html"), PrintWait::Complete);
  });

  QPlainTextEdit* help = MakeMemo(page, QStringLiteral("Memo2"), ArialFont(12));
  help->setGeometry(335, 66, 270, 380);
  QPalette hp = help->palette();
  hp.setColor(QPalette::Text, QColor(128, 128, 128));
  help->setPalette(hp);
  help->setPlainText(QStringLiteral(
      "Mavelo predicts your most fertile days, and the days that are more likely to give "
      "you a boy or a girl.\n\n"
      "The results depend on two settings at the bottom of the window:\n\n"
      "How many days in your cycle? \n"
      "The average cycle is 28 days. Count from the first day of bleeding of your last "
      "period up to and including the day before your next period starts.\n\n"
      "How long is your 'Luteal Phase' ?\n"
      "Typically 12 days: from your last ovulation day to the day before your next period "
      "starts. If you do not know it, keep the default."));
  return page;
}

QWidget* MainWindow::BuildJournalPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("JournalPage"));
  auto* lay = new QVBoxLayout(page);
  lay->setContentsMargins(10, 8, 10, 10);
  auto* top = new QHBoxLayout;
  dayCaption2_ = MakeLabel(page, QStringLiteral("ui_calendar_day2"), QString(), ArialFont(19, true));
  top->addWidget(dayCaption2_, 1);
  LinkLabel* save = MakeLink(page, QStringLiteral("Label11"), QStringLiteral("save"));
  connect(save, &LinkLabel::clicked, this, &MainWindow::SaveNoteLink);
  top->addWidget(save);
  lay->addLayout(top);
  note_ = new QPlainTextEdit(page);
  note_->setObjectName(QStringLiteral("ui_note"));
  note_->setFont(ArialFont(16));
  note_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,232); }"));
  lay->addWidget(note_, 1);
  // What is typed reaches its file a moment after the typing stops, so a crash keeps it.
  noteTimer_ = new QTimer(this);
  noteTimer_->setSingleShot(true);
  noteTimer_->setInterval(kNoteAutoSaveMs);
  connect(note_, &QPlainTextEdit::textChanged, this, [this] {
    if (note_->document()->isModified() && !note_->isReadOnly()) noteTimer_->start();
  });
  connect(noteTimer_, &QTimer::timeout, this, &MainWindow::AutoSaveNote);
  return page;
}

QWidget* MainWindow::BuildFooter() {
  auto* footer = new QWidget;
  footer->setObjectName(QStringLiteral("pnlFooter"));
  footer->setFixedHeight(kFooterHeight);
  footer->setAttribute(Qt::WA_StyledBackground, true);
  footer->setStyleSheet(QStringLiteral("QWidget#pnlFooter { background: rgb(244,250,255); }"));

  // Legend: four cycle colours and the two goal marks; FillLegend colours them.
  struct Tile {
    const char* name;
    int x;
  };
  const Tile tiles[] = {{"Legend_Fertile", 8},   {"Legend_Ovulation", 96},
                        {"Legend_Period", 184},  {"Legend_Neutral", 272},
                        {"Legend_Heart", 360},   {"Legend_Cross", 448}};
  for (const Tile& t : tiles) {
    auto* tile = new QLabel(footer);
    tile->setObjectName(QLatin1String(t.name));
    tile->setGeometry(t.x, 8, 18, 18);
    tile->setAlignment(Qt::AlignCenter);
    auto* cap = new QLabel(footer);
    cap->setObjectName(QLatin1String(t.name) + QStringLiteral("_Caption"));
    cap->setFont(ArialFont(11));
    cap->setGeometry(t.x + 22, 4, 64, 28);
    cap->setWordWrap(true);
  }

  const int x0 = 540;
  MakeLabel(footer, QStringLiteral("lblGoal"), QStringLiteral("My Goal:"), ArialFont(11, true))
      ->setGeometry(x0, 4, 120, 14);
  goal_ = new QComboBox(footer);
  goal_->setObjectName(QStringLiteral("ui_goal"));
  for (int g = 0; g < 4; ++g) goal_->addItem(GoalName(g));
  goal_->setGeometry(x0, 20, 128, 24);
  MakeLabel(footer, QStringLiteral("lblLastPeriod"), QStringLiteral("Last Period"), ArialFont(11, true))
      ->setGeometry(x0 + 136, 4, 110, 14);
  lastPeriod_ = new QDateEdit(footer);
  lastPeriod_->setObjectName(QStringLiteral("ui_LastPeriod"));
  lastPeriod_->setDisplayFormat(QStringLiteral("MMM dd, yyyy"));
  lastPeriod_->setCalendarPopup(true);
  lastPeriod_->setDateRange(LastPeriodMinimum(), LastPeriodMaximum());
  lastPeriod_->setDate(Clock::Today());
  lastPeriod_->setGeometry(x0 + 136, 20, 110, 24);
  MakeLabel(footer, QStringLiteral("lblCycle"), QStringLiteral("Cycle Length"), ArialFont(11, true))
      ->setGeometry(x0 + 254, 4, 80, 14);
  cycle_ = new QSpinBox(footer);
  cycle_->setObjectName(QStringLiteral("ui_cycle"));
  cycle_->setRange(20, 40);
  cycle_->setValue(28);
  cycle_->setGeometry(x0 + 254, 20, 70, 24);
  MakeLabel(footer, QStringLiteral("lblLuteal"), QStringLiteral("Luteal Phase"), ArialFont(11, true))
      ->setGeometry(x0 + 334, 4, 80, 14);
  luteal_ = new QSpinBox(footer);
  luteal_->setObjectName(QStringLiteral("ui_luteal"));
  luteal_->setRange(10, 18);
  luteal_->setValue(12);
  luteal_->setGeometry(x0 + 334, 20, 70, 24);
  // Typed numbers count once they are whole, not at every digit: "3" on the way to "35"
  // would redraw everything for a cycle of 3 days.
  for (QSpinBox* s : {cycle_, luteal_}) s->setKeyboardTracking(false);

  connect(goal_, &QComboBox::currentIndexChanged, this, &MainWindow::OnGoalChanged);
  connect(lastPeriod_, &QDateEdit::dateChanged, this, &MainWindow::OnLastPeriodChanged);
  connect(cycle_, &QSpinBox::valueChanged, this, &MainWindow::OnCycleSpin);
  connect(luteal_, &QSpinBox::valueChanged, this, &MainWindow::OnCycleSpin);
  return footer;
}

void MainWindow::FillLegend() {
  struct Entry {
    const char* name;
    CycleClassKind kind;
    const char* caption;
  };
  const Entry entries[] = {{"Legend_Fertile", CycleClassKind::Fertile, "Fertile Day"},
                           {"Legend_Ovulation", CycleClassKind::Ovulation, "Ovulation"},
                           {"Legend_Period", CycleClassKind::PeriodDay1, "Menstrual Flow"},
                           {"Legend_Neutral", CycleClassKind::Neutral, "Neutral Day"}};
  for (const Entry& e : entries) {
    auto* tile = footer_->findChild<QLabel*>(QLatin1String(e.name));
    tile->setStyleSheet(QStringLiteral("background: %1; border: 1px solid rgb(200,200,200);")
                            .arg(ClassColour(e.kind).name()));
    footer_->findChild<QLabel*>(QLatin1String(e.name) + QStringLiteral("_Caption"))
        ->setText(QLatin1String(e.caption));
  }
  auto* heart = footer_->findChild<QLabel*>(QStringLiteral("Legend_Heart"));
  heart->setPixmap(QPixmap::fromImage(GridPictureImage(GridPicture::Heart)));
  footer_->findChild<QLabel*>(QStringLiteral("Legend_Heart_Caption"))
      ->setText(QStringLiteral("Have intercourse"));
  auto* cross = footer_->findChild<QLabel*>(QStringLiteral("Legend_Cross"));
  cross->setText(QStringLiteral("x"));
  cross->setFont(ArialFont(15, true));
  cross->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
  footer_->findChild<QLabel*>(QStringLiteral("Legend_Cross_Caption"))
      ->setText(QStringLiteral("No intercourse"));
}

void MainWindow::BuildTray() {
  tray_ = new QSystemTrayIcon(AppIcon(), this);
  tray_->setObjectName(QStringLiteral("CoolTrayIcon1"));
  tray_->setToolTip(QStringLiteral("Mavelo"));
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("TrayMenu"));
  QAction* caption = menu->addAction(QStringLiteral("Calendar"));
  caption->setEnabled(false);
  QAction* stop = menu->addAction(QStringLiteral("Stop Alarm"));
  connect(stop, &QAction::triggered, this, [this] {
    // The sleep view first, then the kids view; views without alarms ignore it.
    for (const char* name : {"sleep", "kids"})
      if (DateView* v = views_.value(QLatin1String(name))) v->StopAlarm();
  });
  menu->addSeparator();
  QAction* open = menu->addAction(QStringLiteral("Open"));
  QFont bold = open->font();
  bold.setBold(true);
  open->setFont(bold);
  menu->setDefaultAction(open);
  connect(open, &QAction::triggered, this, [this] {
    showNormal();
    raise();
    activateWindow();
  });
  QAction* exitAction = menu->addAction(QStringLiteral("Exit"));
  connect(exitAction, &QAction::triggered, this, &MainWindow::close);
  tray_->setContextMenu(menu);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger) {
      showNormal();
      raise();
      activateWindow();
    }
  });
  tray_->show();
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
  if (grid_) grid_->update();
}

void MainWindow::OnPickerChanged(const QDate& date) {
  // A date chosen in the picker becomes the selected date; setting it from code does not
  // dispatch.
  if (settingPicker_ || !started_) return;
  DispatchDate(date);
}

void MainWindow::GoToday() {
  SetSelectedDate(Clock::Today());
  DispatchDate(SelectedDate());
}

// ---------------------------------------------------------------------------------
// Start-up

void MainWindow::Startup() {
  startupTimer_->stop();
  if (started_ || grid_) return;

  grid_ = new MonthCalendar(
      this,
      [this]() -> DateView* {
        if (viewName_ == QLatin1String("note")) return journalMarks_.get();
        return views_.value(viewName_);
      },
      panel1_);
  grid_->setObjectName(QStringLiteral("Calendar"));
  grid_->setGeometry(0, 0, panel1_->width(), panel1_->height());
  grid_->hide();

  config_ = std::make_unique<Config>(dir_->ConfigFolder() + QStringLiteral("application.ini"));
  if (!config_->lastError().isEmpty()) ShowError(config_->lastError(), this);
  LoadFooterFromConfig();
  LoadBrand(dir_->BrandFolder() + QStringLiteral("brand.ini"));
  setWindowTitle(MainWindowCaption());
  QCoreApplication::processEvents();

  try {
    ShowView(QStringLiteral("calendar"));
    LayoutIcons();
    for (QLabel* l : {dayCaption_, dayCaption2_, dayCaption3_, todoDay_}) l->clear();
    FillLegend();
    monthLabel_->setText(FormatDate(QStringLiteral("mmmm"), SelectedDate()));
    grid_->show();

    const QDate d0 = grid_->Date();
    for (const ViewEntry& entry : ViewTable()) {
      if (!entry.make) continue;
      QWidget* view = entry.make(this);
      DateView* dateView = DockView(entry.name, view, panels_.value(entry.panel));
      dateView->StartView(d0);
      if (entry.firstShowDate) dateView->ShowDate(d0);
    }
    connect(grid_, &MonthCalendar::dateChanged, this, &MainWindow::SelectDay);
    connect(grid_, &MonthCalendar::doubleClicked, this, &MainWindow::OpenWeeklyPlanner);
    started_ = true;
    startWithWindows_->setChecked(config_->AutoStart);
    // The program's database, after the first-run copy of the shipped DB folder, and the
    // health tables over it; errors reach the user from there.
    if (auto* health = dynamic_cast<HealthView*>(views_.value(QStringLiteral("health"))))
      health->OpenHealthTables();
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

DateView* MainWindow::DockView(const QString& name, QWidget* view, QWidget* panel) {
  auto* lay = new QVBoxLayout(panel);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->addWidget(view);
  auto* dateView = dynamic_cast<DateView*>(view);
  Q_ASSERT(dateView);
  views_.insert(name, dateView);
  return dateView;
}

void MainWindow::LoadFooterFromConfig() {
  loadingFooter_ = true;
  const CycleSettings c = config_->Cycle;
  goal_->setCurrentIndex(c.Goal >= 0 && c.Goal <= 3 ? c.Goal : -1);
  lastPeriod_->setDate(c.LastPeriod);
  cycle_->setValue(c.CycleLength);
  luteal_->setValue(c.LutealLength);
  loadingFooter_ = false;
  // The controls clamp what they show; the settings follow what is shown.
  config_->Cycle.Goal = goal_->currentIndex();
  config_->Cycle.LastPeriod = lastPeriod_->date();
  config_->Cycle.CycleLength = cycle_->value();
  config_->Cycle.LutealLength = luteal_->value();
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
  if (grid_) grid_->update();
}

void MainWindow::DispatchDate(const QDate& date) {
  if (!started_) return;
  if (viewName_ == QLatin1String("calendar")) {
    monthLabel_->setText(FormatDate(QStringLiteral("mmmm"), date));
    grid_->MoveToDate(date);
    RefreshChart();
  } else if (DateView* v = views_.value(viewName_)) {
    v->SaveBeforeDateChange();
    v->ShowDate(date);
  }
  // The to-do lists and the journal note belong to the grid's day, so the grid follows
  // the date bar there; its change of day saves and loads the note.
  if (viewName_ == QLatin1String("todo") || viewName_ == QLatin1String("note"))
    grid_->MoveToDate(date);
  ShowTitle();
  for (const char* name : {"basal", "sleep", "kids"})
    if (DateView* v = views_.value(QLatin1String(name))) v->RefreshCharts();
}

void MainWindow::FillAdvice() {
  if (!panelDate_.isValid()) return;
  const QDate d = panelDate_;
  const CycleSettings& c = Cycle();
  adviseTile_->setStyleSheet(
      QStringLiteral("background: %1; border-radius: 5px;").arg(CycleColour(c, d).name()));
  const QString advice = AdviceText(c, d);
  if (!advice.isNull()) {
    advise_->setPlainText(advice);
    const QDate due = DueDate(d);
    birthday_->setPlainText(
        QStringLiteral("If you conceive on this day, your baby will be born approximately ") +
        FormatDate(QStringLiteral("dddddd"), due) + QStringLiteral("\n\nYour baby's Zodiac sign will be '") +
        ZodiacSign(due) + QLatin1Char('\''));
  }
}

void MainWindow::ShowTitle() {
  const ViewEntry* row = FindView(viewName_);
  if (!row) return;
  if (!row->title.isNull())
    title_->setText(row->title);
  else if (grid_)
    title_->setText(FormatDate(QStringLiteral("mmm d, yyyy"), grid_->Date()) + QLatin1Char(' '));
}

void MainWindow::RefreshChart() { chart_->Refresh(Cycle(), SelectedDate()); }

void MainWindow::SelectDay() {
  if (!started_) return;
  const QDate d = grid_->Date();
  SetSelectedDate(d);
  const QString longDate = FormatDate(QStringLiteral("dddddd"), d);
  const QString noteCaption = dayCaption2_->text();
  dayCaption_->setText(longDate);
  dayCaption2_->setText(longDate);
  todoDay_->setText(longDate);
  dayCaption3_->clear();

  panelDate_ = d;
  FillAdvice();
  RefreshChart();

  // Journal: keep the note of the day left, then load the note of the new day. A note
  // that cannot be written stays in the memo under its own day, so nothing typed is
  // lost; one that cannot be read is shown empty and read-only, and one too large to
  // edit is shown read-only. The error is shown, and the date still reaches every view.
  if (SaveCurrentNote()) {
    notePath_ = NoteFilePath(dir_->NotesFolder(), d);
    MemoNote loaded;
    QString error;
    const bool read = LoadMemoNote(notePath_, &loaded, &error);
    note_->setReadOnly(!read || loaded.readOnly);
    note_->setPlainText(loaded.text);
    note_->document()->setModified(false);
    if (!read) ShowError(error, this);
    else if (loaded.readOnly) ShowError(ReadOnlyNotice(notePath_), this);
  } else {
    dayCaption2_->setText(noteCaption);
  }

  DispatchDate(d);
}

bool MainWindow::SaveCurrentNote() {
  // An untouched memo needs no write; an emptied one removes the note file.
  if (notePath_.isEmpty() || !note_->document()->isModified()) return true;
  return StoreMemo();
}

bool MainWindow::StoreMemo() {
  QString error;
  if (!StoreNote(notePath_, note_->toPlainText(), &error)) {
    ShowError(error, this);
    return false;
  }
  note_->document()->setModified(false);
  return true;
}

void MainWindow::AutoSaveNote() {
  if (notePath_.isEmpty() || !note_->document()->isModified() || note_->isReadOnly()) return;
  // Quiet: a failure is told at the next day change, "save" or exit, which try again.
  if (!StoreNote(notePath_, note_->toPlainText(), nullptr)) return;
  note_->document()->setModified(false);
  if (grid_) grid_->update();
}

void MainWindow::SaveNoteLink() {
  if (notePath_.isEmpty() || note_->toPlainText().isEmpty() || !StoreMemo()) return;
  ShowMessage(QStringLiteral("Note saved"), this);
  if (grid_) grid_->update();
}

// ---------------------------------------------------------------------------------
// Footer

void MainWindow::OnGoalChanged() {
  if (loadingFooter_ || !config_) return;
  config_->Cycle.Goal = goal_->currentIndex();
  SaveFooterSettings(*config_, this);
  // The day panel answers for the settings on screen, not the ones it was filled with.
  FillAdvice();
  if (grid_) grid_->update();
  if (DateView* v = views_.value(QStringLiteral("basal"))) v->RefreshCharts();
}

void MainWindow::OnLastPeriodChanged() {
  if (loadingFooter_ || !config_) return;
  config_->Cycle.LastPeriod = lastPeriod_->date();
  SaveFooterSettings(*config_, this);
  if (!started_) return;
  FillAdvice();
  RefreshChart();
  grid_->update();
  if (DateView* v = views_.value(QStringLiteral("basal"))) v->RefreshCharts();
}

void MainWindow::OnCycleSpin() {
  if (loadingFooter_ || !config_) return;
  config_->Cycle.CycleLength = cycle_->value();
  config_->Cycle.LutealLength = luteal_->value();
  SaveFooterSettings(*config_, this);
  FillAdvice();
  DispatchDate(SelectedDate());
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

void MainWindow::ShowAbout() {
  AboutBox about(dir_->BrandFolder() + QStringLiteral("about.jpg"), this);
  about.exec();
}

void MainWindow::OpenWeeklyPlanner() {
  for (auto& i : icons_)
    if (i.name == QLatin1String("Calendar_Icon")) i.picture->setEnabled(false);
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const QString program = dir_->ProgramFolder() + QStringLiteral("Calendar/Calendar");
  const QStringList args{QString::number(DateNumber(SelectedDate()))};
  bool ok = QFileInfo(program).isExecutable() && QProcess::startDetached(program, args);
  QGuiApplication::restoreOverrideCursor();
  if (!ok)
    ShowError(QStringLiteral("The weekly planner could not be started: \"%1\" is missing.")
                  .arg(program),
              this);
  plannerTimer_->start();
}

bool MainWindow::WriteCalendarReport() {
  return WriteCalendarReportFromScreen(*grid_, *chart_, Cycle(), SelectedDate(),
                                       dir_->BuildFolder(), this);
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
  SaveCurrentNote();
  // The views write on their own events; a last save of the view on screen keeps what
  // was typed into a field that still has the focus, and every view writes what it
  // still holds unwritten.
  if (DateView* v = views_.value(viewName_)) v->SaveBeforeDateChange();
  for (DateView* v : std::as_const(views_)) v->SaveOnLeave();
  if (!config_->SaveSettings()) ShowError(config_->lastError(), this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  ExitSequence();
  event->accept();
  if (tray_) tray_->hide();
  QCoreApplication::quit();
}
