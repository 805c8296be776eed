// The cipher's initial tables: the fractional hexadecimal digits of pi, P1 first,
// then S0 to S3. BlowfishTables.cpp is written by make_blowfish_tables.py.
#pragma once

#include <cstdint>

extern const std::uint32_t kBlowfishInitialP[18];
extern const std::uint32_t kBlowfishInitialS[4][256];
