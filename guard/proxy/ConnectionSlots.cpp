// The web proxy's connection slots (see ConnectionSlots.h).
#include "guard/proxy/ConnectionSlots.h"

CConnectionSlots::CConnectionSlots(std::size_t nMaxConnections, std::size_t nMaxPerProgram)
    : m_nMaxConnections(nMaxConnections), m_nMaxPerProgram(nMaxPerProgram) {}

CConnectionSlots::SAdmission CConnectionSlots::Admit(unsigned long dwProgram, unsigned long long ullNow) {
  SAdmission admission;
  const auto found = m_perProgram.find(dwProgram);
  const std::size_t nOfProgram = found == m_perProgram.end() ? 0 : found->second;
  // A program at its own limit makes room among its own connections only.
  if (nOfProgram >= m_nMaxPerProgram) {
    admission.nEvict = LongestIdle(true, dwProgram);
    if (!admission.nEvict) return admission;
  } else if (m_connections.size() >= m_nMaxConnections) {
    admission.nEvict = LongestIdle(false, 0);
    if (!admission.nEvict) return admission;
  }
  // The evicted one is closed by its owner; it stops counting now, so that one
  // eviction makes room for one connection only.
  if (admission.nEvict) Remove(admission.nEvict);
  admission.bAdmitted = true;
  admission.nId = m_nNextId++;
  SConnection& connection = m_connections[admission.nId];
  connection.dwProgram = dwProgram;
  connection.ullIdleSince = ullNow;
  ++m_perProgram[dwProgram];
  return admission;
}

void CConnectionSlots::SetIdle(std::uint64_t nId, bool bIdle, unsigned long long ullNow) {
  const auto found = m_connections.find(nId);
  if (found == m_connections.end() || found->second.bIdle == bIdle) return;
  found->second.bIdle = bIdle;
  if (bIdle) found->second.ullIdleSince = ullNow;
}

void CConnectionSlots::Remove(std::uint64_t nId) {
  const auto found = m_connections.find(nId);
  if (found == m_connections.end()) return;
  const auto program = m_perProgram.find(found->second.dwProgram);
  if (program != m_perProgram.end() && --program->second == 0) m_perProgram.erase(program);
  m_connections.erase(found);
}

std::uint64_t CConnectionSlots::LongestIdle(bool bOfProgram, unsigned long dwProgram) const {
  std::uint64_t nOldest = 0;
  unsigned long long ullOldest = 0;
  for (const auto& entry : m_connections) {
    const SConnection& connection = entry.second;
    if (!connection.bIdle || (bOfProgram && connection.dwProgram != dwProgram)) continue;
    if (!nOldest || connection.ullIdleSince < ullOldest) {
      nOldest = entry.first;
      ullOldest = connection.ullIdleSince;
    }
  }
  return nOldest;
}
