#include "console/settings/PseudoRandom.h"

std::string SeededFolderNames(unsigned nSeed) {
  CPseudoRandom random(nSeed);
  const int nFirst = random.Next();
  const int nSecond = random.Next();
  return std::to_string(nFirst) + "\\" + std::to_string(nSecond);
}
