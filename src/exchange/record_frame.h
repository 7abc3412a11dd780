// The frame of every record of an exchange file: each field between double quotes, "," between
// the fields, CR LF at the end; field 1 the record key, field 2 the boring id, field 3 the
// sub-number. The one place a record line is built: the writer builds its records here, and
// the reader's tests build the lines they expect here.
#pragma once

#include <string>
#include <string_view>

namespace zk {

// Appends the line of one record to line: key, the boring id field (already enclosed in
// quotes, written as it is), the sub-number, then the data fields, each quoted.
template <class Fields>
void AppendRecordLine(std::string& line, std::string_view key, std::string_view boringIdField,
                      std::string_view subNumber, const Fields& fields) {
  line += '"';
  line += key;
  line += "\",";
  line += boringIdField;
  line += ",\"";
  line += subNumber;
  line += '"';
  for (std::string_view field : fields) {
    line += ",\"";
    line += field;
    line += '"';
  }
  line += "\r\n";
}

}  // namespace zk
