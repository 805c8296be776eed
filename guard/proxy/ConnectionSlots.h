// Which client connections the web proxy serves: at most a number at once, and
// fewer for any one program, so that no local process (one that opens
// connections and sends nothing, or many idle tunnels) takes them all. When the
// limit is reached the connection idle for longest is closed to make room; only
// when none is idle is the new one refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

class CConnectionSlots {
 public:
  CConnectionSlots(std::size_t nMaxConnections, std::size_t nMaxPerProgram);

  struct SAdmission {
    bool bAdmitted = false;
    std::uint64_t nId = 0;     // the new connection's, when admitted
    std::uint64_t nEvict = 0;  // a connection to close for it; 0 for none
  };
  // A connection of the program dwProgram (its process id; 0 when unknown), at
  // tick ullNow. New connections count as idle until they have sent a head.
  SAdmission Admit(unsigned long dwProgram, unsigned long long ullNow);
  void SetIdle(std::uint64_t nId, bool bIdle, unsigned long long ullNow);
  void Remove(std::uint64_t nId);
  std::size_t Count() const { return m_connections.size(); }

 private:
  struct SConnection {
    unsigned long dwProgram = 0;
    bool bIdle = true;
    unsigned long long ullIdleSince = 0;
  };
  // The idle connection, of dwProgram only when bOfProgram, idle for longest; 0 for none.
  std::uint64_t LongestIdle(bool bOfProgram, unsigned long dwProgram) const;

  const std::size_t m_nMaxConnections;
  const std::size_t m_nMaxPerProgram;
  std::uint64_t m_nNextId = 1;
  std::map<std::uint64_t, SConnection> m_connections;
  std::map<unsigned long, std::size_t> m_perProgram;
};
