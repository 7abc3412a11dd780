#include "records/flags.h"

#include <vector>

#include "support/text_bytes.h"
#include "tables/field_reader.h"

namespace zk {
namespace {

constexpr std::size_t kFirstNameColumn = 29;
constexpr std::size_t kLastNameColumn = 48;
constexpr long kTestKindNames = 15;

// Names 1 to 15 of "L9.txt" (slot 0 unused), each without its surrounding blanks.
Status LoadTestKindNames(const TableFile& table, std::vector<std::string>& names) {
  const std::string& path = table.drivePath;
  if (!table.IsPlainFile()) return Status::Failed(Fault::CodeTable, path, "試験種別のコード表がありません");
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  names.assign(1, std::string());
  std::vector<std::string> row;
  while (static_cast<long>(names.size()) <= kTestKindNames && !reader.AtEnd() &&
         reader.ReadRow(Layout(TableId::L9).fields, row))
    names.push_back(QXCOMSUB::TrimSpaces(row[1]));
  long rows = static_cast<long>(names.size()) - 1;
  if (rows < kTestKindNames)
    return Status::Failed(
        Fault::CodeTable, path,
        "試験種別が " + std::to_string(kTestKindNames) + " 行ありません (" + std::to_string(rows) + " 行)");
  return Status::Ok();
}

// The flag entry a name of "X6.TXT" sets, 0 for none. Row 10 of "L9.txt" is never used and
// entry 14 never set; rows 11 to 14 move down one entry. A blank name stands for no test.
int TestKindEntry(const std::string& column, const std::vector<std::string>& names) {
  if (column.empty()) return 0;
  for (int i = 1; i <= 9; ++i)
    if (column == names[static_cast<std::size_t>(i)]) return i;
  for (int i = 11; i <= 14; ++i)
    if (column == names[static_cast<std::size_t>(i)]) return i - 1;
  if (column == names[15]) return 15;
  return 0;
}

// The flag entry a name of "X7.TXT" sets, 0 for none.
int TableTestEntry(const std::string& column) {
  if (column == "間隙水圧測定") return 7;
  if (column == "ｺﾛｰｼﾞｮﾝ") return 6;
  if (column == "ベーン") return 5;
  if (column == "その他") return 9;
  return 0;
}

void SetWhenPresent(const TableFile& table, int entry, FlagArray& flags) {
  if (table.IsPresent()) flags[static_cast<std::size_t>(entry)] = 1;
}

// The measurement head file named in "PCNT.txt" ("" when it names none) and whether it is
// there. A name with a path separator or a drive would reach outside the boring folder.
Status MeasurementHeadPresent(const BoringSnapshot& boring, bool& present) {
  present = false;
  TableReader reader;
  if (Status s = reader.Open(boring.Table(TableId::PCNT)); !s) return s;
  if (!reader.AtEnd()) reader.ReadField();
  std::string name;
  if (!reader.AtEnd()) name = reader.ReadField();
  name = QXCOMSUB::TrimSpaces(name);
  if (!IsPlainMeasurementName(name)) return Status::Ok();
  present = boring.File(name + ".hed").IsPresent();
  return Status::Ok();
}

}  // namespace

void TestNames::Add(const std::vector<RawField>& row) {
  for (std::size_t k = kFirstNameColumn; k <= kLastNameColumn && k <= row.size(); ++k)
    if (row[k - 1].bytes.find_first_not_of(' ') != std::string_view::npos) names_.insert(TableReader::Text(row[k - 1]));
}

TestNames CollectTestNames(const TableFile& table) {
  TestNames names;
  TableReader reader;
  if (!reader.Open(table)) return names;
  std::vector<RawField> row;
  const std::size_t fields = Layout(TableId::X6).fields;  // "X7.TXT" has the same rows
  while (!reader.AtEnd() && reader.ReadRawRow(fields, row)) names.Add(row);
  return names;
}

TestTableNames CollectTestNames(const BoringSnapshot& boring) {
  return {CollectTestNames(boring.Table(TableId::X6)), CollectTestNames(boring.Table(TableId::X7))};
}

Status ScanTestKinds(const BoringSnapshot& boring, const TestNames& x6Names, FlagArray& flags) {
  const TableFile& x6 = boring.Table(TableId::X6);
  if (!x6.IsPresent()) return Status::Ok();
  std::vector<std::string> names;
  if (Status s = LoadTestKindNames(boring.Table(TableId::L9), names); !s) return s;
  if (!x6.fault) return x6.fault;
  for (const std::string& name : x6Names.names())
    if (int entry = TestKindEntry(QXCOMSUB::TrimSpaces(name), names)) flags[static_cast<std::size_t>(entry)] = 1;
  return Status::Ok();
}

Status ScanTablePresence(const BoringSnapshot& boring, const TestNames& x7Names, FlagArray& flags) {
  SetWhenPresent(boring.Table(TableId::X5), 1, flags);
  SetWhenPresent(boring.Table(TableId::L209), 2, flags);
  SetWhenPresent(boring.Table(TableId::L204), 3, flags);
  if (flags[3] == 0 && boring.Table(TableId::PCNT).IsPlainFile()) {
    bool present = false;
    if (Status s = MeasurementHeadPresent(boring, present); !s) return s;
    if (present) flags[3] = 1;
  }
  SetWhenPresent(boring.Table(TableId::L201), 4, flags);
  SetWhenPresent(boring.Table(TableId::L202), 8, flags);
  const TableFile& x7 = boring.Table(TableId::X7);
  if (!x7.IsPresent()) return Status::Ok();
  if (!x7.fault) return x7.fault;
  // Names as read: unlike "X6.TXT", a quoted name keeps its blanks here.
  for (const std::string& name : x7Names.names())
    if (int entry = TableTestEntry(name)) flags[static_cast<std::size_t>(entry)] = 1;
  return Status::Ok();
}

std::string FlagDigits(const FlagArray& flags, int first, int last) {
  std::string digits;
  for (int i = first; i <= last; ++i) digits += std::to_string(flags[static_cast<std::size_t>(i)]);
  return digits;
}

}  // namespace zk
