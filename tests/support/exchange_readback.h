// For every test that writes an exchange file: read it back with the exchange reader and
// check that its records, written in the frame again, give the very same bytes. A writer
// that breaks the frame (a quote or line end inside a field, a missing CR LF, a field the
// code page cannot hold) fails here, with the line.
//
//   auto records = test::ExpectReadsBack(dir.Drive("out\\53393681.001"));
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "support/test_util.h"

namespace zk::test {

// path: drive form (Z:\tmp\...) or a host path. Returns the records read (empty on failure).
inline std::vector<ExchangeRecord> ExpectReadsBack(const std::string& path) {
  const platform::DriveMap drives = EnvironmentDrives();
  std::string drive = drives.CommandLinePathToDriveForm(path);
  std::vector<ExchangeRecord> records;
  Status s = ReadExchangeFile(drives, drive, records);
  if (!s) {
    ADD_FAILURE() << "the exchange file does not read back: " << s.Message();
    return {};
  }
  auto host = drives.ToHost(drive);
  std::vector<std::string> lines = SplitCrLf(ReadBytes(*host));
  if (lines.size() != records.size()) {
    ADD_FAILURE() << drive << ": " << lines.size() << " lines but " << records.size() << " records";
    return records;
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto again = platform::ToCp932(RecordLine(records[i]));
    if (!again || *again != lines[i] + "\r\n") {
      ADD_FAILURE() << drive << " line " << records[i].line << " does not come back as written";
      return records;
    }
  }
  return records;
}

}  // namespace zk::test
