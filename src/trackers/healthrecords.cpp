#include "trackers/healthrecords.h"

#include <QFileInfo>
#include <algorithm>

#include "core/textfile.h"

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kBloodTypeKey = QStringLiteral("BloodType");
constexpr int kMinColumnWidth = 20;

bool Exists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

QList<Contact> Padded(QList<Contact> contacts) {
  while (contacts.size() < kContactRows) contacts.append(Contact{});
  return contacts;
}
}  // namespace

const QStringList& BloodTypeNames() {
  static const QStringList names{QStringLiteral("Unknown"), QStringLiteral("O+"),
                                 QStringLiteral("A+   "),  QStringLiteral("B+   "),
                                 QStringLiteral("AB+   "), QStringLiteral("O-   "),
                                 QStringLiteral("A-   "),  QStringLiteral("B-   "),
                                 QStringLiteral("AB- ")};
  return names;
}

QString ContactLine(const Contact& contact) { return contact.name + u'=' + contact.value; }

Contact ParseContactLine(const QString& line) {
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) return {line, QString()};
  return {line.left(eq), line.mid(eq + 1)};
}

HealthRecords::HealthRecords(const QString& healthFolder)
    : folder_(healthFolder), contacts_(Padded({})), savedContacts_(contacts_) {}

void HealthRecords::SetBloodType(int position) {
  bloodType_ = position >= 0 && position < BloodTypeNames().size() ? position : 0;
}

void HealthRecords::SetContacts(const QList<Contact>& contacts) { contacts_ = Padded(contacts); }

bool HealthRecords::Load(QString* error) {
  QStringList errors, notices;

  info_ = IniFile(InfoPath());
  if (!info_.errorString().isEmpty()) {
    const QString e = info_.errorString();
    errors << (e.startsWith(QStringLiteral("Cannot ")) ? e : CannotOpenMessage(InfoPath(), e));
  }
  SetBloodType(info_.ReadInteger(kSection, kBloodTypeKey, 0));
  savedBloodType_ = bloodType_;

  MemoText memo;
  QString e;
  if (!ReadMemoText(AllergiesPath(), &memo, &e)) errors << e;
  else if (memo.readOnly) notices << ReadOnlyNotice(AllergiesPath());
  allergies_ = memo.text;
  savedAllergies_ = allergies_;

  QList<Contact> contacts;
  if (Exists(ContactsPath())) {
    QStringList lines;
    if (ReadTextLines(ContactsPath(), &lines, &e)) {
      for (const QString& line : lines) contacts.append(ParseContactLine(line));
      if (const QString notice = ReadOnlyNotice(ContactsPath()); !notice.isEmpty()) notices << notice;
    } else {
      errors << e;
    }
  }
  contacts_ = Padded(contacts);
  savedContacts_ = contacts_;

  if (error) *error = (errors + notices).join(u'\n');
  return errors.isEmpty();
}

bool HealthRecords::Save(QString* error) {
  QStringList errors;
  if (contacts_ != savedContacts_) {
    if (!MayWriteFile(ContactsPath())) {
      errors << NotReplacedMessage(ContactsPath());
    } else {
      // Only the rows that hold something: the grid's empty rows are no contacts.
      QStringList lines;
      for (const Contact& c : contacts_)
        if (!c.name.trimmed().isEmpty() || !c.value.trimmed().isEmpty()) lines << ContactLine(c);
      QString e;
      if (WriteTextLines(ContactsPath(), lines, &e))
        savedContacts_ = contacts_;
      else
        errors << e;
    }
  }
  if (allergies_ != savedAllergies_) {
    if (!MayWriteFile(AllergiesPath())) {
      errors << NotReplacedMessage(AllergiesPath());
    } else {
      const QStringList lines = allergies_.isEmpty() ? QStringList() : allergies_.split(u'\n');
      QString e;
      if (WriteTextLines(AllergiesPath(), lines, &e))
        savedAllergies_ = allergies_;
      else
        errors << e;
    }
  }
  if (bloodType_ != savedBloodType_) {
    if (!MayWriteFile(InfoPath())) {
      errors << NotReplacedMessage(InfoPath());
    } else {
      info_.WriteInteger(kSection, kBloodTypeKey, bloodType_);
      if (info_.UpdateFile()) {
        savedBloodType_ = bloodType_;
      } else {
        const QString e = info_.errorString();
        errors << (e.startsWith(QStringLiteral("Cannot ")) ? e : CannotCreateMessage(InfoPath(), e));
      }
    }
  }
  if (error) *error = errors.join(u'\n');
  return errors.isEmpty();
}

QVector<int> FittedColumnWidths(const QVector<int>& widths, const QString& marks, int clientWidth,
                                bool columnLines, bool indicator) {
  QVector<int> out = widths;
  const QStringList items = marks.split(u',');
  int used = 0;
  int starred = 0;
  for (int i = 0; i < items.size() && i < widths.size(); ++i) {
    used += widths[i];
    if (items[i].trimmed() == u"*") ++starred;
  }
  if (columnLines) used += int(widths.size());
  if (indicator) used += 11;
  if (starred == 0) return out;
  const int share = (clientWidth - used - 16) / starred;
  for (int i = 0; i < items.size() && i < widths.size(); ++i)
    if (items[i].trimmed() == u"*") out[i] = std::max(kMinColumnWidth, widths[i] + share);
  return out;
}
