#include "editor/shell/widgets/Windows1252Validator.h"

#include "editor/shell/widgets/QtText.h"

namespace tarvik {

QValidator::State Windows1252Validator::validate(QString& input, int&) const {
    return ToWindows1252(input) ? Acceptable : Invalid;
}

} // namespace tarvik
