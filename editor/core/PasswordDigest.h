#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik {

// The user name every installation starts with, and the password built in for it.
inline constexpr std::string_view kFactoryUserName = "GSM";
inline constexpr std::string_view kFactoryPassword = "KTX";

// The 31-bit digest under which the password is kept: starting from 0x2C5E91B3, each byte b
// at 1-based position k is spread over the word as
//   b + ((b * k) << 6) + ((b * (k + 7)) << 13) + ((b * (k + 10)) << 20)
// in wrap-around 32-bit arithmetic and XORed in; the top bit of the result is cleared.
std::uint32_t PasswordDigest(std::string_view text);

// The digest of a user name and password as they are stored: taken over
// name + "_" + password with the letters a..z upper-cased, so that logging in ignores their
// case. Both texts are 8-bit Windows-1252.
std::uint32_t CredentialsDigest(std::string_view name, std::string_view password);

// The digest that applies while no other one is stored: the factory user with the factory
// password.
std::uint32_t FactoryDigest();

} // namespace tarvik
