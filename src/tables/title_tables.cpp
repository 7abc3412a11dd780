#include "tables/title_tables.h"

#include "tables/field_reader.h"

namespace zk::FCOPYSUB {
namespace {

Status LoadOne(const TableFile& table, std::vector<std::string>& slots) {
  if (!table.IsPlainFile()) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  for (std::size_t n = 1; n < slots.size() && !reader.AtEnd(); ++n) slots[n] = reader.ReadField();
  return Status::Ok();
}

}  // namespace

Status LoadTitleTables(const BoringSnapshot& boring, TitleTables& titles) {
  if (Status s = LoadOne(boring.Table(TableId::Titl01), titles.t1); !s) return s;
  if (Status s = LoadOne(boring.Table(TableId::Titl02), titles.t2); !s) return s;
  return LoadOne(boring.Table(TableId::Titl04), titles.t4);
}

}  // namespace zk::FCOPYSUB
