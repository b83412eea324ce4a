// setup.ini: any bytes load as the reader's rules say. Every section the lines name holds
// exactly the first value of each of its keys up to the line where loading stops; the load
// fails exactly at a key line before any header or at a header without "]"; a second load
// of the same file gives the same, and a file that cannot be opened changes nothing.
#include "fuzz/FuzzCheck.h"
#include "fuzz/setup/FuzzFile.h"
#include "setup/IniFile.h"
#include "setup/IniLine.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// The lines of the file: each ends at a line feed, with a carriage return just before it
// belonging to the line end; a last line without a line feed counts when it is not empty.
std::vector<std::string_view> FileLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, feed);
        if (feed != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    }
    return lines;
}

// What one line is, checked against the line itself.
void CheckClassification(std::string_view line, const setup::IniLine& classified) {
    using Kind = setup::IniLine::Kind;
    using tarvik::fuzz::Check;
    const std::size_t start = line.find_first_not_of(" \t");
    const std::string_view text = start == std::string_view::npos ? "" : line.substr(start);
    Check((classified.kind == Kind::Comment) == text.starts_with(';'), "; starts a comment");
    switch (classified.kind) {
    case Kind::Section: {
        const std::size_t close = text.rfind(']');
        Check(text.starts_with('[') && close != std::string_view::npos &&
                  classified.name == text.substr(1, close - 1),
              "a header names the text up to its last ]");
        break;
    }
    case Kind::Malformed:
        Check(text.starts_with('[') && text.find(']') == std::string_view::npos,
              "only a [ without a ] is malformed");
        break;
    case Kind::Key: {
        const std::size_t equals = text.find('=');
        Check(!text.starts_with('[') && equals != std::string_view::npos, "a key line holds =");
        Check(classified.value == text.substr(equals + 1), "the value is all after the first =");
        Check(text.substr(0, equals).starts_with(classified.name) &&
                  classified.name.find_first_of(" \t=") == std::string::npos,
              "the key is the text before =, cut at its first blank");
        break;
    }
    case Kind::Ignored:
        Check(text.empty() || (!text.starts_with('[') && text.find('=') == text.npos),
              "only lines without = or [ are ignored");
        break;
    case Kind::Comment:
        break;
    }
}

void CheckLoaded(const setup::IniFile& ini, const Sections& expected) {
    for (const auto& [name, keys] : expected) {
        const setup::IniSection* section = ini.getSection(name);
        tarvik::fuzz::Check(section != nullptr && section->size() == keys.size(),
                            "every section named holds its keys");
        for (const auto& [key, value] : keys) {
            const std::string* found = section->getValue(key);
            tarvik::fuzz::Check(found != nullptr && *found == value, "the first value of a key");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tarvik::fuzz::Check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // What the file says, line by line, up to the line where loading stops.
    Sections expected;
    std::string current;
    bool inSection = false;
    bool loads = true;
    std::vector<std::string> unread; // headers after the line where loading stops
    for (std::string_view line : FileLines(bytes)) {
        const setup::IniLine classified = setup::ClassifyIniLine(line);
        CheckClassification(line, classified);
        if (!loads) {
            if (classified.kind == setup::IniLine::Kind::Section) {
                unread.push_back(classified.name);
            }
        } else if (classified.kind == setup::IniLine::Kind::Section) {
            current = classified.name;
            inSection = true;
            expected[current];
        } else if (classified.kind == setup::IniLine::Kind::Key) {
            if (inSection) {
                expected[current].try_emplace(classified.name, classified.value);
            } else {
                loads = false;
            }
        } else if (classified.kind == setup::IniLine::Kind::Malformed) {
            loads = false;
        }
    }

    const auto path = tarvik::fuzz::ScratchFolder() / "setup.ini";
    tarvik::fuzz::WriteWholeFile(path, bytes);
    setup::IniFile ini;
    Check(ini.load(path) == loads,
          "the load fails exactly at a key before any header or at a header without ]");
    CheckLoaded(ini, expected);
    for (const std::string& name : unread) {
        Check(expected.contains(name) || ini.getSection(name) == nullptr,
              "nothing after the failing line is read");
    }

    Check(ini.load(path) == loads, "a second load of the same file");
    CheckLoaded(ini, expected);

    Check(!ini.load((tarvik::fuzz::ScratchFolder() / "missing.ini").string()),
          "a missing file does not load");
    CheckLoaded(ini, expected);
    return 0;
}
