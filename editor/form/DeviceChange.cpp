// Applying a device model to the form.
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

namespace tarvik {

int FormModel::deviceIndex() const {
    return fields_.itemIndex(fieldIndex("CBDevice"));
}

void FormModel::applyModelTexts(int idx) {
    for (int row = 0; row <= 4; ++row) {
        const int combo = rowField("CBIp", row);
        for (std::size_t k = 0; k < kResetSmsInputItems.size(); ++k) {
            fields_.setItemText(combo, kFirstResetSmsInputItem + static_cast<int>(k),
                                idx < 0 ? std::string("-")
                                        : TranslateText(language_, kResetSmsInputItems[k]));
        }
    }
    const bool led = idx >= 0 && DeviceModels()[idx].ledOutputs;
    for (int row = 0; row <= 3; ++row) {
        const int combo = rowField("CBOp", row);
        for (std::size_t k = 0; k < kLedOutputItems.size(); ++k) {
            fields_.setItemText(combo, kFirstModelOutputItem + static_cast<int>(k),
                                led ? TranslateText(language_, kLedOutputItems[k])
                                    : std::string(kPlainOutputItems[k]));
        }
    }
}

void FormModel::applyDeviceModel() {
    const int count = static_cast<int>(DeviceModels().size());
    int idx = deviceIndex();
    if (idx >= count) {
        idx = -1;
    }
    // Checking one item of the radio group unchecks the others; with no model selected
    // nothing is checked, so the last checked item stays so, and so does the document's model.
    if (idx >= 0) {
        checkedMenuItem_ = idx;
        doc_.modelIndex = idx;
    }
    barrierTabVisible_ = idx >= 0 && DeviceModels()[idx].barrierTab;
    applyModelTexts(idx);
    for (int f = 0; f < fields_.size(); ++f) {
        fields_.setAllowed(f, ModelAllows(FieldModel::definition(f).marker, idx));
    }
    modelApplied_.notify();
    decodeProgram();
}

void FormModel::chooseDeviceMenuItem(int menuItem) {
    if (menuItem < 0 || menuItem >= static_cast<int>(DeviceModels().size())) {
        return;
    }
    checkedMenuItem_ = menuItem;
    // Selecting from code fires no change, so the model is applied here.
    fields_.setItemIndex(fieldIndex("CBDevice"), menuItem);
    applyDeviceModel();
}

} // namespace tarvik
