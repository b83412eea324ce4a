#include "program/TextKeyHash.h"

#include <cstddef>

namespace tarvik {

std::uint32_t TextKeyHash(std::string_view text) {
    std::uint32_t hash = 7;
    std::uint32_t weight = 79;
    for (const char c : text) {
        hash += static_cast<std::uint32_t>(static_cast<unsigned char>(c)) * weight;
        weight += 13;
    }
    return hash;
}

} // namespace tarvik
