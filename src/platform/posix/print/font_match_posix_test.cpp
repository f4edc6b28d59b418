#include "platform/posix/print/font_match_posix.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace platform::posix {
namespace {

// A configuration like the program's own: the standard font directories through the
// system's caches and an alias, none of the system's rules.
constexpr const char* kSmallConfiguration = R"(<?xml version="1.0"?>
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <alias binding="same"><family>Arial</family>
    <accept><family>Liberation Sans</family></accept></alias>
</fontconfig>)";

FcConfig* SmallConfiguration() {
    FcConfig* config = FcConfigCreate();
    EXPECT_TRUE(FcConfigParseAndLoadFromMemory(
        config, reinterpret_cast<const FcChar8*>(kSmallConfiguration), FcTrue));
    EXPECT_TRUE(FcConfigBuildFonts(config));
    return config;
}

// Every family name the configuration's fonts carry, and names none of them does exactly.
std::vector<std::string> FamiliesToAsk(FcConfig* config) {
    std::vector<std::string> names = {"Arial",          "liberation  SANS", "LiberationMono",
                                      "No Such Family", "monospace",        ""};
    const FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int j = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, j, &name) == FcResultMatch;
             ++j) {
            const std::string family = reinterpret_cast<const char*>(name);
            if (std::find(names.begin(), names.end(), family) == names.end()) {
                names.push_back(family);
            }
        }
    }
    return names;
}

FcPattern* Asked(FcConfig* config, const std::string& family, int slant, int weight) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_SLANT, slant);
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, 1000);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// MatchFont against FcFontMatch for every family in every slant and weight: the same font,
// prepared the same way, to the last element.
void ExpectSameAsFontconfig(FcConfig* config, void (*extra)(FcPattern*) = nullptr) {
    const std::vector<std::string> families = FamiliesToAsk(config);
    ASSERT_GT(families.size(), 6u) << "the machine has no fonts to match";
    for (const std::string& family : families) {
        for (const int slant : {FC_SLANT_ROMAN, FC_SLANT_ITALIC}) {
            for (const int weight : {FC_WEIGHT_MEDIUM, FC_WEIGHT_BOLD}) {
                FcPattern* pattern = Asked(config, family, slant, weight);
                if (extra != nullptr) extra(pattern);
                FcResult result;
                FcPattern* expected = FcFontMatch(config, pattern, &result);
                FcPattern* found = MatchFont(config, pattern);
                ASSERT_NE(expected, nullptr);
                ASSERT_NE(found, nullptr);
                EXPECT_TRUE(FcPatternEqual(expected, found))
                    << '"' << family << "\" slant " << slant << " weight " << weight;
                FcPatternDestroy(found);
                FcPatternDestroy(expected);
                FcPatternDestroy(pattern);
            }
        }
    }
}

// How many of the configuration's fonts name the family first, exactly so.
int FontsNamed(FcConfig* config, const char* family) {
    int count = 0;
    const FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch &&
            std::string(reinterpret_cast<const char*>(name)) == family) {
            ++count;
        }
    }
    return count;
}

// How many fonts FontsToCompare gives for the family, -1 for all of them.
int ComparedFor(FcConfig* config, const char* family, const char* foundry = nullptr) {
    FcPattern* pattern = Asked(config, family, FC_SLANT_ROMAN, FC_WEIGHT_MEDIUM);
    if (foundry != nullptr) {
        FcPatternAddString(pattern, FC_FOUNDRY, reinterpret_cast<const FcChar8*>(foundry));
    }
    FcFontSet* fonts = FontsToCompare(config, pattern);
    FcPatternDestroy(pattern);
    if (fonts == nullptr) return -1;
    const int count = fonts->nfont;
    FcFontSetDestroy(fonts);
    return count;
}

TEST(FontMatchTest, ComparesOnlyTheFontsOfTheFamiliesAsked) {
    FcConfig* config = SmallConfiguration();
    const int liberationSans = FontsNamed(config, "Liberation Sans");
    ASSERT_GT(liberationSans, 0) << "fonts-liberation is not installed";
    // "Arial" asks for Liberation Sans too, through the alias; case and blanks do not count.
    EXPECT_EQ(ComparedFor(config, "Arial"), liberationSans);
    EXPECT_EQ(ComparedFor(config, "liberation  SANS"), liberationSans);
    EXPECT_EQ(ComparedFor(config, "LiberationMono"), FontsNamed(config, "Liberation Mono"));
    // No font of the family, or a foundry, which ranks above the family: any font may win.
    EXPECT_EQ(ComparedFor(config, "No Such Family"), -1);
    EXPECT_EQ(ComparedFor(config, "Arial", "urw"), -1);
    FcConfigDestroy(config);

    // The system's rules add weakly bound families, which rank below the language.
    FcConfig* system = FcInitLoadConfigAndFonts();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(ComparedFor(system, "Arial"), -1);
    FcConfigDestroy(system);
}

TEST(FontMatchTest, FindsWhatFontconfigFindsInASmallConfiguration) {
    FcConfig* config = SmallConfiguration();
    ExpectSameAsFontconfig(config);
    FcConfigDestroy(config);
}

TEST(FontMatchTest, FindsWhatFontconfigFindsWhereAnotherElementOutranksTheFamily) {
    FcConfig* config = SmallConfiguration();
    // The foundry ranks above the family: URW's faces win over any family's.
    ExpectSameAsFontconfig(config, [](FcPattern* pattern) {
        FcPatternAddString(pattern, FC_FOUNDRY, reinterpret_cast<const FcChar8*>("urw"));
    });
    FcConfigDestroy(config);
}

TEST(FontMatchTest, FindsWhatFontconfigFindsWithTheSystemsRules) {
    // The system's rules add weakly bound families, which rank below the language.
    FcConfig* config = FcInitLoadConfigAndFonts();
    ASSERT_NE(config, nullptr);
    ExpectSameAsFontconfig(config);
    FcConfigDestroy(config);
}

}  // namespace
}  // namespace platform::posix
