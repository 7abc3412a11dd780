// Runs one block writer over a boring folder of the test and gives back the record lines.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "records/layer_block.h"
#include "support/test_util.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk::test {

using BlockWriter = std::function<Status(ExchangeFile&, const BoringSnapshot&, const std::string&, FindingSink&)>;

// The layer block with the soil-name table of the boring's code-table folder, as the run
// loads it.
inline Status LayerBlock(ExchangeFile& out, const BoringSnapshot& boring, const std::string& id,
                         FindingSink& findings) {
  SoilNameTable soils;
  if (boring.Table(TableId::X1).IsPresent())
    if (Status s = LoadSoilNameTable(boring.Table(TableId::Kishitu), soils); !s) return s;
  return WriteLayerBlock(out, boring, soils, id, findings);
}

struct BlockOutput {
  Status status;
  std::vector<std::string> lines;  // without CR LF
  std::string bytes;               // the whole file as written
  std::vector<Finding> findings;
};

// boringFolder and codeFolder (ending in "\", or "" for none) in drive form.
inline BlockOutput RunBlock(const BlockWriter& write, const std::string& boringFolder,
                            const std::string& codeFolder = "") {
  TempFolder destination;
  BlockOutput result;
  ExchangeFile out;
  const platform::DriveMap drives = EnvironmentDrives();
  result.status = out.Create(drives, destination.Drive(), "53393681.001");
  if (!result.status) return result;
  BoringSnapshot boring = BoringSnapshot::Take(drives, boringFolder, codeFolder);
  FindingSink findings;
  result.status = write(out, boring, "\"53393681001\"", findings);
  result.findings = findings.findings();
  if (!result.status) {
    out.Abandon();
    return result;
  }
  result.status = out.Commit();
  result.bytes = ReadBytes(destination.path() / "53393681.001");
  result.lines = SplitCrLf(ReadCp932(destination.path() / "53393681.001"));
  return result;
}

inline BlockOutput RunBlock(const BlockWriter& write, const TempFolder& boring, const std::string& codeFolder = "") {
  return RunBlock(write, boring.Drive(), codeFolder);
}

}  // namespace zk::test
