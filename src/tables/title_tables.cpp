#include "tables/title_tables.h"

#include "platform/files.h"
#include "tables/field_reader.h"

namespace zk::FCOPYSUB {
namespace {

Status LoadOne(const std::string& path, std::vector<std::string>& slots) {
  if (!platform::IsPlainFile(path)) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(path); !s) return s;
  for (std::size_t n = 1; n < slots.size() && !reader.AtEnd(); ++n) slots[n] = reader.ReadField();
  return reader.status();
}

}  // namespace

Status LoadTitleTables(const std::string& folder, TitleTables& titles) {
  std::string base = folder;
  if (base.empty() || base.back() != '\\') base += '\\';
  if (Status s = LoadOne(base + "titl01.txt", titles.t1); !s) return s;
  if (Status s = LoadOne(base + "titl02.txt", titles.t2); !s) return s;
  return LoadOne(base + "titl04.txt", titles.t4);
}

}  // namespace zk::FCOPYSUB
