#pragma once

namespace tarvik {

class LanguageTable;
class Prompts;
class Settings;
class PasswordDialog;

// The login at start: the stored user name goes into the dialog (with the factory
// password for the factory user), the dialog is shown, and the name and password entered
// must give the stored digest. False when the dialog was not closed with OK or the
// digest differs; the program then ends without a second try. A digest that differs shows
// "Wrong password" (translated through language) first, so the end is never a mystery.
bool RunLogin(PasswordDialog& dialog, const Settings& settings, Prompts& prompts,
              const LanguageTable& language);

} // namespace tarvik
