#pragma once
// The sleep view and the baby and kids view are one design: the same grid, year files,
// weekday chart, day note, alarm lists and clock. This is what tells them apart: the
// folder, the captions and pages, the second alarm list's sound, and the few points where
// they behave differently.

#include <QString>
#include <QStringList>

class DataFolders;

enum class SleepViewKind { Sleep, Kids };

struct SleepSetup {
  SleepViewKind kind = SleepViewKind::Sleep;
  QString objectName;     // "frmSleep" / "frmKids"
  QString title;          // "Sleep" / "Baby Menu"
  QStringList shelf;      // the shelf items, in order
  QStringList pages;      // the page captions, in page-index order
  QString graphPage;      // the page that draws the weekday chart when shown
  QString trackCaption;   // before the hours of the selected day
  QString noteHeading;    // above the note
  QString secondHeading;  // above the second alarm list
  QString secondSoundCaption;
  QString secondSoundName;  // object name of the second sound's combo box
  QStringList secondSoundItems;
  QString bedStopName;      // object name of the "Stop" button on "Go to Bed"
  // The date under the note after a slot click: "mmm d" / the long date.
  QString toggleDatePattern;
  QString secondListColumn;  // the heading of the second alarm list
  // What a ringing alarm's desktop notice is called, for each list.
  QString bedNoticeTitle;
  QString secondNoticeTitle;

  static SleepSetup Sleep();
  static SleepSetup Kids();

  // The Sleep folder / the Baby folder.
  QString Folder(const DataFolders& dir) const;
  // The wave file (a name in the Sound folder) of the second list's chosen item; empty
  // for none. The wake-up sound goes by position ("Silence" plays nothing); the feeding
  // sound is the item's text + ".wav" for every item.
  QString SecondSoundFile(int index, const QString& text) const;
};

// Page captions that both views share.
inline constexpr const char* kGoToBedPage = "Go to Bed";
inline constexpr const char* kSecondListPageSleep = "Wake up Alarm";
inline constexpr const char* kSecondListPageKids = "Feeding Alarm";

// The bed-time sounds.
QStringList BedSoundItems();
// The chosen text + ".wav"; empty for "Silence".
QString BedSoundFile(const QString& text);

// The item of a combo box that a stored text names: the item equal to it ignoring case,
// else the first item; -1 when there are no items.
int SelectComboItem(const QStringList& items, const QString& text);
