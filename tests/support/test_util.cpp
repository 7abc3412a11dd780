#include "support/test_util.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/codepage.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace zk::test {

TempFolder::TempFolder() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("zk-test-" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

platform::DriveMap EnvironmentDrives() { return platform::DriveMap::FromEnvironment(); }

std::string TempFolder::Drive(const std::string& name) const {
  std::string drive = *EnvironmentDrives().ToDriveForm(path_);
  if (!name.empty()) drive += "\\" + name;
  return drive;
}

fs::path TempFolder::WriteCp932(const std::string& name, const std::string& utf8) const {
  auto bytes = platform::ToCp932(utf8);
  if (!bytes) throw std::runtime_error("fixture text has no CP932 form: " + name);
  return WriteBytes(name, *bytes);
}

fs::path TempFolder::WriteBytes(const std::string& name, const std::string& bytes) const {
  fs::path p = path_ / name;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << bytes;
  return p;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ReadCp932(const fs::path& path) {
  auto text = platform::FromCp932(ReadBytes(path));
  if (!text) throw std::runtime_error("not CP932: " + path.string());
  return *text;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void CopyFolder(const fs::path& from, const fs::path& to) {
  // Entry by entry: MinGW's fs::copy refuses a folder that exists already.
  fs::create_directories(to);
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory())
      fs::create_directories(target);
    else
      fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
  }
}

}  // namespace zk::test
