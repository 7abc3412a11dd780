// The look at one table that every conversion takes once the boring is in memory: what its
// layout says the conversion will read differently from what stands there (a number that is
// not one, a row cut short, a depth that goes up, rows beyond what a block can number, a
// quote never closed, characters other systems may not show), as findings.
#pragma once

#include <functional>
#include <vector>

#include "tables/catalogue.h"
#include "tables/field_reader.h"
#include "tables/findings.h"
#include "tables/table_file.h"

namespace zk {

// Called with each complete row of a table of rows, its fields as they stand: a caller that
// needs something of every row learns it in the same pass (the test names of the flags).
using RowVisitor = std::function<void(const std::vector<RawField>& row)>;

// Nothing for a missing table or one that cannot be read (the step that reads it tells);
// else its warnings.
void InspectTable(const TableFile& table, const TableLayout& layout, FindingSink& findings,
                  const RowVisitor& visit = {});

}  // namespace zk
