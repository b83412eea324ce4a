// Platforms without ModemManager: no modem is ever held by it.
#include "modem/modemmanager/ModemManagerLink.h"

namespace tarvik::modem {

std::unique_ptr<ModemManagerLink> ConnectModemManager() {
    return nullptr;
}

} // namespace tarvik::modem
