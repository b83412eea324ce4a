// Handlers of the "Input" page.
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"

namespace tarvik {

void FormModel::inputModeChanged(int sender) {
    const auto tag = handlerTag(sender, 0, 4);
    if (!tag) {
        return;
    }
    const int item = fields_.itemIndex(sender);
    setEntry("IP" + std::to_string(*tag), item >= 1 ? std::to_string(item - 1) : std::string());
}

// A numeric field writing keyword + (Tag + offset) = value; 0 removes the entry.
void FormModel::numberedValueChange(int sender, std::string_view keyword, int first, int last,
                                    int offset) {
    const auto tag = handlerTag(sender, first, last);
    if (!tag) {
        return;
    }
    const int value = readValue(sender);
    setEntry(std::string(keyword) + std::to_string(*tag + offset),
             value == 0 ? std::string() : std::to_string(value));
}

void FormModel::inputDelayChanged(int sender) {
    numberedValueChange(sender, "DL", 0, 3, 1);
}

void FormModel::inputFilterChanged(int sender) {
    numberedValueChange(sender, "IF", 0, 4, 0);
}

void FormModel::inputFilterAChanged(int sender) {
    numberedValueChange(sender, "IFA", 0, 4, 0);
}

void FormModel::counterTriggerChanged(int sender) {
    numberedValueChange(sender, "IC", 1, 4, 0);
}

void FormModel::counterResetChanged(int sender) {
    numberedValueChange(sender, "IR", 1, 4, 0);
}

void FormModel::smsResendChanged(int sender) {
    numberedValueChange(sender, "IA", 1, 4, 0);
}

void FormModel::directAlarmChanged(int sender) {
    const auto tag = handlerTag(sender, 1, 4);
    if (!tag) {
        return;
    }
    std::string name = "OA" + std::to_string(*tag);
    const int item = fields_.itemIndex(sender);
    if (item < 1 || item > 12) {
        // OAn, OAn0 and OAn1 share one key, so this removes whichever variant is there.
        setEntry(name, {});
        return;
    }
    const int output = (item - 1) % 4 + 1;
    const int flag = 1 - (item - 1) / 8;
    if (item >= 5 && item <= 8) {
        name += '0';
    } else if (item >= 9) {
        name += '1';
    }
    setEntry(name, std::to_string(output) + std::to_string(flag));
}

void FormModel::linkChanged(int sender) {
    const auto tag = handlerTag(sender, 0, 11);
    if (!tag) {
        return;
    }
    std::string name = std::string("LK") + "0123456789ab"[*tag];
    const std::string_view text = Trimmed(fields_.text(sender));
    if (text.find('-') != std::string_view::npos) {
        // A range of numbers travels in the name; the value is then a plain 0.
        setEntry(name + "." + std::string(text), "0");
    } else {
        setEntry(name, text);
    }
}

} // namespace tarvik
