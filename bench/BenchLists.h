// The definitions lists the benchmark reads, and the texts that match their first,
// their middle or none of their entries. Entry numbers are written with five
// digits, so no entry's text holds another's.
#pragma once

#include <string>

// The plain list with nEntries entries in every list, as the definitions tool reads it.
std::string MakePlainDefinitions(int nEntries);

enum class EBenchMatcher { HostIP, Url, MailFrom, MailSubject, MailLinks, VisibleMailLinks, MailText };
constexpr EBenchMatcher kBenchMatchers[] = {EBenchMatcher::HostIP,    EBenchMatcher::Url,
                                            EBenchMatcher::MailFrom,  EBenchMatcher::MailSubject,
                                            EBenchMatcher::MailLinks, EBenchMatcher::VisibleMailLinks,
                                            EBenchMatcher::MailText};
const char* NameOf(EBenchMatcher matcher);

// The text handed to the matcher so that entry nEntry matches; 0 for a text that
// matches nothing.
std::string QueryFor(EBenchMatcher matcher, int nEntry);
