// Localised texts read once per language. Every request asks for the same few
// texts, and each reading opens and parses the language file; the cache starts
// over when the current language changes. User-interface thread only.
#pragma once

#include <map>
#include <string>

class CConsoleSettings;

class CLocalTextCache {
 public:
  explicit CLocalTextCache(const CConsoleSettings& settings) : m_settings(settings) {}
  std::string Text(unsigned nStringId);

 private:
  const CConsoleSettings& m_settings;
  std::string m_strLanguage;
  std::map<unsigned, std::string> m_texts;
};
