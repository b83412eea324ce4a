#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class QSettings;

namespace tarvik {

// The user's settings: the chosen language, the user name and the password digest, kept
// as text values in the group "User" of the organisation "Velmor", application "Tarvik", in
// QSettings' native format: ~/.config/Velmor/Tarvik.conf on Linux, string values (REG_SZ) of
// the registry key HKEY_CURRENT_USER\Software\Velmor\Tarvik\User on Windows. The
// application opens one Settings and hands it to whatever reads or writes them; tests open
// one on a file of their own.
class Settings {
public:
    // The user's own settings.
    static std::unique_ptr<Settings> OpenUser();
    // Settings kept in the INI file at path.
    static std::unique_ptr<Settings> OpenFile(const QString& path);

    explicit Settings(std::unique_ptr<QSettings> store);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // "Language": the caption of the chosen language, empty by default.
    QString Language() const;
    void SetLanguage(const QString& language);
    // "Name": the user name, "GSM" by default.
    QString Name() const;
    void SetName(const QString& name);
    // "PublicKey": the password digest, the factory digest by default.
    std::int32_t PublicKey() const;
    void SetPublicKey(std::uint32_t digest);

    // A text value, or fallback when absent.
    QString ReadText(const QString& key, const QString& fallback) const;
    // A whole number kept as decimal text; fallback when absent or not a decimal number
    // that fits 32 bits.
    std::int32_t ReadInteger(const QString& key, std::int32_t fallback) const;
    // Writes a text value; it is in the store when this returns.
    void WriteText(const QString& key, const QString& value);

private:
    std::unique_ptr<QSettings> store_;
};

} // namespace tarvik
