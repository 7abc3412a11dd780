// Reading an exchange file back: one record a line, every field between double quotes, ","
// between the fields, CR LF at the end of each line, all in CP932.
//
// The writer does not escape a double quote inside a field, so a quote closes its field only
// where "," and the next field's opening quote, or the line end, follow it; any other quote is
// part of the field. A quote followed by "," that does not open a next field, a lone CR or LF,
// a last line without its CR LF, or a line that does not begin with a quote, is a malformed
// file: it is refused with the line, never guessed at.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/status.h"

namespace zk {

struct ExchangeRecord {
  long line = 0;                    // 1-based line of the record in its file
  std::vector<std::string> fields;  // without their quotes: key, boring id, sub-number, data...

  // Field n counted from 1 as the record layouts count them (1 the key, 4 the first data
  // field); "" beyond the last field.
  const std::string& Field(std::size_t n) const;
  const std::string& Key() const { return Field(1); }
  const std::string& BoringId() const { return Field(2); }
  const std::string& SubNumber() const { return Field(3); }
};

// Splits the bytes of an exchange file into records. name is the file as the user knows it,
// for the messages. Besides the frame it checks what every record carries: a key "A" to "H",
// a three-digit sub-number, and one and the same boring id on every line. A file without any
// record is refused too (a written exchange file always begins with "A" 000).
Status ParseExchangeRecords(std::string_view bytes, const std::string& name, std::vector<ExchangeRecord>& records);

// Reads the exchange file at a drive-form path (NotFound when there is no such file).
Status ReadExchangeFile(const platform::DriveMap& drives, const std::string& drivePath,
                        std::vector<ExchangeRecord>& records);

// The same, handing each record to visit as its line is read, none kept: visit's fault ends
// the reading and is returned. Records before a bad line have been visited when it is refused.
Status ReadExchangeFile(const platform::DriveMap& drives, const std::string& drivePath,
                        const std::function<Status(const ExchangeRecord&)>& visit);

// The line a record is written as, in UTF-8, CR LF included (the writer's frame).
std::string RecordLine(const ExchangeRecord& record);

}  // namespace zk
