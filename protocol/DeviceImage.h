// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "protocol/WireProtocol.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace veldo {

// The block that carries one configuration to and from the box:
// lead byte, 32 codes of six bytes, four type bytes, XOR checksum.
using DeviceImage = QByteArray;

DeviceImage EncodeDeviceImage(const SwitchConfig &config);

// XOR of offsets 1 to 196; the lead byte and the checksum byte are not included.
std::uint8_t DeviceImageChecksum(QByteArrayView image);

// True when the image is 198 bytes long and its last byte matches its checksum.
bool deviceImageChecksumHolds(QByteArrayView image);

// Reads offsets 1 to 196 of a 198-byte image; the lead byte is never looked at.
SwitchConfig DecodeDeviceImage(QByteArrayView image);

} // namespace veldo
