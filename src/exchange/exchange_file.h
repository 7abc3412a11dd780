// The exchange file being written: records of quoted fields, CR LF, in CP932.
//
// It is written under a temporary name beside its real one and renamed only when the last
// block is in, so a failed or killed run never leaves a cut-short file under an exchange
// file's name, and an earlier file of that name stays as it was.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace zk {

// What a temporary file is called while its run writes it: the real name with this ending.
inline constexpr const char* kPartialSuffix = ".converting";

class ExchangeFile {
 public:
  ExchangeFile() = default;
  ~ExchangeFile();
  ExchangeFile(const ExchangeFile&) = delete;
  ExchangeFile& operator=(const ExchangeFile&) = delete;

  // Starts the file folder\name (drive form) under its temporary name.
  Status Create(const std::string& folder, const std::string& name);
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
  // Finishes (when not yet done) and renames the file to its real name. On failure nothing
  // remains under the temporary name and an earlier file of the real name is as it was.
  Status Commit();
  // Removes the temporary file (a run that stops after creating it).
  void Abandon();

  const std::string& drivePath() const { return drivePath_; }

 private:
  template <class Fields>
  void PutRecord(std::string_view key, std::string_view boringIdField, std::string_view subNumber,
                 const Fields& fields);
  void Put(std::string_view text);
  void Flush();

  std::FILE* file_ = nullptr;
  std::string drivePath_;
  std::string hostFinal_;
  std::string hostTemp_;
  std::string pending_;  // UTF-8 not yet written
  Status status_;
  bool discarding_ = false;
};

// A small text file (CP932) written complete under its temporary name by Stage and put in
// place by Commit, so that the old file stays whole until the new one is. Removes its
// temporary file when it ends uncommitted.
class StagedTextFile {
 public:
  StagedTextFile() = default;
  ~StagedTextFile();
  StagedTextFile(const StagedTextFile&) = delete;
  StagedTextFile& operator=(const StagedTextFile&) = delete;

  Status Stage(const std::string& drivePath, const std::string& utf8);
  Status Commit();

 private:
  std::string drivePath_;
  std::string hostFinal_;
  std::string hostTemp_;
};

// Stage and Commit in one.
Status ReplaceTextFile(const std::string& drivePath, const std::string& utf8);

// The plain files of a folder, in listing order, after removing the leftovers of killed runs:
// files named like an exchange file (or "BORLING.NO") with kPartialSuffix.
std::vector<std::string> ListRemovingPartialFiles(const std::string& folder);

}  // namespace zk
