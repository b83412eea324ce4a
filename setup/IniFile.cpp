#include "setup/IniFile.h"

#include "setup/IniLine.h"
#include "setup/platform/FileHandle.h"

#include <array>
#include <cstdint>
#include <optional>

namespace setup {

bool IniFile::load(const std::string& path) {
    const FileHandle file = OpenForReading(path);
    if (!file.valid()) {
        return false;
    }
    if (sections_) {
        sections_->clear();
    } else {
        sections_.emplace();
    }
    currentSection_ = nullptr;
    const bool loaded = readLines(file);
    // The current section only matters while loading; no pointer into the table outlives it.
    currentSection_ = nullptr;
    return loaded;
}

bool IniFile::readLines(const FileHandle& file) {
    // Lines end at a line feed; a carriage return just before it belongs to the line end, as
    // files written on Windows carry it. The last line needs no line feed.
    std::array<char, 4096> chunk{};
    std::string line;
    std::uint64_t offset = 0;
    for (;;) {
        const std::size_t got = ReadAt(file, offset, chunk);
        if (got == 0) {
            break;
        }
        offset += got;
        for (std::size_t i = 0; i < got; ++i) {
            if (chunk[i] != '\n') {
                line += chunk[i];
                continue;
            }
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!processLine(line)) {
                return false;
            }
            line.clear();
        }
    }
    return line.empty() || processLine(line);
}

bool IniFile::processLine(std::string_view text) {
    IniLine line = ClassifyIniLine(text);
    switch (line.kind) {
    case IniLine::Kind::Section:
        currentSection_ = &(*sections_)[line.name];
        return true;
    case IniLine::Kind::Key:
        if (currentSection_ == nullptr) {
            return false;
        }
        currentSection_->add(std::move(line.name), std::move(line.value));
        return true;
    case IniLine::Kind::Malformed:
        return false;
    case IniLine::Kind::Comment:
    case IniLine::Kind::Ignored:
        return true;
    }
    return true;
}

const IniSection* IniFile::getSection(const std::string& name) const {
    if (!sections_) {
        return nullptr;
    }
    const auto found = sections_->find(name);
    return found == sections_->end() ? nullptr : &found->second;
}

} // namespace setup
