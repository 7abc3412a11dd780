// A whole conversion of a complete boring in which one table is replaced by the fuzzed bytes
// (the first byte picks which). Whatever the bytes, the run ends, leaves no temporary file,
// and either converts or changes nothing in the destination.
#include <cstdint>
#include <vector>

#include "conversion/run.h"
#include "exchange/exchange_file.h"
#include "fuzz_support.h"
#include "tables/catalogue.h"

namespace {

namespace fs = std::filesystem;

// The boring's tables that are read, in the catalogue's order (the corpus files are named by
// their place in it).
const std::vector<const char*>& Tables() {
  static const std::vector<const char*> tables = [] {
    std::vector<const char*> names;
    for (const zk::TableLayout& t : zk::AllTables())
      if (t.folder == zk::TableFolder::Boring && t.shape != zk::TableShape::PresenceOnly) names.push_back(t.name);
    return names;
  }();
  return tables;
}

// Answers Yes to every question and keeps nothing of what it is shown.
class QuietWindow : public zk::WindowOps {
 public:
  std::string source, destination;
  void SetStatus(const std::string&) override {}
  void ShowMessage(const std::string&, zk::Icon, const std::string&) override {}
  bool AskYesNo(const std::string&) override { return true; }
  void SetBusy(bool) override {}
  void FocusDestination() override {}
  void RefreshDestinationList() override {}
  std::string SourceText() override { return source; }
  std::string DestinationText() override { return destination; }
};

const fs::path kFixture = fs::path(ZK_FIXTURES) / "hostile";

struct Folders {
  fs::path src, dst, codes;
  std::string codeFolder;  // drive form
};

const Folders& Setup() {
  static const Folders folders = [] {
    Folders f{zk::fuzz::WorkFolder() / "src", zk::fuzz::WorkFolder() / "dst", zk::fuzz::WorkFolder() / "codes", {}};
    fs::copy(kFixture / "boring", f.src, fs::copy_options::recursive);
    fs::copy(kFixture / "codes", f.codes, fs::copy_options::recursive);
    fs::create_directories(f.dst);
    f.codeFolder = zk::fuzz::DriveForm(f.codes) + "\\";
    return f;
  }();
  return folders;
}

void Restore(const Folders& f, const char* table) {
  fs::remove(f.src / table);
  fs::remove(f.src / "BORLING.NO");
  if (fs::exists(kFixture / "boring" / table)) fs::copy_file(kFixture / "boring" / table, f.src / table);
  for (const auto& entry : fs::directory_iterator(f.dst)) fs::remove_all(entry.path());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Folders& f = Setup();
  const char* table = Tables()[data[0] % Tables().size()];
  zk::fuzz::WriteFile(f.src / table, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

  QuietWindow window;
  window.source = zk::fuzz::DriveForm(f.src);
  window.destination = zk::fuzz::DriveForm(f.dst);
  zk::ConversionContext context;
  context.drives = zk::platform::DriveMap::FromEnvironment();
  context.codeTableFolder = f.codeFolder;
  zk::RunResult result = zk::RunConversion(window, context);

  long files = 0;
  for (const auto& entry : fs::directory_iterator(f.dst)) {
    ++files;
    std::string name = entry.path().filename().string();
    ZK_FUZZ_CHECK(name.find(zk::kPartialSuffix) == std::string::npos);
  }
  for (const auto& entry : fs::directory_iterator(f.src))
    ZK_FUZZ_CHECK(entry.path().filename().string().find(zk::kPartialSuffix) == std::string::npos);
  ZK_FUZZ_CHECK(files == (result.converted ? 1 : 0));
  Restore(f, table);
  return 0;
}
