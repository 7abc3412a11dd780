// What a conversion needs beyond the two folders it is given, held by the program that runs
// it (the window, the command line, a test) instead of by the process: the code-table folder,
// the soil-name table kept across a batch, and a way to watch which files are read.
#pragma once

#include <string>

#include "support/soil_names.h"
#include "tables/table_file.h"

namespace zk {

struct ConversionContext {
  // The code-table folder in drive form, ending in "\" as the setting writes it.
  std::string codeTableFolder;
  // The soil-name table of the last boring, parsed again only when its bytes differ.
  SoilNameTable soilNames;
  // Told the host path of every table the run opens to read (a test counts them).
  OpenHook opened;
};

}  // namespace zk
