// How the settings read the bytes of a registry value (platform-free). Texts are
// stored without terminator, numbers as little-endian binary; every read uses one
// buffer of kRegistryReadBufferSize bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kRegistryReadBufferSize = 202;

// The returned bytes as text, up to the first zero byte if there is one.
std::string TextOfValueData(const unsigned char* pData, std::size_t cbData);

// "copied": the returned bytes replace the field's bytes, low byte first, at most
// the field's 4 bytes; a field byte without returned byte keeps its value.
std::int32_t CopiedValueData(const unsigned char* pData, std::size_t cbData, std::int32_t nField);

// "flag" and the values of which only the lowest byte counts: that byte, widened.
// Nothing returned keeps the field.
std::int32_t LowByteOfValueData(const unsigned char* pData, std::size_t cbData, std::int32_t nField);

// The little-endian bytes of a number, as the writers store it.
void NumberToValueData(std::uint32_t nNumber, unsigned char (&data)[4]);
