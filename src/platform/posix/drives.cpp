#include "platform/drives.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace zk::platform {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

SeenEntry Seen(const struct stat& st) {
  SeenEntry seen;
  seen.type = S_ISREG(st.st_mode)    ? fs::file_type::regular
              : S_ISDIR(st.st_mode)  ? fs::file_type::directory
              : S_ISLNK(st.st_mode)  ? fs::file_type::symlink
              : S_ISFIFO(st.st_mode) ? fs::file_type::fifo
              : S_ISSOCK(st.st_mode) ? fs::file_type::socket
              : S_ISBLK(st.st_mode)  ? fs::file_type::block
              : S_ISCHR(st.st_mode)  ? fs::file_type::character
                                     : fs::file_type::unknown;
  if (S_ISREG(st.st_mode)) seen.size = static_cast<std::uintmax_t>(st.st_size);
  return seen;
}

bool HasLetter(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || IsLetter(c);
  });
}

// The entry of folder (whose status is given) named like name in another letter case (the
// first the listing gives), or folder / name when there is none.
fs::path MatchOtherCase(const fs::path& folder, const struct stat&, const std::string& name) {
  fs::path exact = folder / name;
  // A name without letters has no other letter case (an exchange file name, 53393681.001):
  // not found as written is not found at all, and a destination of many files is not scanned.
  // Each table of a boring is looked up once a run, so the folder is read each time: what is
  // found is what is there now.
  if (!HasLetter(name)) return exact;
  for (const ListedEntry& entry : ListEntries(folder))
    if (EqualsNoCase(entry.name, name)) return folder / entry.name;
  return exact;
}

// The entry of folder named like name: exact first, else the first case-insensitive match.
fs::path MatchComponent(const fs::path& folder, const std::string& name) {
  fs::path exact = folder / name;
  struct stat st {};
  if (::lstat(exact.c_str(), &st) == 0) return exact;
  struct stat folderStatus {};
  if (::stat(folder.c_str(), &folderStatus) != 0) return exact;
  return MatchOtherCase(folder, folderStatus, name);
}

std::vector<std::string> SplitComponents(const std::string& rest) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// path lies in folder or is it: folder's names are the first names of path.
bool Inside(const fs::path& path, const fs::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (f->empty()) continue;  // the empty last name of a folder written with a final "/"
    if (p == path.end() || *p != *f) return false;
  }
  return true;
}

}  // namespace

DriveMap DriveMap::FromEnvironment() {
  DriveMap map;
  map.roots_['Z'] = "/";
  if (const char* env = std::getenv("ZK_DRIVES")) {
    std::string spec = env;
    std::size_t start = 0;
    while (start <= spec.size()) {
      std::size_t end = spec.find(';', start);
      if (end == std::string::npos) end = spec.size();
      std::string item = spec.substr(start, end - start);
      std::size_t eq = item.find('=');
      if (eq == 1 && IsLetter(item[0]) && item.size() > 2) map.roots_[Upper(item[0])] = item.substr(2);
      start = end + 1;
    }
  }
  return map;
}

bool DriveMap::InScope(const fs::path& host) const {
  if (!scoped_) return true;
  for (const fs::path& folder : scope_)
    if (Inside(host, folder)) return true;
  return false;
}

std::vector<char> DriveMap::MappedDrives() const {
  std::vector<char> letters;
  for (const auto& [letter, root] : roots_) letters.push_back(letter);
  return letters;
}

std::optional<fs::path> DriveMap::DriveRoot(char letter) const {
  auto it = roots_.find(Upper(letter));
  if (it == roots_.end()) return std::nullopt;
  std::error_code ec;
  if (!fs::is_directory(it->second, ec)) return std::nullopt;
  return it->second;
}

bool DriveMap::SetCurrentDrive(char letter) {
  if (!IsLetter(letter) || !DriveRoot(letter)) return false;
  current_ = Upper(letter);
  return true;
}

bool DriveMap::SetCurrentFolder(const std::string& drivePath) {
  if (drivePath.size() < 2 || drivePath[1] != ':' || !IsLetter(drivePath[0])) return false;
  auto host = ToHost(drivePath);
  std::error_code ec;
  if (!host || !fs::is_directory(*host, ec)) return false;
  std::string folder = drivePath;
  if (folder.size() == 2) folder += '\\';
  if (folder[2] != '\\') {  // drive-relative: make it absolute against the drive's folder
    std::string base = CurrentFolder(folder[0]);
    if (base.back() != '\\') base += '\\';
    folder = base + folder.substr(2);
  }
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  folder[0] = Upper(folder[0]);
  folders_[folder[0]] = folder;
  return true;
}

