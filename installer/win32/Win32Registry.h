#pragma once

#include "installer/Registry.h"

namespace installer {

// The keys of HKEY_CURRENT_USER.
class Win32Registry : public Registry {
public:
    Outcome<std::optional<RegistryValue>> readValue(std::string_view key,
                                                    std::string_view name) override;
    Status writeValue(std::string_view key, std::string_view name,
                      const RegistryValue& value) override;
    Status deleteValue(std::string_view key, std::string_view name) override;
    Outcome<bool> keyExists(std::string_view key) override;
    Status createKey(std::string_view key) override;
    Status deleteKey(std::string_view key) override;
    Outcome<std::vector<std::string>> valueNames(std::string_view key) override;
    Outcome<std::vector<std::string>> subkeyNames(std::string_view key) override;
};

} // namespace installer
