// Handlers of the "Telephone" and "SMS" pages.
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"

namespace tarvik {

void FormModel::telephoneNumberChanged(int sender) {
    const auto row = handlerTag(sender, 0, 9);
    if (!row) {
        return;
    }
    const int kind = fields_.itemIndex(rowField("CBTl", *row));
    std::string name = "TL" + std::to_string(*row);
    if (kind == 1) {
        name += 'C';
    } else if (kind == 2) {
        name += 'S';
    }
    setEntry(name, Trimmed(fields_.text(rowField("EDTl", *row))));
}

void FormModel::clipNumberChanged(int sender) {
    const auto row = handlerTag(sender, 0, 9);
    if (!row) {
        return;
    }
    const int function = fields_.itemIndex(rowField("CBTO", *row));
    const std::string name = "TO" + std::to_string(*row) + ":" + std::to_string(function);
    setEntry(name, Trimmed(fields_.text(rowField("EDTO", *row))));
}

void FormModel::securityNumberChanged(int sender) {
    const auto row = handlerTag(sender, 0, 9);
    if (!row) {
        return;
    }
    setEntry("TK" + std::to_string(*row), fields_.text(sender));
}

namespace {

// The name of an SMS text entry: the prefix and the text, every blank written as "-".
std::string SmsEntryName(std::string name) {
    for (char& c : name) {
        if (c == ' ') {
            c = '-';
        }
    }
    return name;
}

} // namespace

void FormModel::smsTextChanged(int sender) {
    const auto tag = handlerTag(sender, 0, 9);
    if (!tag) {
        return;
    }
    const std::string_view text = Trimmed(fields_.text(sender));
    const std::string number = text.empty() ? std::string() : std::to_string(*tag);
    setEntry(SmsEntryName("#" + std::to_string(*tag) + std::string(text)), number);
}

void FormModel::numberedSmsTextChanged(int sender) {
    const auto tag = handlerTag(sender, 6, 10);
    if (!tag) {
        return;
    }
    const std::string_view text = Trimmed(fields_.text(sender));
    const std::string number = text.empty() ? std::string() : std::to_string(*tag);
    const char digit = "0123456789a"[*tag];
    setEntry(SmsEntryName(std::string("$") + digit + std::string(text)), number);
}

} // namespace tarvik
