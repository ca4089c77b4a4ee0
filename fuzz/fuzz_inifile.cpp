// libFuzzer target for IniFile: any bytes load without a crash; every section and key
// reads in every type; the written form is stable (a second load and write gives the same
// bytes); a written key reads back, and writing one key changes no other key.
//
//   build-fuzz/bin/fuzz_inifile -max_total_time=60 -max_len=65536 corpus tests/data/ini

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/inifile.h"
#include "core/textfile.h"
#include "core/textutil.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "fuzz_inifile: invariant broken: %s\n", what);
    abort();
  }
}

QString OneLine(QString text) {
  for (QChar& c : text)
    if (c == u'\r' || c == u'\n') c = u' ';
  return text;
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Reads the values of the file in every type (the first 200 keys: each lookup scans the
// file, and the program never reads thousands of keys).
void ReadAll(const IniFile& ini) {
  int budget = 200;
  for (const QString& section : ini.Sections()) {
    Check(ini.SectionExists(section), "a listed section exists");
    for (const QString& key : ini.Keys(section)) {
      if (--budget < 0) return;
      Check(ini.ValueExists(section, key), "a listed key exists");
      const QString text = ini.ReadString(section, key, QString());
      Check(text == text.trimmed(), "values come trimmed");
      int parsed = 0;
      const bool isInt = IniFile::ParseInteger(text, &parsed);
      const int v = ini.ReadInteger(section, key, 12345);
      Check(isInt ? v == parsed : v == 12345, "ReadInteger agrees with ParseInteger");
      Check(ini.ReadBool(section, key, true) == (isInt ? parsed != 0 : true), "ReadBool");
      const double f = ini.ReadFloat(section, key, 0.5);
      Check(std::isfinite(f), "ReadFloat is finite");
      (void)ini.ReadDate(section, key, QDate(2000, 1, 1));
    }
  }
}

struct Entry {
  QString section, key, value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool once = [] {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return true;
  }();
  (void)once;

  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  IniFile ini;
  ini.LoadBytes(bytes);
  ReadAll(ini);

  // The written form settles after one pass: load(write(x)) writes the same bytes again.
  // (Only one pass is needed for text that starts with a second byte-order mark.)
  const QByteArray once1 = ini.ToBytes();
  IniFile second;
  second.LoadBytes(once1);
  const QByteArray once2 = second.ToBytes();
  IniFile third;
  third.LoadBytes(once2);
  Check(third.ToBytes() == once2, "the written form is stable");
  Check(third.Sections() == second.Sections(), "sections survive a round trip");

  // Snapshot of some values before writing.
  QVector<Entry> before;
  const QStringList sections = ini.Sections();
  for (const QString& s : sections) {
    for (const QString& k : ini.Keys(s)) {
      if (before.size() >= 40) break;
      before.append({s, k, ini.ReadString(s, k, QString())});
    }
    if (before.size() >= 40) break;
  }

  // Choose a section and key: from the file, or new ones.
  const uint8_t selector = size > 0 ? data[0] : 0;
  QString section = QStringLiteral("Fuzz");
  QString key = QStringLiteral("Key");
  if (!sections.isEmpty() && (selector & 1)) {
    section = sections[(selector >> 1) % sections.size()];
    const QStringList keys = ini.Keys(section);
    if (!keys.isEmpty() && (selector & 2)) key = keys[(selector >> 2) % keys.size()];
  }
  // The value: the last bytes of the input as text.
  const qsizetype tail = qMin<qsizetype>(bytes.size(), 48);
  const QString value = DecodeText(bytes.right(tail));

  ini.WriteString(section, key, value);
  Check(ini.ReadString(section, key, QString()) == OneLine(value).trimmed(),
        "a written string reads back");
  for (const Entry& e : before) {
    if (SameName(e.section, section) && SameName(e.key, key)) continue;
    Check(ini.ReadString(e.section, e.key, QStringLiteral("\x01")) == e.value,
          "writing one key leaves the others");
  }

  // Typed writes in a section of their own.
  int number = 0;
  double real = 0;
  if (size >= 4) memcpy(&number, data, 4);
  if (size >= 8) memcpy(&real, data, 8);
  ini.WriteInteger(QStringLiteral("Typed"), QStringLiteral("Int"), number);
  Check(ini.ReadInteger(QStringLiteral("typed"), QStringLiteral("INT"), number ^ 1) == number,
        "WriteInteger reads back");
  ini.WriteBool(QStringLiteral("Typed"), QStringLiteral("Bool"), number & 1);
  Check(ini.ReadBool(QStringLiteral("Typed"), QStringLiteral("Bool"), !(number & 1)) ==
            bool(number & 1),
        "WriteBool reads back");
  if (std::isfinite(real)) {
    ini.WriteFloat(QStringLiteral("Typed"), QStringLiteral("Float"), real);
    const double back = ini.ReadFloat(QStringLiteral("Typed"), QStringLiteral("Float"), NAN);
    Check(std::isfinite(back), "WriteFloat reads back as a number");
    Check(back == real || std::fabs(back - real) <= std::fabs(real) * 1e-14 ||
              std::fabs(real) < 1e-290,
          "WriteFloat reads back close");
  }
  const QDate date = QDate(1900, 1, 1).addDays(static_cast<uint32_t>(number) % 100000);
  ini.WriteDate(QStringLiteral("Typed"), QStringLiteral("Date"), date);
  Check(ini.ReadDate(QStringLiteral("Typed"), QStringLiteral("Date"), QDate()) == date,
        "WriteDate reads back");

  // The written file reads the same.
  IniFile reread;
  reread.LoadBytes(ini.ToBytes());
  Check(reread.ReadString(section, key, QString()) == ini.ReadString(section, key, QString()),
        "the written key survives the file");
  Check(reread.ReadInteger(QStringLiteral("Typed"), QStringLiteral("Int"), number ^ 1) == number,
        "the typed key survives the file");
  ReadAll(reread);

  // Deleting.
  ini.DeleteKey(QStringLiteral("Typed"), QStringLiteral("Int"));
  Check(!ini.ValueExists(QStringLiteral("Typed"), QStringLiteral("Int")), "DeleteKey");
  ini.EraseSection(section);
  Check(!ini.SectionExists(section), "EraseSection");
  (void)ini.ToBytes();
  return 0;
}
