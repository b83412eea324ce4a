#include "editor/shell/widgets/QtText.h"

#include "base/Windows1252.h"

namespace tarvik {

QString FromWindows1252(std::string_view bytes) {
    const std::u16string text = Windows1252ToUtf16(bytes);
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::optional<std::string> ToWindows1252(const QString& text) {
    Windows1252Text converted = Utf16ToWindows1252(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    if (!converted.ok()) {
        return std::nullopt;
    }
    return std::move(converted.text);
}

QString Translated(const LanguageTable& table, const QString& text) {
    const std::optional<std::string> key = ToWindows1252(text);
    return key ? FromWindows1252(TranslateText(table, *key)) : text;
}

QString Translated(const LanguageTable& table, std::string_view text) {
    return FromWindows1252(TranslateText(table, text));
}

} // namespace tarvik
