#include "conversion/header_records.h"

#include "tables/numbers.h"

namespace zk {

Status WriteHeaderRecords(ExchangeFile& out, const TitleTables&, const std::string&, const std::string& meshCode,
                          long sequence, std::string& boringIdField, FlagArray&) {
  boringIdField = "\"" + meshCode + QXCOMSUB::ZeroPad(QXCOMSUB::IntText(static_cast<double>(sequence)), 3) + "\"";
  out.WriteRecord("A", boringIdField, "000");
  return out.status();
}

}  // namespace zk
