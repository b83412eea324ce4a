#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::cli {

// The readers a run over many readers uses, or why the choice cannot be taken.
struct ReaderChoice {
    std::vector<std::string> readers;
    std::string error;
};

// The readers of `--readers all|NAME,NAME...` among those the card service lists: "all"
// takes every one listed, names are taken in the order given, each once. A name not
// listed, an empty name, or no reader at all is an error that says which.
ReaderChoice ChooseReaders(std::string_view given, const std::vector<std::string>& listed);

} // namespace tarvik::cli
