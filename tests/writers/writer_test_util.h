// Running one table writer on a fixture boring folder and reading back what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "support/test_util.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk::test {

inline constexpr const char* kBoringId = "\"53393681001\"";

using Writer = std::function<Status(ExchangeFile&, const BoringSnapshot&, const std::string&, FindingSink&)>;

// The record lines a writer appends for the boring folder (without CR LF); status gets what
// the writer returned.
inline std::vector<std::string> RunWriter(const Writer& writer, const TempFolder& boring, Status* status = nullptr) {
  TempFolder destination;
  ExchangeFile out;
  const platform::DriveMap drives = EnvironmentDrives();
  EXPECT_TRUE(out.Create(drives, destination.Drive(), "53393681.001"));
  BoringSnapshot taken = BoringSnapshot::Take(drives, boring.Drive(), "");
  FindingSink findings;
  Status s = writer(out, taken, kBoringId, findings);
  if (status)
    *status = s;
  else
    EXPECT_TRUE(s) << s.Message();
  EXPECT_TRUE(out.Commit());
  return SplitCrLf(ReadCp932(destination.path() / "53393681.001"));
}

// The fields of a record line, quotes dropped: "D","53393681001","001","x" gives D, 53393681001, 001, x.
inline std::vector<std::string> RecordFields(const std::string& line) {
  std::vector<std::string> fields;
  if (line.size() < 2) return fields;
  std::string inner = line.substr(1, line.size() - 2);
  std::size_t start = 0;
  for (;;) {
    std::size_t end = inner.find("\",\"", start);
    fields.push_back(inner.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 3;
  }
  return fields;
}

// The data fields of a record line (after key, boring id and row number).
inline std::vector<std::string> DataFields(const std::string& line) {
  auto fields = RecordFields(line);
  return fields.size() > 3 ? std::vector<std::string>(fields.begin() + 3, fields.end()) : std::vector<std::string>{};
}

// One table row of n quoted fields, CR LF: the columns given (from 1) hold their texts, the
// others are empty.
inline std::string TableRow(std::size_t n, const std::map<std::size_t, std::string>& columns) {
  std::string line;
  for (std::size_t i = 1; i <= n; ++i) {
    if (i > 1) line += ",";
    auto it = columns.find(i);
    line += "\"" + (it == columns.end() ? std::string() : it->second) + "\"";
  }
  return line + "\r\n";
}

}  // namespace zk::test
