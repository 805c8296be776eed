#include "console/settings/store/RegistryValueData.h"

std::string TextOfValueData(const unsigned char* pData, std::size_t cbData) {
  std::size_t n = 0;
  while (n < cbData && pData[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(pData), n);
}

std::int32_t CopiedValueData(const unsigned char* pData, std::size_t cbData, std::int32_t nField) {
  auto nValue = static_cast<std::uint32_t>(nField);
  for (std::size_t i = 0; i < cbData && i < 4; ++i) {
    nValue &= ~(0xFFu << (8 * i));
    nValue |= static_cast<std::uint32_t>(pData[i]) << (8 * i);
  }
  return static_cast<std::int32_t>(nValue);
}

std::int32_t LowByteOfValueData(const unsigned char* pData, std::size_t cbData, std::int32_t nField) {
  return cbData > 0 ? static_cast<std::int32_t>(pData[0]) : nField;
}

void NumberToValueData(std::uint32_t nNumber, unsigned char (&data)[4]) {
  for (int i = 0; i < 4; ++i) data[i] = static_cast<unsigned char>(nNumber >> (8 * i));
}
