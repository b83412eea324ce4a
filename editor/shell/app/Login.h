#pragma once

namespace tarvik {

class Prompts;
class Settings;
class TFormPsw;

// The login at start: the stored user name goes into the dialog (with the factory
// password for the factory user), the dialog is shown, and the name and password entered
// must give the stored digest. False when the dialog was not closed with OK or the
// digest differs; the program then ends, without a message and without a second try.
bool RunLogin(TFormPsw& dialog, const Settings& settings, Prompts& prompts);

} // namespace tarvik
