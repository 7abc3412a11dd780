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

// The three values of one measurement file pair: interval start and end from the ".HED"
// file, the value from the ".TMP" file.
struct Measurement {
  std::string start;
  std::string end;
  std::string value;

  bool Complete() const {
    return !QXCOMSUB::IsBlankText(start) && !QXCOMSUB::IsBlankText(end) && !QXCOMSUB::IsBlankText(value);
  }
};

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

// The pair's values; all empty when one of its files is missing.
Status ReadMeasurement(const std::string& source, const std::string& name, Measurement& m) {
  m = {};
  std::string base = source + "\\" + name;
  if (!platform::IsPlainFile(base + ".HED") || !platform::IsPlainFile(base + ".TMP")) return Status::Ok();
  std::vector<std::string> fields;
  if (Status s = ReadLeadingFields(base + ".HED", 6, fields); !s) return s;
  m.start = fields[5];
  m.end = fields[6];
  if (Status s = ReadLeadingFields(base + ".TMP", 10, fields); !s) return s;
  m.value = fields[10];
  return Status::Ok();
}

// The pairs named in "PCNT.txt" that hold all three values, in list order.
Status AcceptedMeasurements(const std::string& source, std::vector<Measurement>& accepted) {
  std::string list = source + "\\PCNT.txt";
  long count = 0;
  std::vector<std::string> names;
  if (Status s = FCOPYSUB::ScanTable(list, count, names, FCOPYSUB::kCountRows, 2, 2); !s) return s;
  if (count < 1) return Status::Ok();
  if (Status s = FCOPYSUB::ScanTable(list, count, names, FCOPYSUB::kCollectColumn, 2, 2); !s) return s;
  for (std::size_t i = 1; i < names.size(); ++i) {
    std::string name = QXCOMSUB::TrimSpaces(names[i]);
    if (!IsPlainName(name)) continue;
    Measurement m;
    if (Status s = ReadMeasurement(source, name, m); !s) return s;
    if (m.Complete()) accepted.push_back(std::move(m));
  }
  return Status::Ok();
}

Fields MeasurementFields(const Measurement& m) {
  using QXCOMSUB::FormatFixedPoint;
  float value = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(m.value));
  return {FormatFixedPoint(m.start, 3, 2), FormatFixedPoint(m.end, 3, 2), QXCOMSUB::FormatExponent(value, 3, 2)};
}

}  // namespace

Status WriteMeasurementFileRecords(ExchangeFile& out, const std::string& source, const std::string& boringIdField) {
  std::vector<Measurement> accepted;
  if (Status s = AcceptedMeasurements(source, accepted); !s) return s;
  // Records are numbered over the accepted pairs only, so they stay consecutive.
  std::size_t next = 0;
  auto record = [&](Fields& fields) {
    if (next >= accepted.size()) return false;
    fields = MeasurementFields(accepted[next++]);
    return true;
  };
  return WriteBlock(out, "F", boringIdField, static_cast<long>(accepted.size()), {"08"}, record);
}

}  // namespace zk
