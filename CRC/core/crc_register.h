// The CRC registers of the serial line, both fed most significant bit
// first and handed out most significant byte first.
//
// crc16_register: width 16, polynomial 0x8005, start 0xFFFF, not reflected,
// final XOR 0xFFFF (the transmitted CRC is the complemented register); the
// CRC of "abc" is 0xBB27. A block followed by its two CRC bytes leaves the
// check residue 0x800D.
//
// crc32_register: polynomial 0x04C11DB7 in the augmented (shift-in) form,
// start 0xFFFFFFFF, no final XOR. end_generate() feeds four zero bytes; the
// register then holds the CRC (0xAD13F0CA for "abc"). A block followed by
// its four CRC bytes, without end_generate(), leaves 0.
#pragma once

#include "checksum/crc_register.h"

namespace crc {

using crc16_register = orvo::checksum::crc_register<16, 0x8005, 0xFFFF, 0xFFFF, orvo::checksum::crc_form::direct>;
using crc32_register = orvo::checksum::crc_register<32, 0x04C11DB7, 0xFFFFFFFF, 0, orvo::checksum::crc_form::augmented>;

static_assert(crc16_register::residue == 0x800D && crc32_register::residue == 0);

}  // namespace crc
