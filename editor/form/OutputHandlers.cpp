// Handlers of the "Output" page: the number field and the combo of a row move together.
#include "editor/form/FormModel.h"

namespace tarvik {
namespace {

// The combo item that shows an output value.
int OutputItemOf(int value) {
    if (value <= 0) {
        return 0;
    }
    if (value == 1) {
        return 1;
    }
    if (value <= 236) {
        return 2;
    }
    return value - 234; // 237..248 are items 3..14
}

// The output value an item stands for; -1 for no item.
int OutputValueOf(int item) {
    if (item == 0 || item == 1) {
        return item;
    }
    if (item == 2) {
        return 30;
    }
    if (item >= 3 && item <= 14) {
        return item + 234;
    }
    return -1;
}

} // namespace

void FormModel::outputNumberChanged(int sender) {
    const int tag = FieldModel::definition(sender).tag;
    if (tag < 1 || tag > 4) {
        return;
    }
    const int value = readValue(sender);
    // The combo follows the number even while the form is being decoded.
    fields_.setItemIndex(rowField("CBOp", tag - 1), OutputItemOf(value));
    if (decoding_) {
        return;
    }
    setEntry("OP" + std::to_string(tag), value == 0 ? std::string() : std::to_string(value));
}

void FormModel::outputItemChosen(int sender) {
    const auto tag = handlerTag(sender, 1, 4);
    if (!tag) {
        return;
    }
    const int number = rowField("EDOp", *tag - 1);
    if (fields_.focused() == number) {
        return;
    }
    const int value = OutputValueOf(fields_.itemIndex(sender));
    if (value >= 0) {
        fields_.setValue(number, value); // fires outputNumberChanged, which writes the entry
    }
}

} // namespace tarvik
