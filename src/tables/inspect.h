// The look at one table that every conversion takes once the boring is in memory: what its
// layout says the conversion will read differently from what stands there (a number that is
// not one, a row cut short, a depth that goes up, rows beyond what a block can number, a
// quote never closed, characters other systems may not show), as findings.
#pragma once

#include "tables/catalogue.h"
#include "tables/findings.h"
#include "tables/table_file.h"

namespace zk {

// Nothing for a missing table or one that cannot be read (the step that reads it tells);
// else its warnings.
void InspectTable(const TableFile& table, const TableLayout& layout, FindingSink& findings);

}  // namespace zk
