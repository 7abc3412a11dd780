// The identity of a file from a status already taken (the POSIX side's own helper).
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/files.h"

namespace zk::platform {

std::optional<FileIdentity> IdentityOf(const std::string& hostPath, const struct stat& status);

}  // namespace zk::platform
