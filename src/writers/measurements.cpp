#include "writers/measurements.h"

#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

bool Blank(const std::string& text) { return QXCOMSUB::IsBlankText(text); }

// Reads fields from the start of a file up to and including field last (from 1); fields
// beyond the end of the file stay empty.
Status ReadLeadingFields(const TableFile& file, std::size_t last, std::vector<std::string>& fields) {
  fields.assign(last + 1, std::string());
  TableReader reader;
  if (Status s = reader.Open(file); !s) return s;
  for (std::size_t i = 1; i <= last && !reader.AtEnd(); ++i) fields[i] = reader.ReadField();
  return Status::Ok();
}

// The pair's values, and why it is skipped when it is.
Status ReadPair(const BoringSnapshot& boring, MeasurementPair& pair) {
  using Skip = MeasurementPair::Skip;
  if (!IsPlainMeasurementName(pair.name)) {
    pair.skip = Skip::NotInFolder;
    return Status::Ok();
  }
  const TableFile& head = boring.File(pair.name + ".HED");
  const TableFile& values = boring.File(pair.name + ".TMP");
  if (!head.IsPlainFile() || !values.IsPlainFile()) {
    pair.skip = Skip::MissingFile;
    return Status::Ok();
  }
  std::vector<std::string> fields;
  if (Status s = ReadLeadingFields(head, kMeasurementHeadFields, fields); !s) return s;
  pair.start = fields[5];
  pair.end = fields[6];
  if (Status s = ReadLeadingFields(values, kMeasurementValueFields, fields); !s) return s;
  pair.value = fields[10];
  if (Blank(pair.start) || Blank(pair.end) || Blank(pair.value)) pair.skip = Skip::MissingValue;
  return Status::Ok();
}

}  // namespace

Status ForEachMeasurementPair(const BoringSnapshot& boring, const std::function<void(MeasurementPair&)>& visit) {
  const TableFile& list = boring.Table(TableId::PCNT);
  if (!list.IsPlainFile()) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(list); !s) return s;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(Layout(TableId::PCNT).fields, 2, 2, row)) {
    MeasurementPair pair;
    pair.name = QXCOMSUB::TrimSpaces(row[1]);
    pair.line = reader.FieldLine();
    if (Status s = ReadPair(boring, pair); !s) return s;
    visit(pair);
  }
  return Status::Ok();
}

namespace {

Fields MeasurementFields(const MeasurementPair& m) {
  using QXCOMSUB::FormatFixedPoint;
  float value = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(m.value));
  return {FormatFixedPoint(m.start, 3, 2), FormatFixedPoint(m.end, 3, 2), QXCOMSUB::FormatExponent(value, 3, 2)};
}

// Why a pair is left out, for the user.
const char* SkipReason(MeasurementPair::Skip skip) {
  using Skip = MeasurementPair::Skip;
  switch (skip) {
    case Skip::NotInFolder:
      return "ボーリングのフォルダの外を指す名前です";
    case Skip::MissingFile:
      return ".HED か .TMP のファイルがありません";
    case Skip::MissingValue:
      return ".HED の 5・6 番目か .TMP の 10 番目の項目が空です";
    default:
      return "";
  }
}

}  // namespace

Status WriteMeasurementFileRecords(ExchangeFile& out, const BoringSnapshot& boring, const std::string& boringIdField,
                                   FindingSink& findings) {
  // The block holds at most kMaxBlockRows records: only those pairs are kept, the rest counted.
  std::vector<MeasurementPair> accepted;
  long count = 0;
  const std::string& list = boring.Table(TableId::PCNT).drivePath;
  Status listed = ForEachMeasurementPair(boring, [&](MeasurementPair& pair) {
    if (pair.skip != MeasurementPair::Skip::None) {
      findings.Warn(list, pair.line, "measurement-skipped",
                    "測定ファイル「" + Excerpt(pair.name) + "」は使われません: " + SkipReason(pair.skip));
      return;
    }
    if (++count <= kMaxBlockRows) accepted.push_back(std::move(pair));
  });
  if (!listed) return listed;
  if (count > kMaxBlockRows)
    findings.Warn(list, 0, "too-many-rows",
                  "使える測定ファイルが " + std::to_string(count) + " 組あります (999 組を超えた分は変換されません)");
  // Records are numbered over the accepted pairs only, so they stay consecutive.
  std::size_t next = 0;
  auto record = [&](Fields& fields) {
    if (next >= accepted.size()) return false;
    fields = MeasurementFields(accepted[next++]);
    return true;
  };
  return WriteBlock(out, "F", boringIdField, count, {"08"}, record);
}

}  // namespace zk
