#pragma once

#include <QValidator>

namespace tarvik {

// Accepts only text that Windows-1252 can hold, the character set of everything the
// program stores, so that a box never holds a character that could not be saved.
class Windows1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

} // namespace tarvik
