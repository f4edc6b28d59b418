#include "platform/wildcard.hpp"

namespace platform {
namespace {

// "*" and "?" alone, by the usual greedy scan that backs up to the last star.
bool MatchStarsAndMarks(std::string_view pattern, std::string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t starAt = std::string_view::npos;
    size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The length of the pattern without a final "." that only stars follow, or npos when it
// has no such ending.
size_t WithoutDotStarEnding(std::string_view pattern) {
    const size_t lastNonStar = pattern.find_last_not_of('*');
    if (lastNonStar == std::string_view::npos || lastNonStar + 1 == pattern.size() ||
        pattern[lastNonStar] != '.') {
        return std::string_view::npos;
    }
    return lastNonStar;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (MatchStarsAndMarks(pattern, name)) return true;
    const size_t shortened = WithoutDotStarEnding(pattern);
    return shortened != std::string_view::npos &&
           MatchStarsAndMarks(pattern.substr(0, shortened), name);
}

bool HasWildcard(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace platform
