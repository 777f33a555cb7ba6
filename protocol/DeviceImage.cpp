// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/DeviceImage.h"

#include "config/CodeNormalizer.h"

#include <array>

namespace veldo {

namespace {

constexpr qsizetype kFirstCodeOffset = 1;
constexpr qsizetype kCodeByteCount = 6;
// Type byte A of outputs 0-7, then its byte B, then the same pair for outputs 8-F.
constexpr qsizetype kFirstTypeOffset = 193;
constexpr int kOutputsPerTypeGroup = 8;

// The output's bit in both bytes of its group; the box wires C..F as 0, 3, 1, 2.
constexpr std::array<int, kOutputCount> kTypeBit = {7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 0, 3, 1, 2};

struct TypeCode {
    bool a = false;
    bool b = false;
};

// Indexed by the OutputType value: Slave, Master, Pulse, Toggle.
constexpr std::array<TypeCode, kTypeCount> kTypeCodes = {{{false, false}, {true, true}, {false, true}, {true, false}}};

qsizetype codeOffset(int m)
{
    return kFirstCodeOffset + kCodeByteCount * m;
}

qsizetype typeByteAOffset(int output)
{
    return kFirstTypeOffset + 2 * (output / kOutputsPerTypeGroup);
}

// A short image reads as zeros beyond its end rather than past it.
std::uint8_t byteAt(QByteArrayView image, qsizetype offset)
{
    return offset < image.size() ? std::uint8_t(image[offset]) : 0;
}

OutputType typeFromCode(TypeCode code)
{
    for (std::size_t slot = 0; slot < kTypeCodes.size(); ++slot) {
        if (kTypeCodes[slot].a == code.a && kTypeCodes[slot].b == code.b)
            return OutputType(slot);
    }
    return OutputType::Slave; // unreachable: the table covers all four bit pairs
}

} // namespace

DeviceImage EncodeDeviceImage(const SwitchConfig &config)
{
    DeviceImage image(kDeviceImageSize, '\0');
    image[0] = char(kUploadLeadByte);
    for (int m = 0; m < kCodeCount; ++m) {
        const CodeBytes bytes = codeBytes(config.code(m));
        for (qsizetype k = 0; k < kCodeByteCount; ++k)
            image[codeOffset(m) + k] = char(bytes[std::size_t(k)]);
    }
    for (int output = 0; output < kOutputCount; ++output) {
        const TypeCode code = kTypeCodes[std::size_t(config.outputs[std::size_t(output)].type)];
        const auto bit = char(1 << kTypeBit[std::size_t(output)]);
        const qsizetype offsetA = typeByteAOffset(output);
        if (code.a)
            image[offsetA] = char(image[offsetA] | bit);
        if (code.b)
            image[offsetA + 1] = char(image[offsetA + 1] | bit);
    }
    image[kChecksumOffset] = char(DeviceImageChecksum(image));
    return image;
}

std::uint8_t DeviceImageChecksum(QByteArrayView image)
{
    std::uint8_t checksum = 0;
    for (qsizetype offset = 1; offset < kChecksumOffset; ++offset)
        checksum ^= byteAt(image, offset);
    return checksum;
}

bool deviceImageChecksumHolds(QByteArrayView image)
{
    return image.size() == kDeviceImageSize && std::uint8_t(image[kChecksumOffset]) == DeviceImageChecksum(image);
}

SwitchConfig DecodeDeviceImage(QByteArrayView image)
{
    SwitchConfig config;
    for (int m = 0; m < kCodeCount; ++m) {
        CodeBytes bytes{};
        for (qsizetype k = 0; k < kCodeByteCount; ++k)
            bytes[std::size_t(k)] = byteAt(image, codeOffset(m) + k);
        config.setCode(m, codeText(bytes));
    }
    for (int output = 0; output < kOutputCount; ++output) {
        const int bit = kTypeBit[std::size_t(output)];
        const qsizetype offsetA = typeByteAOffset(output);
        const TypeCode code{bool((byteAt(image, offsetA) >> bit) & 1), bool((byteAt(image, offsetA + 1) >> bit) & 1)};
        config.outputs[std::size_t(output)].type = typeFromCode(code);
    }
    return config;
}

} // namespace veldo
