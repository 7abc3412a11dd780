// Presence test and table scanner over the field reader.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"
#include "tables/table_file.h"

namespace zk::FCOPYSUB {

// A plain file of that name exists and its length is greater than 0. Creates nothing.
bool IsPresent(const platform::DriveMap& drives, const std::string& drivePath);

enum ScanMode { kCountRows = 0, kCollectColumn = 1 };

// The table scanner. Mode kCountRows: count = the number of complete rows of fieldsPerRow
// fields (a last row cut short is not counted). Mode kCollectColumn: column[1..] = field
// columnIndex (from 1) of every complete row; column[0] stays empty. A missing table leaves
// the outputs unchanged and is no fault; any other mode reads nothing.
Status ScanTable(const TableFile& table, long& count, std::vector<std::string>& column, int mode,
                 std::size_t fieldsPerRow, std::size_t columnIndex);
// The same for the table at a drive-form path.
Status ScanTable(const platform::DriveMap& drives, const std::string& drivePath, long& count,
                 std::vector<std::string>& column, int mode, std::size_t fieldsPerRow, std::size_t columnIndex);

// Mode kCountRows alone.
Status CountRows(const TableFile& table, std::size_t fieldsPerRow, long& count);
Status CountRows(const platform::DriveMap& drives, const std::string& drivePath, std::size_t fieldsPerRow, long& count);

}  // namespace zk::FCOPYSUB
