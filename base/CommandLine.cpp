#include "base/CommandLine.h"

#include <algorithm>
#include <ostream>

namespace tarvik {
namespace {

// "" when the operands fit, else what is wrong with them.
std::string OperandProblem(const ArgOperands& operands, const ParsedArgs& parsed) {
    const int count = static_cast<int>(parsed.operands.size());
    if (count < operands.min) {
        return "missing operand";
    }
    if (operands.max != ArgOperands::unlimited && count > operands.max) {
        return "extra operand '" + std::string(parsed.operands[operands.max]) + "'";
    }
    return {};
}

// "" when value suits the option, else what is wrong with it.
std::string ValueProblem(const ArgOption& option, std::string_view value) {
    const std::string name(option.name);
    switch (option.value) {
    case ArgValue::Choice: {
        const auto words = ChoiceWords(option.valueName);
        if (std::find(words.begin(), words.end(), value) == words.end()) {
            return name + " takes " + std::string(option.valueName) + ", not '" +
                   std::string(value) + "'";
        }
        break;
    }
    case ArgValue::Count:
        // Nine digits at most, so that every count fits an int.
        if (value.empty() || value.size() > 9 ||
            value.find_first_not_of("0123456789") != std::string_view::npos) {
            return name + " takes a whole number, not '" + std::string(value) + "'";
        }
        break;
    case ArgValue::Name:
    case ArgValue::File:
        if (value.empty()) {
            return name + " needs a value (" + std::string(option.valueName) + ")";
        }
        break;
    case ArgValue::None:
    case ArgValue::Text:
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
    for (const auto& [option, given] : options) {
        if (option == name) {
            found = given;
        }
    }
    return found;
}

const ArgOption* FindArgOption(std::span<const ArgOption> options, std::string_view name) {
    const auto found =
        std::find_if(options.begin(), options.end(),
                     [name](const ArgOption& option) { return option.name == name; });
    return found == options.end() ? nullptr : &*found;
}

bool IsHelpOption(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

bool AsksForHelp(std::span<const std::string_view> args) {
    for (const std::string_view arg : args) {
        if (arg == "--") {
            return false;
        }
        if (IsHelpOption(arg)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string_view> ChoiceWords(std::string_view valueName) {
    std::vector<std::string_view> words;
    while (!valueName.empty()) {
        const std::size_t bar = valueName.find('|');
        words.push_back(valueName.substr(0, bar));
        valueName.remove_prefix(bar == std::string_view::npos ? valueName.size() : bar + 1);
    }
    return words;
}

ArgParse ParseArgs(std::span<const ArgOption> options, const ArgOperands& operands,
                   std::span<const std::string_view> args) {
    ArgParse result;
    ParsedArgs& parsed = result.args;
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
        const ArgOption* option = FindArgOption(options, name);
        if (option == nullptr) {
            result.error = "unknown option '" + std::string(name) + "'";
            return result;
        }
        std::string_view value;
        if (option->value == ArgValue::None) {
            if (equals != std::string_view::npos) {
                result.error = std::string(name) + " takes no value";
                return result;
            }
        } else if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            result.error =
                std::string(name) + " needs a value (" + std::string(option->valueName) + ")";
            return result;
        }
        if (std::string problem = ValueProblem(*option, value); !problem.empty()) {
            result.error = std::move(problem);
            return result;
        }
        parsed.options.emplace_back(option->name, value);
    }
    result.error = OperandProblem(operands, parsed);
    return result;
}

std::vector<HelpRow> OptionRows(std::span<const ArgOption> options) {
    std::vector<HelpRow> rows;
    for (const ArgOption& option : options) {
        std::string tag(option.name);
        if (option.value != ArgValue::None) {
            tag += ' ';
            tag += option.valueName;
        }
        rows.push_back({std::move(tag), option.help});
    }
    return rows;
}

void WriteHelpRows(std::span<const HelpRow> rows, std::ostream& out, std::size_t tagWidth) {
    std::size_t width = tagWidth;
    if (width == 0) {
        for (const HelpRow& row : rows) {
            width = std::max(width, row.tag.size());
        }
    }
    const std::string textIndent(2 + width + 2, ' ');
    for (const HelpRow& row : rows) {
        out << "  " << row.tag;
        if (row.tag.size() > width) {
            out << '\n' << textIndent;
        } else {
            out << std::string(width + 2 - row.tag.size(), ' ');
        }
        std::string_view text = row.text;
        for (std::size_t end = text.find('\n'); end != std::string_view::npos;
             end = text.find('\n')) {
            out << text.substr(0, end) << '\n' << textIndent;
            text.remove_prefix(end + 1);
        }
        out << text << '\n';
    }
}

} // namespace tarvik
