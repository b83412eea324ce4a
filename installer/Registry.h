#pragma once

// The part of the registry the installer writes: keys below HKEY_CURRENT_USER, named by paths
// with backslashes ("Software\Classes\.sim"). The value named "" is a key's default value.
// One implementation calls the system; the tests use one in memory.

#include "installer/Outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

enum class ValueKind {
    Text,         // REG_SZ
    ExpandedText, // REG_EXPAND_SZ: %VARIABLES% are expanded where it is used
    Number,       // REG_DWORD
    Other,        // any other type: its bytes in text, its type in number, kept as they are
};

struct RegistryValue {
    ValueKind kind = ValueKind::Text;
    std::string text;
    std::uint32_t number = 0;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

class Registry {
public:
    virtual ~Registry() = default;

    // The value, or nothing when it or its key does not exist.
    virtual Outcome<std::optional<RegistryValue>> readValue(std::string_view key,
                                                            std::string_view name) = 0;
    // Sets the value, making the key and the keys above it when missing.
    virtual Status writeValue(std::string_view key, std::string_view name,
                              const RegistryValue& value) = 0;
    // Deletes the value; one that does not exist is no failure.
    virtual Status deleteValue(std::string_view key, std::string_view name) = 0;
    virtual Outcome<bool> keyExists(std::string_view key) = 0;
    // Makes the key and the keys above it when missing.
    virtual Status createKey(std::string_view key) = 0;
    // Deletes a key that has no subkeys; one that does not exist is no failure.
    virtual Status deleteKey(std::string_view key) = 0;
    // The names of a key's values and subkeys (none when it does not exist).
    virtual Outcome<std::vector<std::string>> valueNames(std::string_view key) = 0;
    virtual Outcome<std::vector<std::string>> subkeyNames(std::string_view key) = 0;
};

} // namespace installer
