// defstool: writes the working and the shipped definitions files from a plain list.
//
//   defstool working PLAIN.ini OUT.hwd             scrambled INI text (the working file)
//   defstool shipped PLAIN.ini OUT.hwd MM/DD/YYYY[.N]  the encrypted shipped file
//   defstool import [--shared FILE]... [--public-suffixes FILE] OUT.ini FEED...
//                                                  a plain list from phishing feeds
//   defstool difference OLD.ini NEW.ini OUT.hwdiff  the entries added and removed
//                                                  (exit code 3: the lists allow none)
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
#include <utility>

#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/DifferenceMaker.h"
#include "standins/defstool/FeedImport.h"
#include "standins/defstool/ReadBackCheck.h"
#include "standins/defstool/ShippedDefinitions.h"
#include "standins/defstool/Vocabulary.h"

namespace {

int Usage() {
  std::cerr << "usage: defstool working PLAIN.ini OUT.hwd\n"
               "       defstool shipped PLAIN.ini OUT.hwd MM/DD/YYYY[.N]\n"
               "       defstool import [--shared FILE]... [--public-suffixes FILE] OUT.ini FEED...\n"
               "       defstool difference OLD.ini NEW.ini OUT.hwdiff\n";
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

// Where Debian's publicsuffix package keeps the Public Suffix List.
constexpr char kPublicSuffixList[] = "/usr/share/publicsuffix/public_suffix_list.dat";

// Feeds of every known format into one plain list, duplicates and entries that
// cannot be stored left out, hosts listed whole unless shared. Exit code 0 when
// the list was written (even empty).
int ImportFeeds(int argc, char** argv) {
  CFeedImport import;
  std::string strSuffixList = kPublicSuffixList;
  bool bSuffixListNamed = false;
  int i = 2;
  for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
    const std::string strOption = argv[i];
    std::string strText;
    if (strOption == "--public-suffixes") {
      strSuffixList = argv[i + 1];
      bSuffixListNamed = true;
      continue;
    }
    if (strOption != "--shared") return Usage();
    if (!ReadWholeFile(argv[i + 1], strText)) {
      std::cerr << "defstool: cannot read " << argv[i + 1] << "\n";
      return 2;
    }
    std::cout << "defstool: " << import.SharedHosts().AddHosts(strText) << " shared hosts from " << argv[i + 1] << "\n";
  }
  if (argc - i < 2) return Usage();
  std::string strSuffixes;
  if (ReadWholeFile(strSuffixList, strSuffixes)) {
    import.SharedHosts().AddPublicSuffixList(strSuffixes);
  } else if (bSuffixListNamed) {
    std::cerr << "defstool: cannot read " << strSuffixList << "\n";
    return 2;
  } else {
    std::cerr << "defstool: note: no Public Suffix List at " << strSuffixList
              << " (package publicsuffix): only the tool's own list of platforms is known\n";
  }
  const std::string strOutput = argv[i];
  for (++i; i < argc; ++i) {
    std::string strFeed;
    if (!ReadWholeFile(argv[i], strFeed)) {
      std::cerr << "defstool: cannot read " << argv[i] << "\n";
      return 2;
    }
    const CResult added = import.AddFeed(argv[i], strFeed);
    if (!added.IsOk()) {
      std::cerr << argv[i] << ": " << added.Text() << "; nothing written\n";
      return 1;
    }
  }
  for (const auto& strNote : import.Notes()) std::cerr << strNote << "\n";
  if (!WriteWholeFile(strOutput, import.WritePlainList())) {
    std::cerr << "defstool: cannot write " << strOutput << "\n";
    return 2;
  }
  const std::string strShared = import.SharedPagesSummary(10);
  std::cout << "defstool: listed " << import.CountWholeHosts() << " hosts whole; kept " << import.CountPages()
            << " pages" << (strShared.empty() ? "" : ", those on shared platforms as pages only: " + strShared)
            << "; refused " << import.CountRefusedShared() << " lines that name a shared platform alone\n";
  std::cout << "defstool: kept " << import.CountKept() << " entries (HostIP " << import.CountHostAddresses()
            << ", HostLink " << import.CountHostLinks() << "); dropped " << import.CountDuplicates() << " duplicates, "
            << import.CountUnstorable() << " that cannot be stored, " << import.CountMalformed() << " malformed\n";
  return 0;
}

// A plain list whose every entry reads back as written: 0, else the exit code.
int LoadList(const std::string& strInput, DefinitionsList& list) {
  std::string strPlain;
  if (!ReadWholeFile(strInput, strPlain)) {
    std::cerr << "defstool: cannot read " << strInput << "\n";
    return 2;
  }
  CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
  if (!parsed.IsOk()) {
    std::cerr << strInput << ": " << parsed.Result().Text() << "\n";
    return 1;
  }
  list = std::move(parsed.Value());
  const auto faults = FindReadBackFaults(list);
  for (const auto& strFault : faults) std::cerr << strInput << ": " << strFault << "\n";
  if (!faults.empty()) {
    std::cerr << "defstool: " << faults.size() << " entries would not read back as written; nothing written\n";
    return 1;
  }
  // Entries no matcher would see are only noted: the file is still written.
  for (const auto& strNote : FindUnusedEntries(list)) std::cerr << strInput << ": note: " << strNote << "\n";
  return 0;
}

int WriteDifference(const std::string& strOld, const std::string& strNew, const std::string& strOutput) {
  DefinitionsList oldList, newList;
  if (const int nLoad = LoadList(strOld, oldList)) return nLoad;
  if (const int nLoad = LoadList(strNew, newList)) return nLoad;
  const CResultOf<std::string> difference = MakeDefinitionsDifference(oldList, newList);
  if (!difference.IsOk()) {
    std::cerr << "defstool: no difference: " << difference.Result().Text() << "\n";
    return 3;
  }
  if (!WriteWholeFile(strOutput, difference.Value())) {
    std::cerr << "defstool: cannot write " << strOutput << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "import") return ImportFeeds(argc, argv);
  if (argc == 5 && std::string(argv[1]) == "difference") return WriteDifference(argv[2], argv[3], argv[4]);
  if (argc < 4) return Usage();
  const std::string strCommand = argv[1];
  const bool bShipped = strCommand == "shipped";
  if (!bShipped && strCommand != "working") return Usage();
  if (argc != (bShipped ? 5 : 4)) return Usage();
  const std::string strInput = argv[2], strOutput = argv[3];

  DefinitionsList list;
  if (const int nLoad = LoadList(strInput, list)) return nLoad;

  std::string strData = WriteWorkingDefinitions(list);
  if (bShipped) {
    CResultOf<std::string> shipped = WriteShippedDefinitions(strData, argv[4]);
    if (!shipped.IsOk()) {
      std::cerr << "defstool: " << shipped.Result().Text() << "\n";
      return 1;
    }
    strData.swap(shipped.Value());
  }
  if (!WriteWholeFile(strOutput, strData)) {
    std::cerr << "defstool: cannot write " << strOutput << "\n";
    return 2;
  }
  return 0;
}
