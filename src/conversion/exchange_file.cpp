#include "conversion/exchange_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace zk {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

std::string Reason(int error) { return std::strerror(error); }
std::string Reason() { return Reason(errno); }

bool LooksLikePartial(const std::string& name) {
  std::string suffix = kPartialSuffix;
  if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  std::string base = name.substr(0, name.size() - suffix.size());
  if (base == "BORLING.NO") return true;
  if (base.size() != 12 || base[8] != '.') return false;
  for (std::size_t i = 0; i < base.size(); ++i)
    if (i != 8 && (base[i] < '0' || base[i] > '9')) return false;
  return true;
}

using platform::CloseDurably;

}  // namespace

ExchangeFile::~ExchangeFile() { Abandon(); }

Status ExchangeFile::Create(const std::string& folder, const std::string& name) {
  drivePath_ = folder + "\\" + name;
  status_ = Status::Ok();
  auto host = platform::ToHost(drivePath_);
  if (!host) {
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "書き込めません (ドライブが使えません)");
    return status_;
  }
  hostFinal_ = platform::HostText(*host);
  hostTemp_ = hostFinal_ + kPartialSuffix;
  file_ = platform::OpenToWrite(hostTemp_);
  if (!file_) status_ = Status::Failed(Fault::Unwritable, drivePath_, "書き込めません (" + Reason() + ")");
  return status_;
}

void ExchangeFile::Put(std::string_view text) {
  pending_ += text;
  if (pending_.size() >= kFlushAt) Flush();
}

void ExchangeFile::Flush() {
  if (!file_ || !status_) {
    pending_.clear();
    return;
  }
  auto bytes = platform::ToCp932(pending_);
  pending_.clear();
  if (!bytes) {
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "Shift-JIS (CP932) で書けない文字があります");
    return;
  }
  if (std::fwrite(bytes->data(), 1, bytes->size(), file_) != bytes->size())
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "書き込めません (" + Reason() + ")");
}

template <class Fields>
void ExchangeFile::PutRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                             const Fields& fields) {
  // Straight onto what is waiting to be written: a record is built once, not copied again.
  std::string& line = pending_;
  line += '"';
  line += key;
  line += "\",";
  line += boringIdField;
  line += ",\"";
  line += subNumber;
  line += '"';
  for (std::string_view field : fields) {
    line += ",\"";
    line += field;
    line += '"';
  }
  line += "\r\n";
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
  if (!file_) return status_;
  Flush();
  std::FILE* file = file_;
  file_ = nullptr;
  int error = CloseDurably(file);
  if (error != 0 && status_)
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "書き込めません (" + Reason(error) + ")");
  if (!status_) Abandon();
  return status_;
}

Status ExchangeFile::Commit() {
  if (Status s = Finish(); !s) return s;
  if (hostTemp_.empty()) return status_;  // already committed, or never created
  if (!platform::ReplaceHostFile(hostTemp_, hostFinal_)) {
    status_ = Status::Failed(Fault::Unwritable, drivePath_, "名前を付けられません (" + Reason() + ")");
    Abandon();
    return status_;
  }
  hostTemp_.clear();
  return status_;
}

void ExchangeFile::Abandon() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!hostTemp_.empty()) platform::RemoveHostFile(hostTemp_);
  hostTemp_.clear();
  pending_.clear();
}

StagedTextFile::~StagedTextFile() {
  if (!hostTemp_.empty()) platform::RemoveHostFile(hostTemp_);
}

Status StagedTextFile::Stage(const std::string& drivePath, const std::string& utf8) {
  drivePath_ = drivePath;
  auto host = platform::ToHost(drivePath);
  if (!host) return Status::Failed(Fault::Unwritable, drivePath, "書き込めません (ドライブが使えません)");
  auto bytes = platform::ToCp932(utf8);
  if (!bytes) return Status::Failed(Fault::Unwritable, drivePath, "Shift-JIS (CP932) で書けない文字があります");
  hostFinal_ = platform::HostText(*host);
  std::string temp = hostFinal_ + kPartialSuffix;
  std::FILE* file = platform::OpenToWrite(temp);
  if (!file) return Status::Failed(Fault::Unwritable, drivePath, "書き込めません (" + Reason() + ")");
  hostTemp_ = temp;
  int error = std::fwrite(bytes->data(), 1, bytes->size(), file) == bytes->size() ? 0 : errno;
  int closeError = CloseDurably(file);
  if (error == 0) error = closeError;
  if (error == 0) return Status::Ok();
  platform::RemoveHostFile(hostTemp_);
  hostTemp_.clear();
  return Status::Failed(Fault::Unwritable, drivePath, "書き込めません (" + Reason(error) + ")");
}

Status StagedTextFile::Commit() {
  if (hostTemp_.empty()) return Status::Failed(Fault::Unwritable, drivePath_, "書き込めません");
  if (!platform::ReplaceHostFile(hostTemp_, hostFinal_)) {
    Status failed = Status::Failed(Fault::Unwritable, drivePath_, "名前を付けられません (" + Reason() + ")");
    platform::RemoveHostFile(hostTemp_);
    hostTemp_.clear();
    return failed;
  }
  hostTemp_.clear();
  return Status::Ok();
}

Status ReplaceTextFile(const std::string& drivePath, const std::string& utf8) {
  StagedTextFile file;
  if (Status s = file.Stage(drivePath, utf8); !s) return s;
  return file.Commit();
}

std::vector<std::string> ListRemovingPartialFiles(const std::string& folder) {
  std::vector<std::string> names = platform::ListPlainFiles(folder + "\\");
  std::erase_if(names, [&](const std::string& name) {
    if (!LooksLikePartial(name)) return false;
    platform::RemoveFile(folder + "\\" + name);
    return true;
  });
  return names;
}

}  // namespace zk
