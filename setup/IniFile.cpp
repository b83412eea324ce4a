#include "setup/IniFile.h"

#include "setup/IniLine.h"
#include "setup/platform/FileHandle.h"

#include <array>
#include <cstdint>
#include <optional>

namespace setup {

bool IniFile::Load(const std::string& path) {
    const FileHandle file = OpenForReading(path);
    if (!file.valid()) {
        return false;
    }
    if (m_sections) {
        m_sections->clear();
    } else {
        m_sections.emplace();
    }
    m_pCurrentSection = nullptr;
    const bool bLoaded = ReadLines(file);
    // The current section only matters while loading; no pointer into the table outlives it.
    m_pCurrentSection = nullptr;
    return bLoaded;
}

bool IniFile::ReadLines(const FileHandle& file) {
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
            if (!ProcessLine(line)) {
                return false;
            }
            line.clear();
        }
    }
    return line.empty() || ProcessLine(line);
}

bool IniFile::ProcessLine(std::string_view text) {
    IniLine line = ClassifyIniLine(text);
    switch (line.kind) {
    case IniLine::Kind::Section:
        m_pCurrentSection = &(*m_sections)[line.strName];
        return true;
    case IniLine::Kind::Key:
        if (m_pCurrentSection == nullptr) {
            return false;
        }
        m_pCurrentSection->Add(std::move(line.strName), std::move(line.strValue));
        return true;
    case IniLine::Kind::Malformed:
        return false;
    case IniLine::Kind::Comment:
    case IniLine::Kind::Ignored:
        return true;
    }
    return true;
}

const IniSection* IniFile::GetSection(const std::string& name) const {
    if (!m_sections) {
        return nullptr;
    }
    const auto found = m_sections->find(name);
    return found == m_sections->end() ? nullptr : &found->second;
}

} // namespace setup
