// Runs one block writer over a boring folder of the test and gives back the record lines.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/exchange_file.h"
#include "support/test_util.h"

namespace zk::test {

using BlockWriter = Status (*)(ExchangeFile&, const std::string&, const std::string&);

struct BlockOutput {
  Status status;
  std::vector<std::string> lines;  // without CR LF
  std::string bytes;               // the whole file as written
};

// boringFolder in drive form.
inline BlockOutput RunBlock(BlockWriter write, const std::string& boringFolder) {
  TempFolder destination;
  BlockOutput result;
  ExchangeFile out;
  result.status = out.Create(destination.Drive(), "53393681.001");
  if (!result.status) return result;
  result.status = write(out, boringFolder, "\"53393681001\"");
  if (!result.status) {
    out.Abandon();
    return result;
  }
  result.status = out.Commit();
  result.bytes = ReadBytes(destination.path() / "53393681.001");
  result.lines = SplitCrLf(ReadCp932(destination.path() / "53393681.001"));
  return result;
}

inline BlockOutput RunBlock(BlockWriter write, const TempFolder& boring) { return RunBlock(write, boring.Drive()); }

}  // namespace zk::test
