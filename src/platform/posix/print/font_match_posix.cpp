#include "platform/posix/print/font_match_posix.hpp"

#include <cstring>
#include <string>
#include <vector>

namespace platform::posix {
namespace {

// The elements fontconfig does not compare, or ranks below the family when it compares a
// font with a pattern. The few it ranks above (a file, a format, a foundry, a character set,
// whether the font is scalable, in colour or variable) and any it may add later could make a
// font of another family the best, so a pattern with any element not listed here (but for
// "variable", below) is compared with every font.
constexpr const char* kBelowFamily[] = {
    // Names and languages.
    FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_FULLNAME, FC_FULLNAMELANG,
    FC_POSTSCRIPT_NAME, FC_LANG, FC_NAMELANG, FC_PRGNAME,
    // Shape and size.
    FC_SLANT, FC_WEIGHT, FC_WIDTH, FC_SIZE, FC_PIXEL_SIZE, FC_SPACING, FC_SYMBOL, FC_DECORATIVE,
    FC_FONTVERSION, FC_ORDER, FC_DPI, FC_SCALE,
    // How it is rendered.
    FC_HINTING, FC_HINT_STYLE, FC_AUTOHINT, FC_ANTIALIAS, FC_RGBA, FC_LCD_FILTER,
    FC_VERTICAL_LAYOUT, FC_GLOBAL_ADVANCE, FC_EMBOLDEN, FC_EMBEDDED_BITMAP};

bool RankedBelowFamily(const char* object) {
    for (const char* below : kBelowFamily) {
        if (std::strcmp(below, object) == 0) return true;
    }
    return std::strcmp(object, FC_VARIABLE) == 0;
}

// The pattern's families, when every element may be left to the family and every family
// binds strongly (a weakly bound one ranks below the language); else empty.
std::vector<const FcChar8*> FamiliesDeciding(FcPattern* pattern) {
    FcPatternIter iter;
    FcPatternIterStart(pattern, &iter);
    if (FcPatternIterIsValid(pattern, &iter)) {
        do {
            if (!RankedBelowFamily(FcPatternIterGetObject(pattern, &iter))) return {};
        } while (FcPatternIterNext(pattern, &iter));
    }
    std::vector<const FcChar8*> families;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0;
         FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (value.type != FcTypeString || binding != FcValueBindingStrong) return {};
        families.push_back(value.u.s);
    }
    return families;
}

std::string WithoutBlanks(const FcChar8* name) {
    std::string kept;
    for (const FcChar8* at = name; *at != 0; ++at) {
        if (*at != ' ') kept += static_cast<char>(*at);
    }
    return kept;
}

// Whether fontconfig takes two family names for the same: blanks left out, case folded (its
// own folding, beyond ASCII too).
bool SameFamily(const FcChar8* a, const FcChar8* b) {
    for (;;) {
        while (*a == ' ')
            ++a;
        while (*b == ' ')
            ++b;
        if (*a >= 0x80 || *b >= 0x80) break;
        const int left = *a >= 'A' && *a <= 'Z' ? *a - 'A' + 'a' : *a;
        const int right = *b >= 'A' && *b <= 'Z' ? *b - 'A' + 'a' : *b;
        if (left != right) return false;
        if (left == 0) return true;
        ++a;
        ++b;
    }
    const std::string left = WithoutBlanks(a);
    const std::string right = WithoutBlanks(b);
    return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(left.c_str()),
                              reinterpret_cast<const FcChar8*>(right.c_str())) == 0;
}

bool OfFamilies(FcPattern* font, const std::vector<const FcChar8*>& families) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        for (const FcChar8* family : families) {
            if (SameFamily(name, family)) return true;
        }
    }
    return false;
}

// Whether the font scores nothing against the pattern's "variable", the one element ranked
// above the family that may be left to the family: fontconfig counts a difference only
// between true and false.
bool VariableFits(FcPattern* font, FcPattern* pattern) {
    FcBool asked = FcFalse;
    FcBool is = FcFalse;
    if (FcPatternGetBool(pattern, FC_VARIABLE, 0, &asked) != FcResultMatch) return true;
    if (FcPatternGetBool(font, FC_VARIABLE, 0, &is) != FcResultMatch) return true;
    return (asked ^ is) != 1;
}

}  // namespace

FcFontSet* FontsToCompare(FcConfig* config, FcPattern* pattern) {
    const std::vector<const FcChar8*> families = FamiliesDeciding(pattern);
    if (families.empty()) return nullptr;
    FcFontSet* found = FcFontSetCreate();
    if (found == nullptr) return nullptr;
    bool fitting = false;
    for (const FcSetName name : {FcSetSystem, FcSetApplication}) {
        const FcFontSet* fonts = FcConfigGetFonts(config, name);
        for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
            FcPattern* font = fonts->fonts[i];
            if (!OfFamilies(font, families)) continue;
            FcPatternReference(font);
            if (!FcFontSetAdd(found, font)) {
                FcPatternDestroy(font);
                FcFontSetDestroy(found);
                return nullptr;
            }
            fitting = fitting || VariableFits(font, pattern);
        }
    }
    // With a font that scores nothing above the family, the best font scores nothing there
    // either, and so is one of the families'.
    if (fitting) return found;
    FcFontSetDestroy(found);
    return nullptr;
}

FcPattern* MatchFont(FcConfig* config, FcPattern* pattern) {
    FcResult result = FcResultNoMatch;
    FcFontSet* fonts = FontsToCompare(config, pattern);
    if (fonts == nullptr) return FcFontMatch(config, pattern, &result);
    FcPattern* match = FcFontSetMatch(config, &fonts, 1, pattern, &result);
    FcFontSetDestroy(fonts);
    return match;
}

}  // namespace platform::posix
