#include "exchange/exchange_file.h"

#include <algorithm>
#include <filesystem>
#include <streambuf>

#include "exchange/record_frame.h"
#include "platform/codepage.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace zk {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;
// A temporary name already taken (another run drew the same random part) is drawn again.
constexpr int kTemporaryNameTries = 16;

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

bool AllOf(std::string_view text, bool (*ok)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), ok);
}
bool Digit(char c) { return c >= '0' && c <= '9'; }
bool Hex(char c) { return Digit(c) || (c >= 'a' && c <= 'f'); }
bool MachineChar(char c) { return Digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'; }

// "53393681.001.converting" or "BORLING.NO.converting": what a run wrote before temporary
// names carried their owner.
bool OldTemporary(std::string_view base) {
  if (base == "BORLING.NO") return true;
  if (base.size() != 12 || base[8] != '.') return false;
  return AllOf(base.substr(0, 8), Digit) && AllOf(base.substr(9), Digit);
}

struct Owner {
  std::string machine;
  long process = 0;
};

// The owner of a temporary name "<name>.<machine>_<process>_<random>.converting".
bool OwnerOf(std::string_view base, Owner& owner) {
  std::size_t dot = base.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  std::string_view tag = base.substr(dot + 1);
  std::size_t first = tag.find('_');
  std::size_t last = tag.rfind('_');
  if (first == std::string_view::npos || first == last) return false;
  std::string_view machine = tag.substr(0, first);
  std::string_view process = tag.substr(first + 1, last - first - 1);
  std::string_view random = tag.substr(last + 1);
  if (!AllOf(machine, MachineChar) || machine.size() > 32 || !AllOf(process, Digit) || process.size() > 9 ||
      random.size() != 8 || !AllOf(random, Hex))
    return false;
  owner.machine = std::string(machine);
  owner.process = std::stol(std::string(process));
  return true;
}

std::string Unwritable(const std::string& reason) { return "書き込めません (" + reason + ")"; }

// A new file beside host final under a temporary name of this run; kNoFile and a status on
// failure.
platform::FileHandle CreateTemporary(const fs::path& hostFinal, const std::string& drivePath, std::string& hostTemp,
                                     Status& status) {
  std::string reason;
  for (int i = 0; i < kTemporaryNameTries; ++i) {
    fs::path temp =
        hostFinal.parent_path() / platform::HostPath(TemporaryNameFor(platform::HostText(hostFinal.filename())));
    bool exists = false;
    platform::FileHandle file = platform::CreateNewFile(temp, exists, reason);
    if (file != platform::kNoFile) {
      hostTemp = platform::HostText(temp);
      return file;
    }
    if (!exists) break;
  }
  status = Status::Failed(Fault::Unwritable, drivePath, Unwritable(reason));
  return platform::kNoFile;
}

// A stream's bytes straight into a file, a block at a time; the first failure is kept and
// ends the writing.
class FileBuffer : public std::streambuf {
 public:
  explicit FileBuffer(platform::FileHandle file) : file_(file) { setp(block_, block_ + sizeof block_); }
  const std::string& reason() const { return reason_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    if (!reason_.empty()) return false;
    std::string_view bytes(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(block_, block_ + sizeof block_);
    return platform::WriteToFile(file_, bytes, reason_);
  }

  platform::FileHandle file_;
  std::string reason_;
  char block_[1 << 16];
};

// What puts bytes into a staged file's stream as they are.
std::function<void(std::ostream&)> Writing(std::string_view bytes) {
  return [bytes](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); };
}

// Text with a character CP932 has not, told as a fault of the file it was for.
Status Unencodable(const std::string& drivePath) {
  return Status::Failed(Fault::Unwritable, drivePath, "Shift-JIS (CP932) で書けない文字があります");
}

// The folder's new entry made durable; a failure told as a fault of the file it names.
Status SyncFolderOf(const std::string& hostFinal, const std::string& drivePath) {
  std::string reason;
  if (platform::SyncFolder(platform::HostPath(hostFinal).parent_path(), reason)) return Status::Ok();
  return Status::Failed(Fault::Unwritable, drivePath, "フォルダに保存できません (" + reason + ")");
}

}  // namespace

std::string TemporaryNameFor(const std::string& name) {
  return name + "." + platform::MachineName() + "_" + std::to_string(platform::CurrentProcessId()) + "_" +
         platform::RandomHex() + kPartialSuffix;
}

