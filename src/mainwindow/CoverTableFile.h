#pragma once
// Writing a cover-format table back into its data file.
#include <QString>

class CoverTable;

// Rewrites the data file of a medium with the records of the table, one line each (fields
// 0 to 14, numbers with ","). The file keeps its encoding and its line ends (a new or empty
// file is written in UTF-8 with CR LF). The file is replaced as a whole or not at all.
// Raises AppError when the table is unread (its file had a bad line and must stay as it
// is) or the file cannot be written.
void writeCoverTable(int medium, const CoverTable &table);
