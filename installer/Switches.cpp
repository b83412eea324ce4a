#include "installer/Switches.h"

#include "installer/WindowsPath.h"

namespace installer {

Outcome<Switches> ReadSwitches(const std::vector<std::string>& arguments) {
    Switches switches;
    for (const std::string& argument : arguments) {
        const std::string word = FoldCase(argument);
        if (word == "/i" || word == "/quiet" || word == "/q") {
            switches.quiet = true;
        } else if (word == "/uninstall") {
            switches.task = Task::Uninstall;
        } else if (word != "/l") {
            return Outcome<Switches>::failure(
                "Unknown argument '" + argument +
                "'. Use: install.exe [/i | /quiet] or uninstall.exe /uninstall [/quiet]");
        }
    }
    return {switches, {}};
}

} // namespace installer
