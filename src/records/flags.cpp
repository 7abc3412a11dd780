#include "records/flags.h"

#include <vector>

#include "platform/files.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/table_access.h"

namespace zk {
namespace {

constexpr std::size_t kTestRowFields = 68;
constexpr std::size_t kFirstNameColumn = 29;
constexpr std::size_t kLastNameColumn = 48;
constexpr long kTestKindNames = 15;

// Names 1 to 15 of "L9.txt" (slot 0 unused), each without its surrounding blanks.
Status LoadTestKindNames(const std::string& path, std::vector<std::string>& names) {
  if (!platform::IsPlainFile(path)) return Status::Failed(Fault::CodeTable, path, "試験種別のコード表がありません");
  TableReader reader;
  if (Status s = reader.Open(path); !s) return s;
  names.assign(1, std::string());
  std::vector<std::string> row;
  while (static_cast<long>(names.size()) <= kTestKindNames && !reader.AtEnd() && reader.ReadRow(2, row))
    names.push_back(QXCOMSUB::TrimSpaces(row[1]));
  if (Status s = reader.status(); !s) return s;
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

// Every complete row of a test table, its name columns read; a row cut short by the end of
// the table is dropped.
template <typename Visit>
Status ForEachTestRow(const std::string& path, Visit visit) {
  TableReader reader;
  if (Status s = reader.Open(path); !s) return s;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(kTestRowFields, kFirstNameColumn, kLastNameColumn, row)) visit(row);
  return reader.status();
}

void SetWhenPresent(const std::string& path, int entry, FlagArray& flags) {
  if (FCOPYSUB::IsPresent(path)) flags[static_cast<std::size_t>(entry)] = 1;
}

// The measurement head file named in "PCNT.txt" ("" when it names none) and whether it is
// there. A name with a path separator or a drive would reach outside the boring folder.
Status MeasurementHeadPresent(const std::string& source, bool& present) {
  present = false;
  TableReader reader;
  if (Status s = reader.Open(source + "\\PCNT.txt"); !s) return s;
  if (!reader.AtEnd()) reader.ReadField();
  std::string name;
  if (!reader.AtEnd()) name = reader.ReadField();
  if (Status s = reader.status(); !s) return s;
  name = QXCOMSUB::TrimSpaces(name);
  if (name.find_first_of("\\/:") != std::string::npos) return Status::Ok();
  present = FCOPYSUB::IsPresent(source + "\\" + name + ".hed");
  return Status::Ok();
}

}  // namespace

std::string CodeTablePath(const std::string& codeFolder, const std::string& name) {
  if (!codeFolder.empty() && codeFolder.back() == '\\') return codeFolder + name;
  return codeFolder + "\\" + name;
}

Status ScanTestKinds(const std::string& source, const std::string& codeFolder, FlagArray& flags) {
  std::string x6 = source + "\\X6.TXT";
  if (!FCOPYSUB::IsPresent(x6)) return Status::Ok();
  std::vector<std::string> names;
  if (Status s = LoadTestKindNames(CodeTablePath(codeFolder, "L9.txt"), names); !s) return s;
  return ForEachTestRow(x6, [&](const std::vector<std::string>& row) {
    for (std::size_t k = kFirstNameColumn; k <= kLastNameColumn; ++k)
      if (int entry = TestKindEntry(QXCOMSUB::TrimSpaces(row[k - 1]), names))
        flags[static_cast<std::size_t>(entry)] = 1;
  });
}

Status ScanTablePresence(const std::string& source, FlagArray& flags) {
  SetWhenPresent(source + "\\X5.txt", 1, flags);
  SetWhenPresent(source + "\\L209.txt", 2, flags);
  SetWhenPresent(source + "\\L204.txt", 3, flags);
  if (flags[3] == 0 && platform::IsPlainFile(source + "\\PCNT.txt")) {
    bool present = false;
    if (Status s = MeasurementHeadPresent(source, present); !s) return s;
    if (present) flags[3] = 1;
  }
  SetWhenPresent(source + "\\L201.txt", 4, flags);
  SetWhenPresent(source + "\\L202.txt", 8, flags);
  std::string x7 = source + "\\X7.TXT";
  if (!FCOPYSUB::IsPresent(x7)) return Status::Ok();
  // Names as read: unlike "X6.TXT", a quoted name keeps its blanks here.
  return ForEachTestRow(x7, [&](const std::vector<std::string>& row) {
    for (std::size_t k = kFirstNameColumn; k <= kLastNameColumn; ++k)
      if (int entry = TableTestEntry(row[k - 1])) flags[static_cast<std::size_t>(entry)] = 1;
  });
}

std::string FlagDigits(const FlagArray& flags, int first, int last) {
  std::string digits;
  for (int i = first; i <= last; ++i) digits += std::to_string(flags[static_cast<std::size_t>(i)]);
  return digits;
}

}  // namespace zk
