// What the fuzz targets share: a private folder for the files they write, and a check that
// stops the fuzzer on a broken promise (a crash is what libFuzzer keeps as an artifact).
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/drives.h"

namespace zk::fuzz {

// Under ZK_FUZZ_WORK when set (the test script gives a folder of its build, removed after the
// run, so that nothing stays behind even when a crash skips the clean-up at exit).
inline const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    const char* base = std::getenv("ZK_FUZZ_WORK");
    std::filesystem::path root = base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    std::filesystem::path p = root / ("zk-fuzz-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    std::atexit([] { std::filesystem::remove_all(WorkFolder()); });
    return p;
  }();
  return folder;
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string DriveForm(const std::filesystem::path& host) {
  return *platform::DriveMap::FromEnvironment().ToDriveForm(host);
}

#define ZK_FUZZ_CHECK(condition)                                                    \
  do {                                                                              \
    if (!(condition)) {                                                             \
      std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

}  // namespace zk::fuzz
