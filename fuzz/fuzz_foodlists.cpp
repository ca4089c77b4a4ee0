// Feeds arbitrary bytes to the food lists. The input, cut at each 0x1E byte, is the
// files of the first categories (Breakfast, Lunch, Dinner, ...; a part left out is a file
// that does not exist). The lists are loaded, searched by a name they hold and by a
// letter, every match is picked with servings from none to absurd, and rows are inserted
// and deleted as the window does; then what saving can promise: the lists saved and
// loaded again hold the same cells (empty cells come back as single spaces, as in every
// grid file), and from the second save on the files stay as they are.
#include <cmath>
#include <limits>

#include "fuzzfolder.h"
#include "nutrition/foodlists.h"

namespace {
constexpr const char* kTarget = "food lists";

void PickEveryRow(const CellGrid& grid) {
  const double servings[] = {0,   0.1,  1,    1.5, 2.3, 10, 1e300,
                             -1, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()};
  for (int r = 0; r <= grid.RowCount(); ++r)
    for (double s : servings) MakeFoodPick(grid, r, s);
}

void SameCells(const FoodLists& saved, const FoodLists& loaded) {
  for (int k = 1; k <= kFoodListCount; ++k) {
    const CellGrid& a = saved.List(k);
    const CellGrid& b = loaded.List(k);
    if (a.RowCount() != b.RowCount() || a.ColCount() != b.ColCount())
      fuzz::Fail(kTarget, "a saved list loads with another shape");
    for (int r = 0; r < a.RowCount(); ++r)
      for (int c = 0; c < a.ColCount(); ++c) {
        const QString want = a.Cell(c, r).isEmpty() ? QStringLiteral(" ") : a.Cell(c, r);
        if (b.Cell(c, r) != want && b.Cell(c, r) != a.Cell(c, r))
          fuzz::Fail(kTarget, "a saved list loads with other cells");
      }
  }
}

void MarkAll(FoodLists& lists) {
  for (int k = 1; k <= kFoodListCount; ++k) lists.MarkChanged(k);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString folder = fuzz::EmptyFolder();
  const QByteArrayList parts = fuzz::Parts(data, size);
  for (int i = 0; i < parts.size() && i < kFoodListCount; ++i)
    fuzz::WriteFile(FoodListPath(folder, i + 1), parts[i]);

  FoodLists lists(folder);
  const bool read = lists.LoadFoodLists();
  for (const QString& keyword :
       {lists.List(1).Cell(0, 1), QStringLiteral("a"), QStringLiteral(" ")})
    PickEveryRow(lists.SearchFoodLists(keyword));
  for (int k = 1; k <= kFoodListCount && k <= parts.size(); ++k) PickEveryRow(lists.List(k));
  const int row = int(size % 40);
  InsertListRow(lists.List(1), row);
  DeleteListRow(lists.List(2), row);
  DeleteListRow(lists.List(3), row / 2);
  MarkAll(lists);
  // A list that could not be read is never written: nothing more to check.
  if (!lists.SaveFoodLists() || !read) return 0;

  FoodLists again(folder);
  if (!again.LoadFoodLists()) fuzz::Fail(kTarget, "saved lists do not load");
  SameCells(lists, again);
  MarkAll(again);
  if (!again.SaveFoodLists()) fuzz::Fail(kTarget, "loaded lists do not save");
  const QMap<QString, QByteArray> second = fuzz::Snapshot(folder);
  FoodLists third(folder);
  if (!third.LoadFoodLists()) fuzz::Fail(kTarget, "the third round does not load");
  MarkAll(third);
  if (!third.SaveFoodLists()) fuzz::Fail(kTarget, "the third round does not save");
  if (fuzz::Snapshot(folder) != second) fuzz::Fail(kTarget, "a second save is not stable");
  return 0;
}
