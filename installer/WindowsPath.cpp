#include "installer/WindowsPath.h"

#include <algorithm>
#include <array>
#include <vector>

namespace installer {

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') {
        path += '\\';
    }
    path += name;
    return path;
}

std::string ParentFolder(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string WithoutDots(std::string_view path) {
    std::vector<std::string_view> kept;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view component = path.substr(start, end - start);
        if (component == ".." && kept.size() > 1) {
            kept.pop_back();
        } else if (component != "." && component != "..") {
            kept.push_back(component);
        }
        start = end + 1;
    }
    std::string joined;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            joined += '\\';
        }
        joined += kept[i];
    }
    return joined;
}

std::string_view LastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string WithBackslashes(std::string_view name) {
    std::string text(name);
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool SameName(std::string_view a, std::string_view b) {
    return FoldCase(a) == FoldCase(b);
}

bool ContainsName(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameName(n, name); });
}

namespace {

// Device names that Windows opens as devices in every folder, with any extension.
bool IsDeviceName(std::string_view component) {
    const std::string stem = FoldCase(component.substr(0, component.find('.')));
    static constexpr std::array<std::string_view, 4> plain = {"con", "prn", "aux", "nul"};
    if (std::find(plain.begin(), plain.end(), stem) != plain.end()) {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::string ComponentProblem(std::string_view component) {
    if (component.empty()) {
        return "has an empty folder name";
    }
    if (component == "." || component == "..") {
        return "leaves its folder";
    }
    for (const char c : component) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return "holds a character Windows refuses in file names";
        }
    }
    if (component.back() == ' ' || component.back() == '.') {
        return "ends in a blank or a dot";
    }
    if (IsDeviceName(component)) {
        return "is a device name";
    }
    return {};
}

} // namespace

std::string RelativeNameProblem(std::string_view name) {
    constexpr std::size_t longest = 200;
    if (name.empty()) {
        return "is empty";
    }
    if (name.size() > longest) {
        return "is longer than 200 bytes";
    }
    const std::string path = WithBackslashes(name);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view component =
            std::string_view(path).substr(start, end == std::string::npos ? end : end - start);
        if (std::string why = ComponentProblem(component); !why.empty()) {
            return why;
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

} // namespace installer
