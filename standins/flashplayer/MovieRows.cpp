#include "standins/flashplayer/MovieRows.h"

#include <utility>

namespace {

std::vector<std::string> SplitAt(const std::string& strText, char cSeparator) {
  std::vector<std::string> parts;
  for (std::size_t nStart = 0;;) {
    const std::size_t nEnd = strText.find(cSeparator, nStart);
    parts.push_back(strText.substr(nStart, nEnd - nStart));
    if (nEnd == std::string::npos) return parts;
    nStart = nEnd + 1;
  }
}

std::string CellText(std::string strValue) {
  for (char& c : strValue) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return strValue;
}

}  // namespace

int ReadRowNumber(const std::string& strText) {
  if (strText.empty() || strText.size() > 9) return -1;
  int nRow = 0;
  for (const char c : strText) {
    if (c < '0' || c > '9') return -1;
    nRow = nRow * 10 + (c - '0');
  }
  return nRow;
}

void CMovieRows::Assign(const std::string& strText) {
  m_rows.clear();
  if (strText.empty()) return;
  for (const std::string& strRow : SplitAt(strText, '\n')) m_rows.push_back(SplitAt(strRow, '\t'));
}

std::string CMovieRows::Text() const {
  std::string strText;
  for (std::size_t nRow = 0; nRow < m_rows.size(); ++nRow) {
    if (nRow) strText += '\n';
    for (std::size_t nCell = 0; nCell < m_rows[nRow].size(); ++nCell) {
      if (nCell) strText += '\t';
      strText += m_rows[nRow][nCell];
    }
  }
  return strText;
}

void CMovieRows::Append(const std::vector<std::string>& cells) {
  std::vector<std::string> row;
  row.reserve(cells.size());
  for (const std::string& strCell : cells) row.push_back(CellText(strCell));
  m_rows.push_back(std::move(row));
}

bool CMovieRows::SetCell(int nRow, int nColumn, const std::string& strValue) {
  if (nRow < 0 || nColumn < 0 || nRow >= Count()) return false;
  std::vector<std::string>& row = m_rows[static_cast<std::size_t>(nRow)];
  if (row.size() <= static_cast<std::size_t>(nColumn)) row.resize(static_cast<std::size_t>(nColumn) + 1);
  row[static_cast<std::size_t>(nColumn)] = CellText(strValue);
  return true;
}

bool CMovieRows::RemoveRow(int nRow) {
  if (nRow < 0 || nRow >= Count()) return false;
  m_rows.erase(m_rows.begin() + nRow);
  return true;
}

const std::string& CMovieRows::Cell(int nRow, int nColumn) const {
  static const std::string strNone;
  if (nRow < 0 || nColumn < 0 || nRow >= Count()) return strNone;
  const std::vector<std::string>& row = m_rows[static_cast<std::size_t>(nRow)];
  return static_cast<std::size_t>(nColumn) < row.size() ? row[static_cast<std::size_t>(nColumn)] : strNone;
}
