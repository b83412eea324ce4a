#include "editor/cli/Completion.h"

#include "editor/cli/ExitStatus.h"
#include "editor/form/FieldTable.h"
#include "editor/sim/ReaderList.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using Words = std::vector<std::string>;

// The words that may stand as a value of this kind; candidates, when given, say which.
Words ValuesOf(ArgValue value, ArgCandidates candidates, std::string_view valueName) {
    if (candidates != nullptr) {
        return candidates();
    }
    switch (value) {
    case ArgValue::File:
        return {std::string(completeFiles)};
    case ArgValue::Choice: {
        Words words;
        for (const std::string_view word : ChoiceWords(valueName)) {
            words.emplace_back(word);
        }
        return words;
    }
    case ArgValue::None:
    case ArgValue::Text:
    case ArgValue::Name:
    case ArgValue::Count:
        break;
    }
    return {};
}

Words ValuesOf(const ArgOption& option) {
    return ValuesOf(option.value, option.candidates, option.valueName);
}

Words ValuesOf(const ArgOperand& operand) {
    return ValuesOf(operand.value, operand.candidates, {});
}

// The words that may stand at current after the command's earlier arguments.
Words CommandWords(const CliCommand& command, CliArgs earlier, std::string_view current) {
    int operands = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        const std::string_view arg = earlier[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            ++operands;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (const ArgOption* option = FindArgOption(command.options, arg);
                   option != nullptr && option->value != ArgValue::None) {
            if (i + 1 == earlier.size()) {
                return ValuesOf(*option); // current is this option's value
            }
            ++i;
        }
    }
    if (!optionsEnded && current.starts_with('-')) {
        Words words;
        const std::size_t equals = current.find('=');
        if (equals != std::string_view::npos) {
            const ArgOption* option = FindArgOption(command.options, current.substr(0, equals));
            if (option != nullptr && option->value != ArgValue::File) {
                for (const auto& value : ValuesOf(*option)) {
                    words.push_back(std::string(current.substr(0, equals + 1)) + value);
                }
            }
            return words;
        }
        for (const ArgOption& option : command.options) {
            words.emplace_back(option.name);
        }
        words.emplace_back("--help");
        return words;
    }
    if (command.operands.max != ArgOperands::unlimited && operands >= command.operands.max) {
        return {};
    }
    return ValuesOf(operands == 0 ? command.operands.first : command.operands.rest);
}

Words CandidateWords(CliArgs earlier, std::string_view current) {
    Words words;
    if (earlier.empty()) {
        words = {"help", "--help", "--version"};
        for (const CliCommand* command : CliCommands()) {
            words.emplace_back(command->name);
        }
        return words;
    }
    if (earlier[0] == "help") {
        if (earlier.size() == 1) {
            for (const CliCommand* command : CliCommands()) {
                words.emplace_back(command->name);
            }
        }
        return words;
    }
    const CliCommand* command = FindCommand(earlier[0]);
    if (command == nullptr) {
        return words;
    }
    return CommandWords(*command, earlier.subspan(1), current);
}

} // namespace

std::vector<std::string> ReaderCandidates() {
    // Without a card service there is simply nothing to offer.
    Words words;
    for (const auto& reader : ListReaders().readers) {
        words.push_back(reader.name);
    }
    return words;
}

std::vector<std::string> EditCandidates() {
    Words words;
    for (const FieldDef& def : FieldTable()) {
        if (HoldsValue(def.kind)) {
            words.push_back(def.name + "=");
        }
    }
    words.emplace_back("SGRamp[");
    words.emplace_back("SGTR[");
    return words;
}

int RunCompletion(CliArgs words, CliIo& io) {
    if (words.empty()) {
        return exitUsage;
    }
    const std::string_view current = words.back();
    const Words candidates = CandidateWords(words.first(words.size() - 1), current);
    if (candidates.size() == 1 && candidates.front() == completeFiles) {
        io.out << completeFiles << '\n';
        return exitOk;
    }
    for (const auto& candidate : candidates) {
        if (candidate.starts_with(current)) {
            io.out << candidate << '\n';
        }
    }
    return exitOk;
}

} // namespace tarvik::cli
