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
    void add(std::string key, std::string value);

    // The value of the key, or nullptr when the section has no such key (matched exactly).
    const std::string* getValue(const std::string& key) const;

    std::size_t size() const { return keys_.size(); }
    KeyMap::const_iterator begin() const { return keys_.begin(); }
    KeyMap::const_iterator end() const { return keys_.end(); }

private:
    // std::less<std::string> compares through char_traits<char>, which orders the bytes as
    // unsigned values, so the order does not depend on the signedness of char.
    KeyMap keys_;
};

} // namespace setup
