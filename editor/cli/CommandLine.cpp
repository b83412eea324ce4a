#include "editor/cli/CommandLine.h"

#include "editor/cli/CliSupport.h"
#include "editor/cli/ExitStatus.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

const CliOption* FindOption(const CliCommand& command, std::string_view name) {
    const auto found =
        std::find_if(command.options.begin(), command.options.end(),
                     [name](const CliOption& option) { return option.name == name; });
    return found == command.options.end() ? nullptr : &*found;
}

// "" when the operands fit the command, else what is wrong with them.
std::string OperandProblem(const CliCommand& command, const ParsedArgs& parsed) {
    const int count = static_cast<int>(parsed.operands.size());
    if (count < command.operands.min) {
        return "missing operand";
    }
    if (command.operands.max != CliOperands::kUnlimited && count > command.operands.max) {
        return "extra operand '" + std::string(parsed.operands[command.operands.max]) + "'";
    }
    return {};
}

// "" when value suits the option, else what is wrong with it.
std::string ValueProblem(const CliOption& option, std::string_view value) {
    switch (option.value) {
    case CliValue::Model:
        if (!ParseModelIndex(value)) {
            return std::string(option.name) + " takes " + std::string(option.valueName) +
                   ", not '" + std::string(value) + "'";
        }
        break;
    case CliValue::Count:
        if (value.empty() || value.size() > 9 ||
            value.find_first_not_of("0123456789") != std::string_view::npos) {
            return std::string(option.name) + " takes a whole number, not '" + std::string(value) +
                   "'";
        }
        break;
    case CliValue::File:
    case CliValue::Reader:
    case CliValue::Port:
        if (value.empty()) {
            return std::string(option.name) + " needs a value (" + std::string(option.valueName) +
                   ")";
        }
        break;
    case CliValue::None:
    case CliValue::Text:
    case CliValue::Edit:
        break;
    }
    return {};
}

} // namespace

bool ParsedArgs::has(std::string_view name) const {
    return value(name).has_value();
}

std::optional<std::string_view> ParsedArgs::value(std::string_view name) const {
    std::optional<std::string_view> found;
    for (const auto& [option, value] : options) {
        if (option == name) {
            found = value;
        }
    }
    return found;
}

bool IsHelpOption(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

int UsageError(const CliCommand& command, std::string_view reason, std::ostream& err) {
    err << "tarvik-cli: " << command.name << ": " << reason << "\nUsage: tarvik-cli "
        << command.name << (command.arguments.empty() ? "" : " ") << command.arguments << '\n';
    return kExitUsage;
}

std::optional<ParsedArgs> ParseArgs(const CliCommand& command, CliArgs args, std::ostream& err) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const CliOption* option = FindOption(command, name);
        if (option == nullptr) {
            UsageError(command, "unknown option '" + std::string(name) + "'", err);
            return std::nullopt;
        }
        std::string_view value;
        if (option->value == CliValue::None) {
            if (equals != std::string_view::npos) {
                UsageError(command, std::string(name) + " takes no value", err);
                return std::nullopt;
            }
        } else if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            UsageError(
                command,
                std::string(name) + " needs a value (" + std::string(option->valueName) + ")", err);
            return std::nullopt;
        }
        if (const std::string problem = ValueProblem(*option, value); !problem.empty()) {
            UsageError(command, problem, err);
            return std::nullopt;
        }
        parsed.options.emplace_back(option->name, value);
    }
    if (const std::string problem = OperandProblem(command, parsed); !problem.empty()) {
        UsageError(command, problem, err);
        return std::nullopt;
    }
    return parsed;
}

} // namespace tarvik::cli
