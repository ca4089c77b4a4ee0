#pragma once
// The lasting health records kept as small files in the Health folder:
//   info.ini      section "Settings", key "BloodType": the blood type's list position
//   Alergies.txt  the allergies and medical conditions, as text lines
//   contacts.txt  the important contacts, one "name=value" line per row that holds
//                 something (the view's empty rows are not written)
// and the column arithmetic that fits the health grids to their width.
//
// A file that exists but cannot be read is never written over: its records would be
// lost. Files are written only when what they hold changed, so opening the view and
// leaving it rewrites nothing.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/inifile.h"
#include "core/textfile.h"

inline constexpr int kContactRows = 18;

// The blood types by position, as the list shows them (trailing spaces included):
// 0 "Unknown", 1 "O+", 2 "A+", ... 7 "B-", 8 "AB-".
const QStringList& BloodTypeNames();

struct Contact {
  QString name;   // the doctor's name
  QString value;  // phone and address
  bool operator==(const Contact&) const = default;
};
// "Dr. Lee=555-0100 Main St."
QString ContactLine(const Contact& contact);
// The name is the text before the first "=", the value the rest; a line without "=" is
// all name.
Contact ParseContactLine(const QString& line);

class HealthRecords {
 public:
  explicit HealthRecords(const QString& healthFolder);

  QString InfoPath() const { return folder_ + QStringLiteral("info.ini"); }
  QString AllergiesPath() const { return folder_ + QStringLiteral("Alergies.txt"); }
  QString ContactsPath() const { return folder_ + QStringLiteral("contacts.txt"); }

  // Reads the three files; a missing file gives blood type 0, an empty memo or 18 empty
  // contacts. False with the messages (one per line) of files that exist but could not
  // be read; the notices of files opened read-only (far too large, damaged, a line too
  // long to edit) come in *error too, with true.
  bool Load(QString* error = nullptr);

  int BloodType() const { return bloodType_; }
  void SetBloodType(int position);
  const QString& Allergies() const { return allergies_; }
  // The allergies file could not be read or is read-only: the memo takes no typing.
  bool AllergiesReadOnly() const { return !MayWriteFile(AllergiesPath()); }
  void SetAllergies(const QString& text) { allergies_ = text; }
  // At least 18 rows.
  const QList<Contact>& Contacts() const { return contacts_; }
  void SetContacts(const QList<Contact>& contacts);

  // Writes contacts.txt, Alergies.txt and info.ini, each only when it changed since it
  // was read or last written. A file that could not be read is not written: its change
  // fails with "Cannot create file ...". False with the messages (one per line).
  bool Save(QString* error = nullptr);

 private:
  QString folder_;
  IniFile info_;
  int bloodType_ = 0, savedBloodType_ = 0;
  QString allergies_, savedAllergies_;
  QList<Contact> contacts_, savedContacts_;
};

// The columns' widths after fitting a grid to its client width. marks holds one
// comma-separated item per leading column: "*" gives that column a share of the spare
// width, an empty item leaves it alone. Used width U = the sum of the widths of the
// columns with an item, plus the number of columns when the grid draws column lines,
// plus 11 with an indicator column; spare S = clientWidth - U - 16; each of the k starred
// columns grows by S / k (whole-number division). A column never shrinks below 20 pixels.
QVector<int> FittedColumnWidths(const QVector<int>& widths, const QString& marks, int clientWidth,
                                bool columnLines, bool indicator);