bool IsTemporaryName(const std::string& name) {
  if (!EndsWith(name, kPartialSuffix)) return false;
  std::string_view base = std::string_view(name).substr(0, name.size() - std::string_view(kPartialSuffix).size());
  Owner owner;
  return OldTemporary(base) || OwnerOf(base, owner);
}

bool IsStaleTemporary(const std::string& name, long long ageSeconds) {
  if (!EndsWith(name, kPartialSuffix)) return false;
  std::string_view base = std::string_view(name).substr(0, name.size() - std::string_view(kPartialSuffix).size());
  if (OldTemporary(base)) return true;
  Owner owner;
  if (!OwnerOf(base, owner)) return false;
  if (ageSeconds > kStaleAfterSeconds) return true;
  // Another machine's processes cannot be asked about: its files wait for their age.
  return owner.machine == platform::MachineName() && !platform::ProcessAlive(owner.process);
}

ExchangeFile::~ExchangeFile() { Abandon(); }

Status ExchangeFile::Create(const platform::DriveMap& drives, const std::string& folder, const std::string& name,
                            platform::Cp932Encoder* encoder) {
  encoder_ = encoder ? encoder : &ownEncoder_;
  drivePath_ = folder + "\\" + name;
  status_ = Status::Ok();
  auto host = drives.ToHost(drivePath_);
  if (!host) {
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "書き込めません (ドライブが使えません)");
    return status_;
  }
  hostFinal_ = platform::HostText(*host);
  file_ = CreateTemporary(*host, drivePath_, hostTemp_, status_);
  return status_;
}

void ExchangeFile::CreateDiscarding(const std::string& folder, const std::string& name) {
  drivePath_ = folder + "\\" + name;
  status_ = Status::Ok();
  discarding_ = true;
}

void ExchangeFile::Flush() {
  if (file_ == platform::kNoFile || !status_ || discarding_) {
    pending_.clear();
    return;
  }
  auto bytes = encoder_->Encode(pending_);
  pending_.clear();
  if (!bytes) {
    status_ = Unencodable(drivePath_);
    return;
  }
  std::string reason;
  if (!platform::WriteToFile(file_, *bytes, reason))
    status_ = Status::Failed(Fault::Unwritable, drivePath_, Unwritable(reason));
}

template <class Fields>
void ExchangeFile::PutRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                             const Fields& fields) {
  // Straight onto what is waiting to be written: a record is built once, not copied again.
  AppendRecordLine(pending_, key, boringIdField, subNumber, fields);
  if (pending_.size() >= kFlushAt) Flush();
}

void ExchangeFile::WriteRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                               std::initializer_list<std::string_view> fields) {
  PutRecord(key, boringIdField, subNumber, fields);
}

void ExchangeFile::WriteRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                               std::span<const std::string> fields) {
  PutRecord(key, boringIdField, subNumber, fields);
}

Status ExchangeFile::Finish() {
  if (file_ == platform::kNoFile) return status_;
  Flush();
  platform::FileHandle file = file_;
  file_ = platform::kNoFile;
  std::string reason;
  if (!platform::SyncAndCloseFile(file, reason) && status_)
    status_ = Status::Failed(Fault::Unwritable, drivePath_, Unwritable(reason));
  if (!status_) Abandon();
  return status_;
}

Status ExchangeFile::Commit(bool replace) {
  if (Status s = Finish(); !s) return s;
  if (hostTemp_.empty()) return status_;  // already committed, or never created
  std::string reason;
  if (replace) {
    if (!platform::ReplaceName(platform::HostPath(hostTemp_), platform::HostPath(hostFinal_), reason))
      status_ = Status::Failed(Fault::Unwritable, drivePath_, "名前を付けられません (" + reason + ")");
  } else {
    switch (platform::ClaimName(platform::HostPath(hostTemp_), platform::HostPath(hostFinal_), reason)) {
      case platform::Claim::Claimed:
        break;
      case platform::Claim::Taken:
        status_ = Status::Failed(Fault::NameTaken, drivePath_, "この名前のファイルが先にできました");
        break;
      case platform::Claim::Failed:
        status_ = Status::Failed(Fault::Unwritable, drivePath_, "名前を付けられません (" + reason + ")");
        break;
    }
  }
  if (!status_) {
    Abandon();
    return status_;
  }
  hostTemp_.clear();
  status_ = SyncFolderOf(hostFinal_, drivePath_);
  return status_;
}

void ExchangeFile::Abandon() {
  platform::CloseFile(file_);
  file_ = platform::kNoFile;
  if (!hostTemp_.empty()) platform::RemoveEntry(platform::HostPath(hostTemp_));
  hostTemp_.clear();
  pending_.clear();
}

