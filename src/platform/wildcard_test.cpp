#include "platform/wildcard.hpp"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

void ExpectMatches(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(platform::WildcardMatch(c.pattern, c.name), c.matches)
            << '"' << c.pattern << "\" against \"" << c.name << '"';
    }
}

TEST(WildcardMatch, StarMatchesAnyRunAndQuestionMarkExactlyOneByte) {
    ExpectMatches({
        {"*", "", true},
        {"*", "VIRODARO.CFG", true},
        {"*.CFG", "VIRODARO.CFG", true},
        {"*.CFG", "VIRODARO.CFG.tmp", false},
        {"V*O.C*", "VIRODARO.CFG", true},
        {"*O*O*", "VIRODARO", true},
        {"*AB", "ABAB", true},
        {"*AB", "ABA", false},
        {"F?LE", "FILE", true},
        {"F?LE", "FLE", false},
        {"F?LE", "FIILE", false},
        {"???", "abc", true},
        {"???", "ab", false},
        {"a*b?c", "aXXbYc", true},
        {"a*b?c", "aXXbc", false},
    });
}

TEST(WildcardMatch, AFinalDotFollowedByStarsAlsoMatchesTheEndOfTheName) {
    ExpectMatches({
        {"*.*", "README", true},
        {"*.*", ".profile", true},
        {"*.*", "a.b.c", true},
        {"a.*", "a", true},
        {"a.*", "a.txt", true},
        {"a.*", "ab", false},
        {"a.**", "a", true},
        {"a.", "a", false},  // only a dot that stars follow may stand for the end
        {"a.*b", "a", false},
    });
}

TEST(WildcardMatch, OtherBytesMatchThemselvesWithTheirCase) {
    ExpectMatches({
        {"VIRODARO.CFG", "VIRODARO.CFG", true},
        {"VIRODARO.CFG", "virodaro.cfg", false},
        {"*.CFG", "x.cfg", false},
        {"[ab]", "a", false},
        {"\xF9*", "\xF9 x", true},
    });
    EXPECT_TRUE(platform::HasWildcard("a*"));
    EXPECT_TRUE(platform::HasWildcard("?"));
    EXPECT_FALSE(platform::HasWildcard("plain.txt"));
}

}  // namespace
