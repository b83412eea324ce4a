#include "simlib/coding/FileControlParameters.h"

#include "simlib/coding/TlvReader.h"

#include <algorithm>

namespace quenlib {

namespace {

constexpr std::uint8_t kFcpTemplate = 0x62;
constexpr std::uint8_t kFileSize = 0x80;
constexpr std::uint8_t kTotalFileSize = 0x81;
constexpr std::uint8_t kFileDescriptor = 0x82;
constexpr std::uint8_t kLifeCycle = 0x8A;
constexpr std::uint8_t kPinStatusTemplate = 0xC6;
constexpr std::uint8_t kPsDo = 0x90;
constexpr std::uint8_t kKeyReference = 0x83;
constexpr std::uint8_t kPin1 = 0x01;

unsigned bigEndian(std::span<const std::uint8_t> bytes) {
    unsigned value = 0;
    for (const std::uint8_t byte : bytes.first(std::min<std::size_t>(bytes.size(), 4))) {
        value = value << 8 | byte;
    }
    return value;
}

// The file descriptor (tag 82): descriptor byte, data coding byte, and for record files the
// record length (2 bytes) and the record count (ETSI TS 102 221 §11.1.1.4.3).
bool ReadDescriptor(std::span<const std::uint8_t> value, FileControlParameters& fcp,
                    std::string_view& error) {
    if (value.size() != 2 && value.size() != 5) {
        error = "the file descriptor has neither 2 nor 5 bytes";
        return false;
    }
    fcp.descriptor = value[0];
    if (value.size() == 5) {
        fcp.recordLength = bigEndian(value.subspan(2, 2));
        fcp.recordCount = value[4];
    }
    return true;
}

// The PIN status template (tag C6): the PS_DO's bits, first byte's b8 first, go with the
// key references in the order they follow it (ETSI TS 102 221 §9.5.2).
bool ReadPinStatus(std::span<const std::uint8_t> value, FileControlParameters& fcp,
                   std::string_view& error) {
    TlvReader reader(value);
    std::span<const std::uint8_t> status;
    std::size_t keyIndex = 0;
    while (!reader.atEnd()) {
        const auto object = reader.next(error);
        if (!object) {
            return false;
        }
        if (object->tag == kPsDo) {
            status = object->value;
        } else if (object->tag == kKeyReference) {
            if (object->value.size() != 1) {
                error = "a key reference is not one byte";
                return false;
            }
            const std::size_t byte = keyIndex / 8;
            if (object->value[0] == kPin1 && byte < status.size()) {
                fcp.pin1Enabled = (status[byte] & (0x80 >> (keyIndex % 8))) != 0;
            }
            ++keyIndex;
        }
    }
    return true;
}

} // namespace

FcpParse ParseFcp(std::span<const std::uint8_t> bytes) {
    FcpParse parse;
    TlvReader outer(bytes);
    const auto fcpTemplate = outer.next(parse.error);
    if (!fcpTemplate) {
        return parse;
    }
    if (fcpTemplate->tag != kFcpTemplate) {
        parse.error = "the answer is no FCP template";
        return parse;
    }
    FileControlParameters fcp;
    bool described = false;
    bool sized = false;
    TlvReader reader(fcpTemplate->value);
    while (!reader.atEnd()) {
        const auto object = reader.next(parse.error);
        if (!object) {
            return parse;
        }
        switch (object->tag) {
        case kFileDescriptor:
            if (!ReadDescriptor(object->value, fcp, parse.error)) {
                return parse;
            }
            described = true;
            break;
        case kFileSize:
            fcp.size = bigEndian(object->value);
            sized = true;
            break;
        case kTotalFileSize:
            if (!sized) {
                fcp.size = bigEndian(object->value);
            }
            break;
        case kLifeCycle:
            if (object->value.size() != 1) {
                parse.error = "the life cycle status is not one byte";
                return parse;
            }
            fcp.lifeCycle = object->value[0];
            break;
        case kPinStatusTemplate:
            if (!ReadPinStatus(object->value, fcp, parse.error)) {
                return parse;
            }
            break;
        default:
            break;
        }
    }
    if (!described) {
        parse.error = "the FCP has no file descriptor (tag 82)";
        return parse;
    }
    parse.fcp = fcp;
    return parse;
}

} // namespace quenlib
