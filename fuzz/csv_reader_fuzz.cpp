// Parses arbitrary text as a CSV table (the first bytes pick a date or a text column, the
// separator and the reading options); whatever it accepts must be a well-formed table.
#include "fuzz_host.h"

#include "plot/csv_table.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  fuzz::FuzzInput input(data, size);
  const unsigned choice = input.Pick(6);
  plot::CsvReadOptions kinds;
  if (choice == 1) kinds.date = plot::ColumnRef{"1"};
  if (choice == 2) kinds.date = plot::ColumnRef{"time"};
  if (choice == 3) kinds.text = plot::ColumnRef{"2"};
  if (choice == 4) kinds.text = plot::ColumnRef{"name"};
  const unsigned flags = input.Pick(16);
  kinds.decimalComma = flags & 1, kinds.skipBadRows = flags & 2;
  kinds.threads = flags & 8 ? 3 : 0;
  kinds.separator = static_cast<plot::Separator>(input.Pick(5));
  plot::CsvError error;
  const auto table = plot::ParseCsv(input.Rest(), "fuzz.csv", kinds, &error);
  if (!table) {
    FUZZ_CHECK(!error.message.empty());
    return 0;
  }
  FUZZ_CHECK(table->names.size() == table->columns.size());
  for (const auto& column : table->columns) FUZZ_CHECK(column.empty() || column.size() == table->rows());
  if (table->textColumn >= 0) {
    FUZZ_CHECK(static_cast<std::size_t>(table->textColumn) < table->columns.size());
    FUZZ_CHECK(table->texts.size() == table->rows());
  }
  return 0;
}
