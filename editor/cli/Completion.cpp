#include "editor/cli/Completion.h"

#include "editor/cli/ExitStatus.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/sim/ReaderList.h"
#include "modem/ModemScan.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using Words = std::vector<std::string>;

Words ValuesOf(CliValue completion) {
    Words words;
    switch (completion) {
    case CliValue::None:
    case CliValue::Text:
    case CliValue::Count:
        break;
    case CliValue::Port:
        // The ports are listed, not asked: completion must not talk to devices.
        for (const auto& port : modem::CandidatePorts()) {
            words.push_back(port);
        }
        break;
    case CliValue::File:
        words.emplace_back(kCompleteFiles);
        break;
    case CliValue::Model:
        for (std::size_t model = 0; model < DeviceModels().size(); ++model) {
            words.push_back(std::to_string(model));
        }
        break;
    case CliValue::Reader:
        // Without a card service there is simply nothing to offer.
        for (const auto& reader : ListReaders().readers) {
            words.push_back(reader.name);
        }
        break;
    case CliValue::Edit:
        for (const FieldDef& def : FieldTable()) {
            if (HoldsValue(def.kind)) {
                words.push_back(def.name + "=");
            }
        }
        words.emplace_back("SGRamp[");
        words.emplace_back("SGTR[");
        break;
    }
    return words;
}

const CliOption* FindOption(const CliCommand& command, std::string_view name) {
    for (const CliOption& option : command.options) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
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
        } else if (const CliOption* option = FindOption(command, arg);
                   option != nullptr && option->value != CliValue::None) {
            if (i + 1 == earlier.size()) {
                return ValuesOf(option->value); // current is this option's value
            }
            ++i;
        }
    }
    if (!optionsEnded && current.starts_with('-')) {
        Words words;
        const std::size_t equals = current.find('=');
        if (equals != std::string_view::npos) {
            const CliOption* option = FindOption(command, current.substr(0, equals));
            if (option != nullptr && option->value != CliValue::File) {
                for (const auto& value : ValuesOf(option->value)) {
                    words.push_back(std::string(current.substr(0, equals + 1)) + value);
                }
            }
            return words;
        }
        for (const CliOption& option : command.options) {
            words.emplace_back(option.name);
        }
        words.emplace_back("--help");
        return words;
    }
    if (command.operands.max != CliOperands::kUnlimited && operands >= command.operands.max) {
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

int RunCompletion(CliArgs words, CliIo& io) {
    if (words.empty()) {
        return kExitUsage;
    }
    const std::string_view current = words.back();
    const Words candidates = CandidateWords(words.first(words.size() - 1), current);
    if (candidates.size() == 1 && candidates.front() == kCompleteFiles) {
        io.out << kCompleteFiles << '\n';
        return kExitOk;
    }
    for (const auto& candidate : candidates) {
        if (candidate.starts_with(current)) {
            io.out << candidate << '\n';
        }
    }
    return kExitOk;
}

} // namespace tarvik::cli
