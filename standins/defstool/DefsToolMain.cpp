// defstool: writes the working and the shipped definitions files from a plain list.
//
//   defstool working PLAIN.ini OUT.hwd             scrambled INI text (the working file)
//   defstool shipped PLAIN.ini OUT.hwd MM/DD/YYYY  the encrypted shipped file
//   defstool import OUT.ini FEED...                 a plain list from phishing feeds
//
// Every entry that would not read back as written is reported on standard error
// and nothing is written. Entries that no matcher would ever read (an unknown
// section, a key other than the section's prefix and counter, an entry behind the
// end of its list) are noted on standard error, and the file is written.
// Exit code: 0 written, 1 entries refused, 2 usage or file error.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/FeedImport.h"
#include "standins/defstool/ReadBackCheck.h"
#include "standins/defstool/ShippedDefinitions.h"
#include "standins/defstool/Vocabulary.h"

namespace {

int Usage() {
  std::cerr << "usage: defstool working PLAIN.ini OUT.hwd\n"
               "       defstool shipped PLAIN.ini OUT.hwd MM/DD/YYYY\n"
               "       defstool import OUT.ini FEED...\n";
  return 2;
}

bool ReadWholeFile(const std::string& strPath, std::string& strText) {
  std::ifstream in(strPath, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  strText = text.str();
  return !in.bad();
}

bool WriteWholeFile(const std::string& strPath, const std::string& strData) {
  {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    if (out && out.write(strData.data(), static_cast<std::streamsize>(strData.size())) && out.flush()) return true;
  }
  std::remove(strPath.c_str());  // no half-written definitions file
  return false;
}

// Feeds of every known format into one plain list, duplicates and entries that
// cannot be stored left out. Exit code 0 when the list was written (even empty).
int ImportFeeds(int argc, char** argv) {
  const std::string strOutput = argv[2];
  CFeedImport import;
  for (int i = 3; i < argc; ++i) {
    std::string strFeed, strError;
    if (!ReadWholeFile(argv[i], strFeed)) {
      std::cerr << "defstool: cannot read " << argv[i] << "\n";
      return 2;
    }
    if (!import.AddFeed(argv[i], strFeed, strError)) {
      std::cerr << argv[i] << ": " << strError << "; nothing written\n";
      return 1;
    }
  }
  for (const auto& strNote : import.Notes()) std::cerr << strNote << "\n";
  if (!WriteWholeFile(strOutput, import.WritePlainList())) {
    std::cerr << "defstool: cannot write " << strOutput << "\n";
    return 2;
  }
  std::cout << "defstool: kept " << import.CountKept() << " entries (HostIP " << import.CountHostAddresses()
            << ", HostLink " << import.CountHostLinks() << "); dropped " << import.CountDuplicates() << " duplicates, "
            << import.CountUnstorable() << " that cannot be stored, " << import.CountMalformed() << " malformed\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "import") return ImportFeeds(argc, argv);
  if (argc < 4) return Usage();
  const std::string strCommand = argv[1];
  const bool bShipped = strCommand == "shipped";
  if (!bShipped && strCommand != "working") return Usage();
  if (argc != (bShipped ? 5 : 4)) return Usage();
  const std::string strInput = argv[2], strOutput = argv[3];

  std::string strPlain;
  if (!ReadWholeFile(strInput, strPlain)) {
    std::cerr << "defstool: cannot read " << strInput << "\n";
    return 2;
  }
  DefinitionsList list;
  std::string strError;
  if (!ParsePlainDefinitions(strPlain, list, strError)) {
    std::cerr << strInput << ": " << strError << "\n";
    return 1;
  }
  const auto faults = FindReadBackFaults(list);
  for (const auto& strFault : faults) std::cerr << strInput << ": " << strFault << "\n";
  if (!faults.empty()) {
    std::cerr << "defstool: " << faults.size() << " entries would not read back as written; nothing written\n";
    return 1;
  }

  // Entries no matcher would see are only noted: the file is still written.
  for (const auto& strNote : FindUnusedEntries(list)) std::cerr << strInput << ": note: " << strNote << "\n";

  std::string strData = WriteWorkingDefinitions(list);
  if (bShipped) {
    std::string strFile;
    if (!WriteShippedDefinitions(strData, argv[4], strFile, strError)) {
      std::cerr << "defstool: " << strError << "\n";
      return 1;
    }
    strData.swap(strFile);
  }
  if (!WriteWholeFile(strOutput, strData)) {
    std::cerr << "defstool: cannot write " << strOutput << "\n";
    return 2;
  }
  return 0;
}
