#pragma once
// The data folder tree and the shell helpers that several views share.
// Every path ends in "/". Data lives under $XDG_DATA_HOME (default ~/.local/share)
// + "/Tarnwick/Mavelo/"; the shipped folders (Brand, Help, Config, Sound, DB) sit
// beside the executable.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class DataFolders {
 public:
  // Builds the paths and creates the missing folders (one level each) in the order:
  // program, maker, data root, Log, DB, Config, Build, Help, FTP, Notes, ToDo, Basal,
  // Weight, Exercise, Health, Food, Sleep, Baby, Heart, Cycle. The per-user data base
  // folder ($XDG_DATA_HOME) is created first when missing. A folder that cannot be
  // created stays missing; ok() then is false when it is one of the data folders (the
  // program and Help folders may sit in a read-only install, and nothing depends on
  // them). With create false only the paths are built (commands that only read).
  explicit DataFolders(const QString& programFolder, bool create = true);

  bool ok() const { return ok_; }
  // True when this start made the data DB folder: a new data folder that has never held
  // a database, whose first start copies the shipped one (FirstRunDatabaseCopy).
  bool NewDataFolder() const { return newDataFolder_; }

  const QString& ProgramFolder() const { return program_; }
  const QString& MakerFolder() const { return maker_; }
  const QString& DataRoot() const { return root_; }
  QString ProgramDBFolder() const { return program_ + "DB/"; }
  QString DBFolder() const { return root_ + "DB/"; }
  QString HelpFolder() const { return program_ + "Help/"; }
  QString FTPFolder() const { return root_ + "FTP/"; }
  QString BuildFolder() const { return root_ + "Build/"; }
  QString ConfigFolder() const { return root_ + "Config/"; }
  QString BrandFolder() const { return program_ + "Brand/"; }
  QString SoundFolder() const { return program_ + "Sound/"; }
  QString ProgramConfigFolder() const { return program_ + "Config/"; }
  QString LogFolder() const { return root_ + "Log/"; }
  QString NotesFolder() const { return root_ + "Notes/"; }
  QString ToDoFolder() const { return root_ + "ToDo/"; }
  QString BasalFolder() const { return root_ + "Basal/"; }
  QString SleepFolder() const { return root_ + "Sleep/"; }
  QString WeightFolder() const { return root_ + "Weight/"; }
  QString ExerciseFolder() const { return root_ + "Exercise/"; }
  QString HealthFolder() const { return root_ + "Health/"; }
  QString HeartFolder() const { return root_ + "Heart/"; }
  QString FoodFolder() const { return root_ + "Food/"; }
  QString BabyFolder() const { return root_ + "Baby/"; }
  // The period history (cycle/periodhistory.h).
  QString CycleFolder() const { return root_ + "Cycle/"; }
  // The automatic backups (never part of a backup themselves).
  QString BackupsFolder() const { return root_ + "Backups/"; }
  // Every folder of records under the data root, in the order above: Log, DB, Config,
  // Build, FTP, Notes, ToDo, Basal, Weight, Exercise, Health, Food, Sleep, Baby, Heart,
  // Cycle.
  QStringList RecordFolders() const;

  // The per-user data folder base: $XDG_DATA_HOME or ~/.local/share, with "/".
  static QString UserDataFolder();
  // The folder of the running executable, with "/".
  static QString ExecutableFolder();
  // The program folder, where the shipped folders (Brand, Help, Sound, DB, Config) are:
  // beside the executable when they are there (the build tree), otherwise
  // ../share/mavelo/ from it (an installed program). With "/".
  static QString ProgramFolderFor(const QString& executableFolder);

 private:
  bool ok_ = true;
  bool newDataFolder_ = false;
  QString program_, maker_, root_;
};

// Shows a local file or web address with the desktop's default handler (xdg-open).
// Never raises. Text with a scheme ("https://...", "mailto:...", "file:...") is taken as an
// address; anything else is a local path (made absolute). When it cannot be opened (no
// xdg-open, no browser or handler), the failure handler is told, possibly later, once
// xdg-open has answered.
void OpenDocument(const QString& pathOrUrl);
// Opens a folder in the desktop's file manager, with the same failure report.
void OpenFolder(const QString& path);

// Receives the user's message when a document, address or folder could not be opened:
// what it was (for a page, the path of the HTML file) and why. The main window shows it
// in an error box.
using OpenFailureHandler = std::function<void(const QString& message)>;
void SetOpenFailureHandler(OpenFailureHandler handler);

// Tests: every OpenDocument / OpenFolder call hands its URL to this handler instead of
// launching the desktop's handler (xdg-open). Pass {} to restore the desktop.
//   QList<QUrl> opened;
//   SetOpenUrlHandler([&](const QUrl& u) { opened << u; });
using OpenUrlHandler = std::function<void(const QUrl&)>;
void SetOpenUrlHandler(OpenUrlHandler handler);
// The URL OpenDocument would open for this text.
QUrl DocumentUrl(const QString& pathOrUrl);

// Copies the file or folder `source` into the folder `target` (so target/<name>),
// recursively, merging with folders already there. With confirm "Y", askReplace(path)
// is asked before an existing file is replaced (false keeps it and makes the result
// false; with no askReplace nothing is replaced); otherwise files are replaced
// silently. Each file is written to a temporary name and renamed, so a failed copy
// never leaves a half file under the real name. Paths longer than 4096 characters
// fail, as does copying a folder into itself. True when everything was copied.
bool CopyFolder(const QString& source, const QString& target, const QString& confirm,
                const std::function<bool(const QString&)>& askReplace = {});

// Removes what killed saves left behind, in the program's own data folders only (the
// data root and the folders under it, one level each): a regular file named as a save's
// temporary file of a file that exists beside it, that is the file's name, a dot and six
// letters ("2009.txt.qWmxRt"). Six lower-case letters are left alone: such a name is as
// likely a copy someone made by hand ("2009.txt.backup"). Returns how many were removed.
// Run it once an instance has been admitted, before anything is saved.
int RemoveStaleSaveFiles(const DataFolders& dir);

// Copies the shipped DB folder into the data root on the very first start of a new data
// folder (NewDataFolder) when its DB folder has no Food.db yet. Never later: a Food.db that
// went missing held her own foods and health records, and a fresh copy in its place would
// hide that. Synchronous: the copy is complete when it returns. True when Food.db is there
// afterwards.
bool FirstRunDatabaseCopy(const DataFolders& dir);
