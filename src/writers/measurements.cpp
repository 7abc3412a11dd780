#include "writers/measurements.h"

#include "platform/files.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "tables/table_access.h"
#include "writers/formatters.h"
#include "writers/table_block.h"

namespace zk {
namespace {

bool Blank(const std::string& text) { return QXCOMSUB::IsBlankText(text); }

// A name from the list must name files of the boring folder itself, never a path.
bool IsPlainName(const std::string& name) { return !name.empty() && name.find_first_of("\\/:") == std::string::npos; }

// Reads fields from the start of a file up to and including field last (from 1); fields
// beyond the end of the file stay empty.
Status ReadLeadingFields(const std::string& file, std::size_t last, std::vector<std::string>& fields) {
  fields.assign(last + 1, std::string());
  TableReader reader;
  if (Status s = reader.Open(file); !s) return s;
  for (std::size_t i = 1; i <= last && !reader.AtEnd(); ++i) fields[i] = reader.ReadField();
  return reader.status();
}

// The pair's values, and why it is skipped when it is.
Status ReadPair(const std::string& source, MeasurementPair& pair) {
  using Skip = MeasurementPair::Skip;
  if (!IsPlainName(pair.name)) {
    pair.skip = Skip::NotInFolder;
    return Status::Ok();
  }
  std::string base = source + "\\" + pair.name;
  if (!platform::IsPlainFile(base + ".HED") || !platform::IsPlainFile(base + ".TMP")) {
    pair.skip = Skip::MissingFile;
    return Status::Ok();
  }
  std::vector<std::string> fields;
  if (Status s = ReadLeadingFields(base + ".HED", 6, fields); !s) return s;
  pair.start = fields[5];
  pair.end = fields[6];
  if (Status s = ReadLeadingFields(base + ".TMP", 10, fields); !s) return s;
  pair.value = fields[10];
  if (Blank(pair.start) || Blank(pair.end) || Blank(pair.value)) pair.skip = Skip::MissingValue;
  return Status::Ok();
}

}  // namespace

Status ForEachMeasurementPair(const std::string& source, const std::function<void(MeasurementPair&)>& visit) {
  std::string list = source + "\\PCNT.txt";
  if (!platform::IsPlainFile(list)) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(list); !s) return s;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(2, 2, 2, row) && reader.status()) {
    MeasurementPair pair;
    pair.name = QXCOMSUB::TrimSpaces(row[1]);
    pair.line = reader.FieldLine();
    if (Status s = ReadPair(source, pair); !s) return s;
    visit(pair);
  }
  return reader.status();
}

namespace {

Fields MeasurementFields(const MeasurementPair& m) {
  using QXCOMSUB::FormatFixedPoint;
  float value = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(m.value));
  return {FormatFixedPoint(m.start, 3, 2), FormatFixedPoint(m.end, 3, 2), QXCOMSUB::FormatExponent(value, 3, 2)};
}

}  // namespace

Status WriteMeasurementFileRecords(ExchangeFile& out, const std::string& source, const std::string& boringIdField) {
  // The block holds at most kMaxBlockRows records: only those pairs are kept, the rest counted.
  std::vector<MeasurementPair> accepted;
  long count = 0;
  Status listed = ForEachMeasurementPair(source, [&](MeasurementPair& pair) {
    if (pair.skip != MeasurementPair::Skip::None) return;
    if (++count <= kMaxBlockRows) accepted.push_back(std::move(pair));
  });
  if (!listed) return listed;
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
