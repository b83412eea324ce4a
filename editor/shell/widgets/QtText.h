#pragma once

#include "program/LanguageTable.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// The crossing between the program's 8-bit Windows-1252 texts and Qt's Unicode strings.

QString FromWindows1252(std::string_view bytes);
// The bytes of text, or nothing when it holds a character Windows-1252 cannot hold.
std::optional<std::string> ToWindows1252(const QString& text);

// A text as the language table translates it. Texts with characters outside Windows-1252
// cannot be keys of a language file and stay as they are.
QString Translated(const LanguageTable& table, const QString& text);
QString Translated(const LanguageTable& table, std::string_view text);

} // namespace tarvik
