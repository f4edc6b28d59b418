#include "platform/posix/print/font_config_posix.hpp"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <strings.h>
#include <sys/mman.h>

#include <string>
#include <vector>

#include "platform/posix/common/warm_up_posix.hpp"
#include "platform/posix/print/font_match_posix.hpp"

namespace platform::posix {
namespace {

// The font directories and caches every fontconfig reads by default, and none of its rules.
constexpr const char* kOwnConfiguration = R"(<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <dir>~/.fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <cachedir>~/.fontconfig</cachedir>
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

// The families the program's own configuration serves ("" is the default face, which cairo
// asks for as "monospace"), each with the families asked for in its place, in the order an
// alias of fontconfig's would put them (null: the name itself), and the families whose face
// may stand for it: the faces whose metrics match the Windows one ("MS Sans Serif" is a plain
// sans face, which fontconfig would otherwise pick at random). The aliases are written here
// rather than in the configuration, whose rules would cost more to read than the rest of it.
struct OwnFamily {
    const char* name;
    const char* asked[3];
    const char* matches[3];
};
constexpr OwnFamily kOwnFamilies[] = {
    {"", {"Liberation Mono", "Cousine", nullptr}, {"Liberation Mono", "Cousine", nullptr}},
    {"Arial", {nullptr, "Liberation Sans", "Arimo"}, {"Arial", "Liberation Sans", "Arimo"}},
    {"MS Sans Serif", {"Liberation Sans", "Arimo", nullptr}, {"Liberation Sans", "Arimo", nullptr}},
    {"Microsoft Sans Serif",
     {"Liberation Sans", "Arimo", nullptr},
     {"Liberation Sans", "Arimo", nullptr}},
    {"Courier New",
     {nullptr, "Liberation Mono", "Cousine"},
     {"Courier New", "Liberation Mono", "Cousine"}},
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

// The family cairo is asked for: the default face is the monospace one, as on a Windows
// printer.
const char* FamilyAsked(const char* faceName) {
    return faceName[0] != '\0' ? faceName : "monospace";
}

// The program's own configuration, or null when it cannot be read. Whether it finds a face
// for each of the runtime's families is known when that family is first asked for.
FcConfig* ReadOwnConfiguration() {
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) return nullptr;
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kOwnConfiguration),
                                       FcFalse) &&
        FcConfigBuildFonts(config)) {
        return config;
    }
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

// Whether the face found may stand for the family: the family itself or one of its metric
// twins, not whatever face fontconfig offers when it has none of them.
bool MayStandFor(const OwnFamily& family, FcPattern* match) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) != FcResultMatch) return false;
    for (const char* acceptable : family.matches) {
        if (acceptable != nullptr &&
            strcasecmp(acceptable, reinterpret_cast<const char*>(name)) == 0) {
            return true;
        }
    }
    return false;
}

// The face the program's own configuration finds for one of the runtime's families, found as
// cairo finds a face for a family, slant and weight (cairo's own pattern of them, at the size
// and with the options of their first use, with the aliases, substituted by the
// configuration and matched), but once, and without comparing every font on the system. Null
// when that face may not stand for the family.
cairo_font_face_t* FindOwnFace(const OwnFamily& family, const char* faceName,
                               cairo_font_slant_t slant, cairo_font_weight_t weight,
                               const cairo_font_options_t* options, double pixels) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    const int fcSlant = slant == CAIRO_FONT_SLANT_ITALIC    ? FC_SLANT_ITALIC
                        : slant == CAIRO_FONT_SLANT_OBLIQUE ? FC_SLANT_OBLIQUE
                                                            : FC_SLANT_ROMAN;
    // cairo's normal weight is fontconfig's medium.
    const int fcWeight = weight == CAIRO_FONT_WEIGHT_BOLD ? FC_WEIGHT_BOLD : FC_WEIGHT_MEDIUM;
    bool made = true;
    for (const char* asked : family.asked) {
        const char* name = asked != nullptr ? asked : FamilyAsked(faceName);
        made =
            made && FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
    }
    made = made && FcPatternAddInteger(pattern, FC_SLANT, fcSlant) &&
           FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight) &&
           FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels) &&
           FcConfigSubstitute(ownConfig, pattern, FcMatchPattern);
    cairo_ft_font_options_substitute(options, pattern);
    FcDefaultSubstitute(pattern);
    FcPattern* match = made ? MatchFont(ownConfig, pattern) : nullptr;
    FcPatternDestroy(pattern);
    cairo_font_face_t* face = nullptr;
    if (match != nullptr && MayStandFor(family, match)) {
        face = cairo_ft_font_face_create_for_pattern(match);
        if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(face);
            face = nullptr;
        }
    }
    if (match != nullptr) FcPatternDestroy(match);
    return face;
}

// The faces of the runtime's families, each found when first asked for and kept for the run
// (null: the system's configuration serves it).
struct KnownFace {
    std::string faceName;
    cairo_font_slant_t slant;
    cairo_font_weight_t weight;
    cairo_font_face_t* face;
};
std::vector<KnownFace> knownFaces;
pthread_mutex_t facesLock = PTHREAD_MUTEX_INITIALIZER;

class FaceLock {
  public:
    FaceLock() { pthread_mutex_lock(&facesLock); }
    ~FaceLock() { pthread_mutex_unlock(&facesLock); }
    FaceLock(const FaceLock&) = delete;
    FaceLock& operator=(const FaceLock&) = delete;
};

KnownFace* FindKnownFace(const char* faceName, cairo_font_slant_t slant,
                         cairo_font_weight_t weight) {
    for (KnownFace& known : knownFaces) {
        if (known.faceName == faceName && known.slant == slant && known.weight == weight) {
            return &known;
        }
    }
    return nullptr;
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

cairo_font_face_t* CreateFontFace(const char* faceName, cairo_font_slant_t slant,
                                  cairo_font_weight_t weight, const cairo_font_options_t* options,
                                  double pixels) {
    if (!FontsReady()) return nullptr;
    const FaceLock lock;
    const OwnFamily* own = ownConfig != nullptr ? OwnFamilyNamed(faceName) : nullptr;
    if (own != nullptr) {
        KnownFace* known = FindKnownFace(faceName, slant, weight);
        if (known == nullptr) {
            knownFaces.push_back({faceName, slant, weight,
                                  FindOwnFace(*own, faceName, slant, weight, options, pixels)});
            known = &knownFaces.back();
        }
        if (known->face != nullptr) return cairo_font_face_reference(known->face);
    }
    // Any other family, and one of the runtime's that the program's configuration finds no
    // face for, is found as cairo finds it, through the system's configuration.
    if (systemConfig == nullptr) systemConfig = ReadSystemConfiguration();
    if (systemConfig == nullptr || !FcConfigSetCurrent(systemConfig)) return nullptr;
    return cairo_toy_font_face_create(FamilyAsked(faceName), slant, weight);
}

}  // namespace platform::posix