StagedTextFile::~StagedTextFile() {
  if (!hostTemp_.empty()) platform::RemoveEntry(platform::HostPath(hostTemp_));
}

Status StagedTextFile::Stage(const platform::DriveMap& drives, const std::string& drivePath, const std::string& utf8) {
  auto bytes = platform::ToCp932(utf8);
  if (!bytes) return Unencodable(drivePath);
  return StageBytes(drives, drivePath, *bytes);
}

Status StagedTextFile::StageHost(const fs::path& host, const std::string& drivePath, const std::string& utf8) {
  auto bytes = platform::ToCp932(utf8);
  if (!bytes) return Unencodable(drivePath);
  return StageHostStream(host, drivePath, Writing(*bytes));
}

Status StagedTextFile::StageBytes(const platform::DriveMap& drives, const std::string& drivePath,
                                  std::string_view bytes) {
  return StageStream(drives, drivePath, Writing(bytes));
}

Status StagedTextFile::StageStream(const platform::DriveMap& drives, const std::string& drivePath,
                                   const std::function<void(std::ostream&)>& write) {
  auto host = drives.ToHost(drivePath);
  if (!host) return Status::Failed(Fault::Unwritable, drivePath, "書き込めません (ドライブが使えません)");
  return StageHostStream(*host, drivePath, write);
}

Status StagedTextFile::StageHostStream(const fs::path& host, const std::string& drivePath,
                                       const std::function<void(std::ostream&)>& write) {
  drivePath_ = drivePath;
  hostFinal_ = platform::HostText(host);
  Status status;
  std::string temp;
  platform::FileHandle file = CreateTemporary(host, drivePath, temp, status);
  if (file == platform::kNoFile) return status;
  hostTemp_ = temp;
  FileBuffer buffer(file);
  {
    std::ostream out(&buffer);
    write(out);
    out.flush();
  }
  std::string reason = buffer.reason();
  bool written = reason.empty();
  std::string closeReason;
  bool closed = written ? platform::SyncAndCloseFile(file, closeReason) : (platform::CloseFile(file), false);
  if (written && closed) return Status::Ok();
  platform::RemoveEntry(platform::HostPath(hostTemp_));
  hostTemp_.clear();
  return Status::Failed(Fault::Unwritable, drivePath, Unwritable(written ? closeReason : reason));
}

Status StagedTextFile::Commit() {
  if (hostTemp_.empty()) return Status::Failed(Fault::Unwritable, drivePath_, "書き込めません");
  std::string reason;
  if (!platform::ReplaceName(platform::HostPath(hostTemp_), platform::HostPath(hostFinal_), reason)) {
    Status failed = Status::Failed(Fault::Unwritable, drivePath_, "名前を付けられません (" + reason + ")");
    platform::RemoveEntry(platform::HostPath(hostTemp_));
    hostTemp_.clear();
    return failed;
  }
  hostTemp_.clear();
  return SyncFolderOf(hostFinal_, drivePath_);
}

Status ReplaceTextFile(const platform::DriveMap& drives, const std::string& drivePath, const std::string& utf8) {
  StagedTextFile file;
  if (Status s = file.Stage(drives, drivePath, utf8); !s) return s;
  return file.Commit();
}

Status ReplaceFileBytes(const platform::DriveMap& drives, const std::string& drivePath, std::string_view bytes) {
  StagedTextFile file;
  if (Status s = file.StageBytes(drives, drivePath, bytes); !s) return s;
  return file.Commit();
}

Status ReplaceHostFileBytes(const fs::path& host, std::string_view bytes) {
  StagedTextFile file;
  if (Status s = file.StageHostStream(host, platform::HostText(host), Writing(bytes)); !s) return s;
  return file.Commit();
}

Status ListRemovingStaleFiles(const platform::DriveMap& drives, const std::string& folder,
                              std::vector<std::string>& names) {
  if (Status s = platform::ListPlainFiles(drives, folder, names); !s) return s;
  auto host = drives.ToHost(folder);
  std::erase_if(names, [&](const std::string& name) {
    if (!IsTemporaryName(name)) return false;
    if (host) {
      fs::path entry = *host / platform::HostPath(name);
      auto age = platform::SecondsSinceChange(entry);
      if (age && IsStaleTemporary(name, *age)) platform::RemoveEntry(entry);
    }
    return true;
  });
  return Status::Ok();
}

}  // namespace zk
