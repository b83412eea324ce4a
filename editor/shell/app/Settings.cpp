#include "editor/shell/app/Settings.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/widgets/QtText.h"

#include <QSettings>
#include <QStringList>

namespace tarvik {
namespace {

const QString kGroup = QStringLiteral("User");
const QString kLanguageKey = QStringLiteral("Language");
const QString kNameKey = QStringLiteral("Name");
const QString kPublicKeyKey = QStringLiteral("PublicKey");

} // namespace

std::unique_ptr<Settings> Settings::OpenUser() {
    return std::make_unique<Settings>(
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Velmor"), QStringLiteral("Tarvik")));
}

std::unique_ptr<Settings> Settings::OpenFile(const QString& path) {
    return std::make_unique<Settings>(std::make_unique<QSettings>(path, QSettings::IniFormat));
}

Settings::Settings(std::unique_ptr<QSettings> store) : store_(std::move(store)) {
    store_->beginGroup(kGroup);
}

Settings::~Settings() = default;

QString Settings::Language() const {
    return ReadText(kLanguageKey, QString());
}

void Settings::SetLanguage(const QString& language) {
    WriteText(kLanguageKey, language);
}

QString Settings::Name() const {
    return ReadText(kNameKey, FromWindows1252(kFactoryUserName));
}

void Settings::SetName(const QString& name) {
    WriteText(kNameKey, name);
}

std::int32_t Settings::PublicKey() const {
    return ReadInteger(kPublicKeyKey, static_cast<std::int32_t>(FactoryDigest()));
}

void Settings::SetPublicKey(std::uint32_t digest) {
    WriteText(kPublicKeyKey, QString::number(digest));
}

QString Settings::ReadText(const QString& key, const QString& fallback) const {
    const QVariant value = store_->value(key);
    if (!value.isValid()) {
        return fallback;
    }
    // An INI file written by hand may hold a value with commas, which reads as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

std::int32_t Settings::ReadInteger(const QString& key, std::int32_t fallback) const {
    bool decimal = false;
    const int value = ReadText(key, QString()).toInt(&decimal, 10);
    return decimal ? value : fallback;
}

void Settings::WriteText(const QString& key, const QString& value) {
    store_->setValue(key, value);
    // Stored at once, as a registry value would be, not when the program ends.
    store_->sync();
}

} // namespace tarvik
