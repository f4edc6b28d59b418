#include "platform/posix/print/user_default_posix.hpp"

#include <cups/cups.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace platform::posix {

std::string LpoptionsDefault(const std::string& path) {
    cups_file_t* file = cupsFileOpen(path.c_str(), "r");
    if (file == nullptr) return "";
    std::string name;
    char line[8192];
    char* value = nullptr;
    int number = 0;
    while (cupsFileGetConf(file, line, sizeof line, &value, &number) != nullptr) {
        if (strcasecmp(line, "default") != 0 || value == nullptr) continue;
        // "Default name/instance option=value ...": the name ends at a blank or a slash.
        name.assign(value, std::strcspn(value, " \t/"));
        break;
    }
    cupsFileClose(file);
    return name;
}

std::string UserDefaultQueue() {
    const char* chosen = std::getenv("LPDEST");
    if (chosen == nullptr) {
        chosen = std::getenv("PRINTER");
        if (chosen != nullptr && std::strcmp(chosen, "lp") == 0) chosen = nullptr;
    }
    if (chosen != nullptr) return std::string(chosen).substr(0, std::strcspn(chosen, "/"));
    std::string name;
    if (const char* home = std::getenv("HOME"))
        name = LpoptionsDefault(std::string(home) + "/.cups/lpoptions");
    if (name.empty()) {
        const char* root = std::getenv("CUPS_SERVERROOT");
        name = LpoptionsDefault(std::string(root != nullptr ? root : "/etc/cups") + "/lpoptions");
    }
    return name;
}

}  // namespace platform::posix
