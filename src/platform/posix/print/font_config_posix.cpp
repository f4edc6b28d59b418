#include "platform/posix/print/font_config_posix.hpp"

#include <fontconfig/fontconfig.h>
#include <strings.h>
#include <sys/mman.h>

#include <string>

#include "platform/posix/common/warm_up_posix.hpp"

namespace platform::posix {
namespace {

// The font directories and caches every fontconfig reads by default, and the families the
// runtime uses, each with the faces whose metrics match the Windows one ("MS Sans Serif" is
// a plain sans face, which fontconfig would otherwise pick at random).
constexpr const char* kOwnConfiguration = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <dir>~/.fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <cachedir>~/.fontconfig</cachedir>
  <alias binding="same"><family>Arial</family>
    <accept><family>Liberation Sans</family><family>Arimo</family></accept></alias>
  <alias binding="same"><family>Courier New</family>
    <accept><family>Liberation Mono</family><family>Cousine</family></accept></alias>
  <alias binding="same"><family>monospace</family>
    <prefer><family>Liberation Mono</family><family>Cousine</family></prefer></alias>
  <alias binding="same"><family>MS Sans Serif</family>
    <prefer><family>Liberation Sans</family><family>Arimo</family></prefer></alias>
  <alias binding="same"><family>Microsoft Sans Serif</family>
    <prefer><family>Liberation Sans</family><family>Arimo</family></prefer></alias>
</fontconfig>)";

// The system's configuration gets the aliases for the Windows names no metric-compatible face
// answers to by itself.
constexpr const char* kSystemAliases = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>MS Sans Serif</family>
    <prefer><family>Liberation Sans</family><family>Arimo</family></prefer></alias>
  <alias binding="same"><family>Microsoft Sans Serif</family>
    <prefer><family>Liberation Sans</family><family>Arimo</family></prefer></alias>
</fontconfig>)";

// The families the program's own configuration serves ("" is the default face), and what
// each must find there for that configuration to be of use.
struct OwnFamily {
    const char* name;
    const char* matches[3];
};
constexpr OwnFamily kOwnFamilies[] = {
    {"", {"Liberation Mono", "Cousine", nullptr}},
    {"Arial", {"Arial", "Liberation Sans", "Arimo"}},
    {"MS Sans Serif", {"Liberation Sans", "Arimo", nullptr}},
    {"Microsoft Sans Serif", {"Liberation Sans", "Arimo", nullptr}},
    {"Courier New", {"Courier New", "Liberation Mono", "Cousine"}},
};

// fontconfig does not survive running out of memory while it reads a configuration (it
// fails in its own clean-up), so it starts only when this much memory could still be had;
// it needs less than a megabyte.
constexpr size_t kSetUpMargin = 4 * 1024 * 1024;

bool MemoryToSpare() {
    void* margin = mmap(nullptr, kSetUpMargin, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (margin == MAP_FAILED) return false;
    munmap(margin, kSetUpMargin);
    return true;
}

FcConfig* ownConfig = nullptr;
FcConfig* systemConfig = nullptr;

const OwnFamily* OwnFamilyNamed(const char* faceName) {
    for (const OwnFamily& family : kOwnFamilies) {
        if (strcasecmp(family.name, faceName) == 0) return &family;
    }
    return nullptr;
}

// Whether the configuration finds a face for the family that may stand for it.
bool Finds(FcConfig* config, const OwnFamily& family) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    const char* asked = family.name[0] != '\0' ? family.name : "monospace";
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(asked));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    FcChar8* name = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
        for (const char* acceptable : family.matches) {
            if (acceptable != nullptr &&
                strcasecmp(acceptable, reinterpret_cast<const char*>(name)) == 0) {
                found = true;
            }
        }
    }
    if (match != nullptr) FcPatternDestroy(match);
    return found;
}

// The program's own configuration, or null when it cannot be read or does not find the
// runtime's families (fonts kept where fontconfig does not look by default).
FcConfig* ReadOwnConfiguration() {
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) return nullptr;
    bool usable = FcConfigParseAndLoadFromMemory(
                      config, reinterpret_cast<const FcChar8*>(kOwnConfiguration), FcFalse) &&
                  FcConfigBuildFonts(config);
    for (const OwnFamily& family : kOwnFamilies)
        usable = usable && Finds(config, family);
    if (usable) return config;
    FcConfigDestroy(config);
    return nullptr;
}

FcConfig* ReadSystemConfiguration() {
    if (!MemoryToSpare()) return nullptr;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config != nullptr &&
        !FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kSystemAliases),
                                        FcFalse)) {
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

void SetUpFonts() {
    if (!MemoryToSpare()) return;
    ownConfig = ReadOwnConfiguration();
    if (ownConfig == nullptr) systemConfig = ReadSystemConfiguration();
    FcConfig* current = ownConfig != nullptr ? ownConfig : systemConfig;
    if (current != nullptr) FcConfigSetCurrent(current);
}

// Set up once: on a thread of its own when WarmUpFonts started it early enough, else when
// the first font needs it.
WarmUp fontSetUp(SetUpFonts);

}  // namespace

void WarmUpFonts() { fontSetUp.Start(); }

bool FontsReady() {
    fontSetUp.Finish();
    return ownConfig != nullptr || systemConfig != nullptr;
}

bool UseFontsFor(const char* faceName) {
    if (!FontsReady()) return false;
    if (ownConfig != nullptr && OwnFamilyNamed(faceName) != nullptr) {
        return FcConfigSetCurrent(ownConfig) == FcTrue;
    }
    if (systemConfig == nullptr) systemConfig = ReadSystemConfiguration();
    return systemConfig != nullptr && FcConfigSetCurrent(systemConfig) == FcTrue;
}

}  // namespace platform::posix
