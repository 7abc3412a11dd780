// What a conversion needs beyond the two folders it is given, held by the program that runs
// it (the window, the command line, a test) instead of by the process: the code-table folder,
// the soil-name table kept across a batch, and a way to watch which files are read.
#pragma once

#include <memory>
#include <string>

#include "conversion/numbering.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "support/soil_names.h"
#include "tables/snapshot.h"
#include "tables/table_file.h"

namespace zk {

struct ConversionContext {
  // The drives the runs see, with their current drive and folders and the scope of a run:
  // made by whoever makes the context, from the environment.
  platform::DriveMap drives;
  // The code-table folder in drive form, ending in "\" as the setting writes it.
  std::string codeTableFolder;
  // The code tables as the first boring of a batch took them: a batch reads them once. The
  // window lets each run take them again (an edit between two runs counts).
  std::shared_ptr<const CodeTables> codeTables;
  // The soil-name table, parsed once from the code tables it was taken with.
  SoilNameTable soilNames;
  std::shared_ptr<const CodeTables> soilNamesFrom;
  // Told the host path of every table the run opens to read (a test counts them).
  OpenHook opened;
  // The destination's names, listed by the first run into it: a batch into one folder lists
  // it once, not once per boring.
  DestinationListing destination;
  // Writes the exchange files' text in CP932, remembering the names met in the files before.
  platform::Cp932Encoder encoder;
};

}  // namespace zk
