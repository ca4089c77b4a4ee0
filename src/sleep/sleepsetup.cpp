#include "sleep/sleepsetup.h"

#include "app/datafolders.h"

namespace {
const QString kWav = QStringLiteral(".wav");
const QString kSilence = QStringLiteral("Silence");
}  // namespace

SleepSetup SleepSetup::Sleep() {
  SleepSetup s;
  s.kind = SleepViewKind::Sleep;
  s.objectName = QStringLiteral("frmSleep");
  s.title = QStringLiteral("Sleep");
  s.shelf = {QStringLiteral("Go to Bed"), QStringLiteral("Wake up Alarm"),
             QStringLiteral("Track Sleep"), QStringLiteral("Graphs"), QStringLiteral("Note")};
  s.pages = {QStringLiteral("Go to Bed"), QStringLiteral("Track Sleep"), QStringLiteral("Data"),
             QStringLiteral("Dreams"),    QStringLiteral("Note"),        QStringLiteral("Graphs"),
             QStringLiteral("Wake up Alarm")};
  s.graphPage = QStringLiteral("Graphs");
  s.trackCaption = QStringLiteral("Today you slept");
  s.noteHeading = QStringLiteral("How did you sleep?");
  s.secondHeading = QStringLiteral("Wake up Alarm");
  s.secondSoundCaption = QStringLiteral("Wake up to the sound of");
  s.secondSoundName = QStringLiteral("wakeup_Sound");
  s.secondSoundItems = {kSilence, QStringLiteral("Buzz"), QStringLiteral("Klaxon"),
                        QStringLiteral("PulsingBuzz")};
  s.bedStopName = QStringLiteral("btnStop1");
  s.toggleDatePattern = QStringLiteral("mmm d");
  s.secondListColumn = QStringLiteral("Get up");
  s.bedNoticeTitle = QStringLiteral("Time for Bed");
  s.secondNoticeTitle = QStringLiteral("Wake up Alarm");
  return s;
}

SleepSetup SleepSetup::Kids() {
  SleepSetup s;
  s.kind = SleepViewKind::Kids;
  s.objectName = QStringLiteral("frmKids");
  s.title = QStringLiteral("Baby Menu");
  s.shelf = {QStringLiteral("Baby Sleep Tracker"), QStringLiteral("Sleep Graph"),
             QStringLiteral("Feeding Alarm"), QStringLiteral("Baby Journal"), QString(),
             QString()};
  s.pages = {QStringLiteral("Go to Bed"),    QStringLiteral("Baby Sleep Tracker"),
             QStringLiteral("Data"),         QStringLiteral("Dreams"),
             QStringLiteral("Baby Journal"), QStringLiteral("Sleep Graph"),
             QStringLiteral("Feeding Alarm")};
  s.graphPage = QStringLiteral("Sleep Graph");
  s.trackCaption = QStringLiteral("Today baby slept");
  s.noteHeading = QStringLiteral("Baby Journal");
  s.secondHeading = QStringLiteral("Feeding Times");
  s.secondSoundCaption = QStringLiteral("When it's time to feed, play this sound");
  s.secondSoundName = QStringLiteral("feed_Sound");
  s.secondSoundItems = {kSilence,
                        QStringLiteral("DrinkGulp"),
                        QStringLiteral("BabyCrying"),
                        QStringLiteral("Kisses"),
                        QStringLiteral("Chirps"),
                        QStringLiteral("Buzz"),
                        QStringLiteral("Klaxon")};
  s.bedStopName = QStringLiteral("Button2");
  s.toggleDatePattern = QStringLiteral("dddddd");
  s.secondListColumn = QStringLiteral("Feeding Time");
  s.bedNoticeTitle = QStringLiteral("Baby's Bed Time");
  s.secondNoticeTitle = QStringLiteral("Feeding Alarm");
  return s;
}

QString SleepSetup::Folder(const DataFolders& dir) const {
  return kind == SleepViewKind::Kids ? dir.BabyFolder() : dir.SleepFolder();
}

QString SleepSetup::SecondSoundFile(int index, const QString& text) const {
  if (kind == SleepViewKind::Kids) return text.isEmpty() ? QString() : text + kWav;
  static const char* const kByPosition[] = {"", "Buzz.wav", "Klaxon.wav", "PulsingBuzz.wav"};
  if (index < 0 || index > 3) return {};
  return QString::fromLatin1(kByPosition[index]);
}

QStringList BedSoundItems() {
  return {kSilence,
          QStringLiteral("Wind"),
          QStringLiteral("Rain"),
          QStringLiteral("Thunder"),
          QStringLiteral("Music"),
          QStringLiteral("CalmSeaWaves"),
          QStringLiteral("HarbourAmbient"),
          QStringLiteral("RiverFlowRapids")};
}

QString BedSoundFile(const QString& text) {
  if (text.isEmpty() || text == kSilence) return {};
  return text + kWav;
}

int SelectComboItem(const QStringList& items, const QString& text) {
  if (items.isEmpty()) return -1;
  for (int i = 0; i < items.size(); ++i)
    if (items.at(i).compare(text, Qt::CaseInsensitive) == 0) return i;
  return 0;
}
