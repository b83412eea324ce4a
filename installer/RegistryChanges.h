#pragma once

// Changes to the registry that are made together or not at all: each change remembers what it
// replaced, and rollBack() puts that back, so a failure halfway leaves the registry as it was.

#include "installer/Registry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

class RegistryChanges {
public:
    explicit RegistryChanges(Registry& registry) : registry_(registry) {}
    RegistryChanges(const RegistryChanges&) = delete;
    RegistryChanges& operator=(const RegistryChanges&) = delete;

    Status setValue(std::string_view key, std::string_view name, const RegistryValue& value);
    Status removeValue(std::string_view key, std::string_view name);
    // Removes the key with its values and subkeys.
    Status removeKeyTree(std::string_view key);
    // Removes the key when it has neither values nor subkeys.
    Status removeKeyIfEmpty(std::string_view key);

    // Undoes every change made so far, the last first, as far as the registry lets it.
    void rollBack();

private:
    struct SavedKey {
        std::string key;
        std::vector<std::pair<std::string, RegistryValue>> values;
    };
    struct Undo {
        std::string key;
        std::string name;
        std::optional<RegistryValue> former; // the value's former state (setValue, removeValue)
        std::vector<SavedKey> keys;          // a removed tree, parents first (removeKeyTree)
        bool removesKey = false;             // a key made by setValue: delete it again
    };

    Status saveTree(const std::string& key, std::vector<SavedKey>& keys);

    Registry& registry_;
    std::vector<Undo> undo_;
};

} // namespace installer
