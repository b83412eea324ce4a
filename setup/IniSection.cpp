#include "setup/IniSection.h"

#include <utility>

namespace setup {

void IniSection::Add(std::string key, std::string value) {
    m_keys.try_emplace(std::move(key), std::move(value));
}

const std::string* IniSection::GetValue(const std::string& key) const {
    const auto found = m_keys.find(key);
    return found == m_keys.end() ? nullptr : &found->second;
}

} // namespace setup
