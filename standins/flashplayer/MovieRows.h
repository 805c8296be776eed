// The rows of one list of a movie, kept as rows so that adding or changing one
// costs the same at row 10 and at row 10,000. A list variable's text form holds
// the rows one per line, cells separated by tabs; tabs and line breaks inside a
// cell become blanks.
#pragma once

#include <string>
#include <vector>

// The row a command argument or a variable names: decimal digits only, at most
// nine of them; -1 for anything else ("undefined", "-1", "", "2x").
int ReadRowNumber(const std::string& strText);

class CMovieRows {
 public:
  // Replaces the rows by those of a text; the empty text has none.
  void Assign(const std::string& strText);
  std::string Text() const;

  void Append(const std::vector<std::string>& cells);
  // Cell nColumn of row nRow (missing cells are added empty); false, changing
  // nothing, when the row is not there.
  bool SetCell(int nRow, int nColumn, const std::string& strValue);
  // Later rows move up by one; false, changing nothing, when the row is not there.
  bool RemoveRow(int nRow);

  int Count() const { return static_cast<int>(m_rows.size()); }
  // The empty text for a cell that is not there.
  const std::string& Cell(int nRow, int nColumn) const;

 private:
  std::vector<std::vector<std::string>> m_rows;
};
