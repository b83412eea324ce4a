#include "setup/IniSection.h"

#include <utility>

namespace setup {

void IniSection::add(std::string key, std::string value) {
    keys_.try_emplace(std::move(key), std::move(value));
}

const std::string* IniSection::getValue(const std::string& key) const {
    const auto found = keys_.find(key);
    return found == keys_.end() ? nullptr : &found->second;
}

} // namespace setup
