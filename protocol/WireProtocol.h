// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <cstdint>

namespace veldo {

// The bytes and lengths of the box's serial protocol, for the tool, the simulator and the tests.
inline constexpr std::uint8_t kDownloadRequest = 171;    // asks the box for its image
inline constexpr std::uint8_t kUploadLeadByte = 170;     // leads an image sent to the box
inline constexpr std::uint8_t kAcknowledge = 6;          // the box stored the image
inline constexpr std::uint8_t kNegativeAcknowledge = 21; // the image failed the box's checksum
inline constexpr qsizetype kDeviceImageSize = 198;       // lead byte, 32 codes, 4 type bytes, checksum
inline constexpr qsizetype kChecksumOffset = kDeviceImageSize - 1;

} // namespace veldo
