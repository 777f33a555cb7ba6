// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "protocol/WireProtocol.h"

#include <cstdint>

namespace veldo {

// Outputs 0..F with Code A "An" and Code B "Bn" repeated six times and the four types in
// turn, so that a swapped code, output or type shows at a glance.
SwitchConfig sampleSwitchConfig();

// How the simulated box behaves on the line.
struct BoxOptions {
    SwitchConfig config = sampleSwitchConfig();
    bool echo = false;                    // the link returns every byte the tool sends
    int answerDelayMs = 0;                // before the first byte of an answer
    int chunkSize = 0;                    // answers go out in pieces of this many bytes; 0: whole
    int chunkPauseMs = 0;                 // between two pieces
    bool wrongChecksum = false;           // the image sent for a download fails its checksum
    bool alwaysNak = false;               // every upload is rejected and nothing is stored
    bool forgetful = false;               // every valid upload is acknowledged but not stored
    bool silent = false;                  // requests are taken but never answered, nothing stored
    bool strayByte = false;               // one byte of noise goes before each upload verdict
    bool unplugOnRequest = false;         // the device vanishes when a request is complete
    int resyncGapMs = 250;                // an incomplete image older than this is dropped
    std::uint8_t downloadLeadByte = 0x55; // anything but the request byte, which the tool strips
    bool fast = false;                    // bytes pass at once instead of at 9600 8N1 (about 1.04 ms each)
};

// The noise byte of strayByte.
inline constexpr std::uint8_t kStrayByte = 0x00;

} // namespace veldo