std::optional<fs::path> DriveMap::ToHost(const std::string& drivePath, SeenEntry& seen) const {
  seen = SeenEntry{};
  if (drivePath.find('\0') != std::string::npos) return std::nullopt;
  if (drivePath.size() < 2 || drivePath[1] != ':' || !IsLetter(drivePath[0])) return std::nullopt;
  char letter = drivePath[0];
  auto mapped = roots_.find(Upper(letter));
  if (mapped == roots_.end()) return std::nullopt;
  const fs::path* root = &mapped->second;
  std::string rest = drivePath.substr(2);
  if (rest.empty() || rest[0] != '\\') {
    std::string base = CurrentFolder(letter).substr(2);
    rest = base + (base.empty() || base.back() != '\\' ? "\\" : "") + rest;
  }
  std::vector<std::string> names = SplitComponents(rest);
  // The usual path is written in the letter case it has on disk: one status of the whole
  // path finds it, instead of one per folder on the way.
  if (!names.empty() &&
      std::none_of(names.begin(), names.end(), [](const std::string& n) { return n == "." || n == ".."; })) {
    std::string joined = root->string();  // one path made, not one per name
    for (const std::string& name : names) {
      if (!joined.empty() && joined.back() != '/') joined += '/';
      joined += name;
    }
    fs::path exact(std::move(joined));
    struct stat st {};
    if (::lstat(exact.c_str(), &st) == 0) {
      if (!InScope(exact)) return std::nullopt;
      seen = Seen(st);
      return exact;  // found under the root, so the drive is ready
    }
    // Usually only the last name is in another letter case or missing: its folder is there
    // as written, and only that folder is searched.
    fs::path folder = exact.parent_path();
    struct stat folderStatus {};
    if (names.size() > 1 && ::stat(folder.c_str(), &folderStatus) == 0 && S_ISDIR(folderStatus.st_mode)) {
      fs::path host = MatchOtherCase(folder, folderStatus, names.back());
      if (!InScope(host)) return std::nullopt;
      if (host == exact) seen.type = fs::file_type::not_found;
      return host;
    }
  }
  if (!DriveRoot(letter)) return std::nullopt;  // not ready
  fs::path host = *root;
  for (const std::string& name : names) {
    if (name == ".") continue;
    if (name == "..") {
      if (host != *root) host = host.parent_path();
      continue;
    }
    host = MatchComponent(host, name);
  }
  if (!InScope(host)) return std::nullopt;
  return host;
}

PathScope::PathScope(DriveMap& drives, const std::vector<std::string>& driveFolders)
    : drives_(drives), previous_(drives.scope_), previousActive_(drives.scoped_) {
  std::vector<fs::path> folders;
  for (const std::string& folder : driveFolders)
    if (auto host = drives_.ToHost(folder)) folders.push_back(host->lexically_normal());
  drives_.scope_ = std::move(folders);
  drives_.scoped_ = true;
}

std::string DriveFormRefusal(const fs::path& hostPath) {
  std::error_code ec;
  fs::path host = fs::absolute(hostPath, ec).lexically_normal();
  for (const fs::path& name : host)
    if (name.string().find('\\') != std::string::npos)
      return "フォルダ名「" + name.string() +
             "」に「\\」があります (ドライブ形式のパスでは区切りになり、別のフォルダを指します)";
  return "";
}

std::optional<std::string> DriveMap::ToDriveForm(const fs::path& hostPath) const {
  std::error_code ec;
  fs::path host = fs::absolute(hostPath, ec).lexically_normal();
  if (ec || !DriveFormRefusal(host).empty()) return std::nullopt;
  std::string hostText = host.string();
  if (hostText.size() > 1 && hostText.back() == '/') hostText.pop_back();
  std::optional<std::string> best;
  std::size_t bestLength = 0;
  for (const auto& [letter, rootPath] : roots_) {
    std::string root = fs::absolute(rootPath, ec).lexically_normal().string();
    if (root.size() > 1 && root.back() == '/') root.pop_back();
    bool holds = hostText == root || (hostText.compare(0, root.size(), root) == 0 &&
                                      (root == "/" || (hostText.size() > root.size() && hostText[root.size()] == '/')));
    if (!holds || (best && root.size() <= bestLength)) continue;
    std::string rest = hostText.substr(root == "/" ? 1 : root.size());
    if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    std::replace(rest.begin(), rest.end(), '/', '\\');
    best = std::string(1, letter) + ":\\" + rest;
    bestLength = root.size();
  }
  return best;
}

std::string DriveMap::CommandLinePathToDriveForm(const std::string& text) const {
  if (text.size() >= 2 && text[1] == ':' && IsLetter(text[0])) {
    // "Z:/data/b01" names what "Z:\data\b01" does; the run splits the drive form at "\" only.
    std::string drive = text;
    std::replace(drive.begin(), drive.end(), '/', '\\');
    return drive;
  }
  if (auto drive = ToDriveForm(fs::path(text))) return *drive;
  return text;
}

}  // namespace zk::platform
