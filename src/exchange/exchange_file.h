// The exchange file being written: records of quoted fields, CR LF, in CP932.
//
// It is written under a temporary name of its own run beside its real one and takes its name
// only when the last block is in, so a failed or killed run never leaves a cut-short file
// under an exchange file's name, and no run writes into, or over, another run's file.
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/status.h"

namespace zk {

// What a temporary file is called while its run writes it: its real name, the machine, the
// process and a random part, and this ending: 53393681.001.pc1_4242_9f3a2c1e.converting.
inline constexpr const char* kPartialSuffix = ".converting";
// A temporary file this old is a leftover whoever wrote it.
inline constexpr long long kStaleAfterSeconds = 3600;

// A new temporary name for a file to be called name.
std::string TemporaryNameFor(const std::string& name);
// A temporary file of this program that no live run owns: its process on this machine is
// gone, or it is older than kStaleAfterSeconds, or it has the form of older versions
// ("53393681.001.converting", "BORLING.NO.converting"), which carries no owner.
bool IsStaleTemporary(const std::string& name, long long ageSeconds);
// Any temporary file of this program, live or not.
bool IsTemporaryName(const std::string& name);

class ExchangeFile {
 public:
  ExchangeFile() = default;
  ~ExchangeFile();
  ExchangeFile(const ExchangeFile&) = delete;
  ExchangeFile& operator=(const ExchangeFile&) = delete;

  // Starts the file folder\name (drive form) under a temporary name of its own. Its text goes
  // to CP932 through encoder when given (one that remembers the names of the files written
  // before it), else through one of its own.
  Status Create(const platform::DriveMap& drives, const std::string& folder, const std::string& name,
                platform::Cp932Encoder* encoder = nullptr);
  // Takes every record and writes nothing anywhere: a check runs the conversion through it.
  void CreateDiscarding(const std::string& folder, const std::string& name);

  // One record: key, the boring id field (already quoted, written unchanged), the
  // sub-number, then the data fields, each quoted.
  void WriteRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                   std::initializer_list<std::string_view> fields = {});
  // The same with fields made at run time (the table writers' rows).
  void WriteRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                   std::span<const std::string> fields);

  // Ok while every write has succeeded; else the first fault.
  const Status& status() const { return status_; }

  // Flushes and closes the file with its bytes on the disk, still under its temporary name.
  // On failure the temporary file is removed.
  Status Finish();
  // Finishes (when not yet done) and gives the file its real name: only while no entry of
  // that name exists (Fault::NameTaken otherwise, the entry untouched), or, with replace, over
  // the file of that name. On failure nothing remains under the temporary name and an entry
  // of the real name is as it was.
  Status Commit(bool replace = false);
  // Removes the temporary file (a run that stops after creating it).
  void Abandon();

  const std::string& drivePath() const { return drivePath_; }

 private:
  template <class Fields>
  void PutRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                 const Fields& fields);
  void Flush();

  platform::FileHandle file_ = platform::kNoFile;
  platform::Cp932Encoder ownEncoder_;
  platform::Cp932Encoder* encoder_ = &ownEncoder_;
  std::string drivePath_;
  std::string hostFinal_;
  std::string hostTemp_;
  std::string pending_;  // UTF-8 not yet written
  Status status_;
  bool discarding_ = false;
};

// A small file written complete under a temporary name by Stage and put in place by Commit
// (over the old one), so that the old file stays whole until the new one is. Removes its
// temporary file when it ends uncommitted.
class StagedTextFile {
 public:
  StagedTextFile() = default;
  ~StagedTextFile();
  StagedTextFile(const StagedTextFile&) = delete;
  StagedTextFile& operator=(const StagedTextFile&) = delete;

  // UTF-8 text, written in CP932.
  Status Stage(const platform::DriveMap& drives, const std::string& drivePath, const std::string& utf8);
  // The same for a file whose host path was found before.
  Status StageHost(const std::filesystem::path& host, const std::string& drivePath, const std::string& utf8);
  // Bytes written as they are.
  Status StageBytes(const platform::DriveMap& drives, const std::string& drivePath, std::string_view bytes);
  // Bytes as write puts them into the stream, written as they come: a large file is never
  // held whole in memory.
  Status StageStream(const platform::DriveMap& drives, const std::string& drivePath,
                     const std::function<void(std::ostream&)>& write);
  // The same for a file known by its host path only (the settings file, a map), named in
  // messages by shown.
  Status StageHostStream(const std::filesystem::path& host, const std::string& shown,
                         const std::function<void(std::ostream&)>& write);
  Status Commit();

 private:
  std::string drivePath_;
  std::string hostFinal_;
  std::string hostTemp_;
};

// Stage and Commit in one.
Status ReplaceTextFile(const platform::DriveMap& drives, const std::string& drivePath, const std::string& utf8);
Status ReplaceFileBytes(const platform::DriveMap& drives, const std::string& drivePath, std::string_view bytes);
Status ReplaceHostFileBytes(const std::filesystem::path& host, std::string_view bytes);

// The plain files of a folder, in listing order, after removing the temporary files that no
// live run owns; temporary files (stale or not) are left out of the names. Fails when the
// folder cannot be listed.
Status ListRemovingStaleFiles(const platform::DriveMap& drives, const std::string& folder,
                              std::vector<std::string>& names);

}  // namespace zk
