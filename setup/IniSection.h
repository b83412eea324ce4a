#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace setup {

// The keys of one configuration section. Keys are unique and visited in byte order, not file
// order: 1, 10, 2.
class IniSection {
public:
    using KeyMap = std::map<std::string, std::string>;

    // Adds the key unless it is already present: the first value of a key wins.
    void Add(std::string key, std::string value);

    // The value of the key, or nullptr when the section has no such key (matched exactly).
    const std::string* GetValue(const std::string& key) const;

    std::size_t Size() const { return m_keys.size(); }
    KeyMap::const_iterator begin() const { return m_keys.begin(); }
    KeyMap::const_iterator end() const { return m_keys.end(); }

private:
    // std::less<std::string> compares through char_traits<char>, which orders the bytes as
    // unsigned values, so the order does not depend on the signedness of char.
    KeyMap m_keys;
};

} // namespace setup
