// The layout of the working definitions file, in one place: for every list the
// matchers read, its section, its key prefix (the key of entry n is the prefix
// followed by n), the buffer a value is read into, and how an entry meets the text
// looked up. The matchers, CLSPGlobals' section names, the definitions tool and the
// benchmark all take it from here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class EDefinitionList { HostIP, HostLink, CalledLink, VisibleLink, From, Subject, Text };

// How an entry meets the text looked up; a list may be searched both ways.
enum EEntryMatch : unsigned {
  kMatchEquals = 1,     // the text equals the entry, A to Z in either case
  kMatchContains = 2,   // the lower-cased entry covers the link (LinkParts.h)
  kMatchInText = 4,     // the text contains the lower-cased entry
  kMatchShownText = 8,  // the text shown behind the paired called link equals it, A to Z in either case
};

struct SDefinitionListLayout {
  EDefinitionList list;
  const char* szSection;
  const char* szPrefix;
  // Bytes of the buffer a value is read into: values of up to cbValue - 1
  // characters read back whole; a longer one is cut, with the same count.
  std::size_t cbValue;
  unsigned nMatch;  // EEntryMatch bits
};

// "HostIP" values are read into a 100-byte buffer, so an address reads back whole
// up to 99 characters. The scrambled form of a value the tool accepts has exactly
// as many characters as the plain one (a byte whose sum is 0, the only one that
// scrambles to nothing, is refused), and the reader hands back 99 characters in 100
// bytes; only a 100th character is cut, and it gives the same count.
inline constexpr std::size_t kAddressValueSize = 100;
inline constexpr std::size_t kValueSize = 261;  // 260 characters
// A called link of this text (either case) is retired: the mail matchers skip it.
inline constexpr char kRetiredLink[] = "null";

inline constexpr SDefinitionListLayout kDefinitionLists[] = {
    {EDefinitionList::HostIP, "HostIP", "IP", kAddressValueSize, kMatchEquals},
    {EDefinitionList::HostLink, "HostLink", "HLINK", kValueSize, kMatchContains},
    {EDefinitionList::CalledLink, "Link", "CLINK", kValueSize, kMatchContains | kMatchInText},
    {EDefinitionList::VisibleLink, "Link", "VLINK", kValueSize, kMatchShownText},
    {EDefinitionList::From, "From", "FROM", kValueSize, kMatchInText},
    {EDefinitionList::Subject, "Subject", "SUB", kValueSize, kMatchInText},
    {EDefinitionList::Text, "Text", "TXT", kValueSize, kMatchInText},
};
inline constexpr std::size_t kDefinitionListCount = sizeof(kDefinitionLists) / sizeof(kDefinitionLists[0]);

const SDefinitionListLayout& LayoutOf(EDefinitionList list);
// Entries are lower-cased before they are compared, except where letters of either
// case count as equal anyway.
bool IsLowerCasedList(EDefinitionList list);
// The longest value that reads back whole in the named section: the smallest of its
// lists' limits, 260 characters for a section no matcher reads.
std::size_t ValueLimitOfSection(const char* szSection);
// The key prefixes of the lists the named section holds, in the order the
// definitions tool writes each number's keys; none for a section no matcher reads.
std::vector<const char*> KeyPrefixesOfSection(const std::string& strSection);
