// SHA-256 of a byte string, platform-free: a digest that stays the same on every
// machine and in every version, for texts that are stored.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

std::array<std::uint8_t, 32> Sha256(std::string_view bytes);
