#include "console/settings/LocalTextCache_win.h"

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"

std::string CLocalTextCache::Text(unsigned nStringId) {
  if (m_settings.m_strLanguage != m_strLanguage) {
    m_texts.clear();
    m_strLanguage = m_settings.m_strLanguage;
  }
  const auto it = m_texts.find(nStringId);
  if (it != m_texts.end()) return it->second;
  return m_texts[nStringId] = LoadLocalString(m_settings, nStringId);
}
