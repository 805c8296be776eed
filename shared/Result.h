// The result of an operation the project defines: success, or the Win32 error code
// that says why it failed (ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ...), with a
// text of its own where the code alone does not say it (an internal error).
// Platform-free: the codes are plain numbers here; ResultMessage in Result_win.h
// gives the system's text for them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// The few system codes that platform-free code names itself.
enum : std::uint32_t {
  RESULT_SUCCESS = 0,             // ERROR_SUCCESS
  RESULT_FILE_NOT_FOUND = 2,      // ERROR_FILE_NOT_FOUND
  RESULT_ACCESS_DENIED = 5,       // ERROR_ACCESS_DENIED
  RESULT_INVALID_DATA = 13,       // ERROR_INVALID_DATA
  RESULT_INVALID_PARAMETER = 87,  // ERROR_INVALID_PARAMETER
  RESULT_CANT_WRITE = 1013,       // ERROR_CANTWRITE
  RESULT_INTERNAL_ERROR = 1359,   // ERROR_INTERNAL_ERROR
};

class [[nodiscard]] CResult {
 public:
  // Success.
  CResult() = default;
  explicit CResult(std::uint32_t dwCode) : m_dwCode(dwCode) {}
  CResult(std::uint32_t dwCode, std::string strText) : m_dwCode(dwCode), m_strText(std::move(strText)) {}

  bool IsOk() const { return m_dwCode == RESULT_SUCCESS; }
  std::uint32_t Code() const { return m_dwCode; }
  // The failure's own text; empty when the code's system text says it.
  const std::string& Text() const { return m_strText; }

 private:
  std::uint32_t m_dwCode = RESULT_SUCCESS;
  std::string m_strText;
};

// The result of an operation that gives a value when it succeeds: the value, or the
// failure that says why there is none.
template <class T>
class [[nodiscard]] CResultOf {
 public:
  CResultOf(T value) : m_value(std::move(value)) {}
  // A failure; a success without a value is a fault of the caller's, never a value.
  CResultOf(CResult failure)
      : m_result(failure.IsOk() ? CResult(RESULT_INTERNAL_ERROR, "no value") : std::move(failure)) {}

  bool IsOk() const { return m_result.IsOk(); }
  const CResult& Result() const { return m_result; }
  const T& Value() const { return m_value; }
  T& Value() { return m_value; }

 private:
  CResult m_result;
  T m_value{};
};
