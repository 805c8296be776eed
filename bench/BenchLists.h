// The definitions lists the benchmark reads, and the texts that match their first,
// their middle or none of their entries. Entry numbers are written with five
// digits (seven in "HostLink"), so no entry's text holds another's.
#pragma once

#include <string>

// The plain list, as the definitions tool reads it, with szEntries entries in
// every list: "N", or "N/M" for N in "HostIP", "HostLink" and "Link" and M in
// "From", "Subject" and "Text", or "N/M/L" with L in "Link".
std::string MakePlainDefinitions(const char* szEntries);

// WebAddress: the typed entry point IsBadWebAddress, asked with host, port, path
// and query of the same pages as IsBadUrl, a query added.
enum class EBenchMatcher { HostIP, Url, WebAddress, MailFrom, MailSubject, MailLinks, VisibleMailLinks, MailText };
constexpr EBenchMatcher kBenchMatchers[] = {EBenchMatcher::HostIP,      EBenchMatcher::Url,
                                            EBenchMatcher::WebAddress,  EBenchMatcher::MailFrom,
                                            EBenchMatcher::MailSubject, EBenchMatcher::MailLinks,
                                            EBenchMatcher::VisibleMailLinks, EBenchMatcher::MailText};
const char* NameOf(EBenchMatcher matcher);
// How many entries the matcher's list holds in a file of szEntries.
int ListedEntries(const char* szEntries, EBenchMatcher matcher);

// The text handed to the matcher so that entry nEntry matches; 0 for a text that
// matches nothing.
std::string QueryFor(EBenchMatcher matcher, int nEntry);
