#include "editor/core/PasswordDigest.h"

#include "base/TextLines.h"

#include <string>

namespace tarvik {

std::uint32_t PasswordDigest(std::string_view text) {
    std::uint32_t digest = 0x2C5E91B3u;
    std::uint32_t position = 1;
    for (const char c : text) {
        const std::uint32_t b = static_cast<unsigned char>(c);
        digest ^= b + ((b * position) << 6) + ((b * (position + 7)) << 13) +
                  ((b * (position + 10)) << 20);
        ++position;
    }
    return digest & 0x7FFFFFFFu;
}

std::uint32_t CredentialsDigest(std::string_view name, std::string_view password) {
    std::string joined(name);
    joined += '_';
    joined += password;
    return PasswordDigest(UpperAscii(joined));
}

std::uint32_t FactoryDigest() {
    return CredentialsDigest(kFactoryUserName, kFactoryPassword);
}

} // namespace tarvik
