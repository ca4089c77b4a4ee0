// Feeds arbitrary bytes to the list-view file reader (the alarm lists), then checks what
// writing can promise: the items read are written and read back whole and unchanged, and
// a second write gives the same bytes. Run with a small -malloc_limit_mb: no count or length in
// the bytes may make the reader reserve memory beyond the bytes there.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sleep/listviewfile.h"

namespace {
void Fail(const char* what) {
  std::fprintf(stderr, "list-view round trip broken: %s\n", what);
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   static_cast<qsizetype>(size));
  ListViewFile first;
  first.ReadBytes(bytes);

  const QByteArray saved = first.ToBytes();
  ListViewFile second;
  // What the program writes is always read to its end (never shown read-only).
  if (!second.ReadBytes(saved)) Fail("written bytes not read whole");
  if (second.checkBoxes != first.checkBoxes) Fail("check-box flag");
  if (second.items.size() != first.items.size()) Fail("item count");
  for (qsizetype i = 0; i < first.items.size(); ++i) {
    // Without check boxes no checked byte is kept.
    ListViewItem want = first.items.at(i);
    if (!first.checkBoxes) want.checked = false;
    if (second.items.at(i) != want) Fail("item");
  }
  if (second.ToBytes() != saved) Fail("second write not stable");
  return 0;
}
