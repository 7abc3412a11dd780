#include "writers/measurements.h"

namespace zk {

Status WriteMeasurementFileRecords(ExchangeFile& out, const std::string&, const std::string&) { return out.status(); }

}  // namespace zk
