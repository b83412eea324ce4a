#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// What a test asks of a real run through SETUP_TEST_HOOK: settings "key=value" separated by
// ";". Unknown keys and numbers that do not read are ignored.
//   report=FILE    every event of the run is appended to FILE, one a line
//   shots=FOLDER   windows are saved as pictures there (where the windows can do so)
//   cancel-at=N    Cancel is clicked when the progress bar reaches step N
//   pause-at=N     after step N the extractor waits (30 s at most) until the loop has ended,
//                  the wizard's message came, or the file named by release= exists
//   release=FILE   see pause-at
struct TestHookSettings {
    std::string reportPath;
    std::string shotFolder;
    std::string releasePath;
    std::optional<std::size_t> cancelAt;
    std::optional<std::size_t> pauseAt;
};

TestHookSettings ParseTestHookSettings(std::string_view text);

} // namespace setup
