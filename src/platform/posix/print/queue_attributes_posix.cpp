#include "platform/posix/print/queue_attributes_posix.hpp"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>

namespace platform::posix {
namespace {

// Margins a paper gets where the server lists only names, as libcups gives them: a quarter
// inch at the sides, half an inch at the top and bottom.
constexpr int kSideMargin = 635;
constexpr int kEndMargin = 1270;
// Sizes within this many hundredths of a millimetre (5 points) count as about the same.
constexpr int kCloseSize = 176;

bool IsNameTag(ipp_tag_t tag) {
    return tag == IPP_TAG_NAME || tag == IPP_TAG_NAMELANG || tag == IPP_TAG_KEYWORD;
}

// The members of one entry of a paper database, read in one pass: each the first of its
// name, taken with the types libcups takes it with.
struct Members {
    ipp_t* size = nullptr;
    std::optional<int> bottom, left, right, top;
    const char* key = nullptr;
    const char* sizeName = nullptr;
    const char* source = nullptr;
    const char* type = nullptr;
};

Members ReadMembers(ipp_t* entry) {
    struct Margin {
        const char* name;
        std::optional<int> Members::*field;
    };
    static constexpr Margin kMargins[] = {{"media-bottom-margin", &Members::bottom},
                                          {"media-left-margin", &Members::left},
                                          {"media-right-margin", &Members::right},
                                          {"media-top-margin", &Members::top}};
    struct Named {
        const char* name;
        const char* Members::*field;
    };
    static constexpr Named kNames[] = {{"media-key", &Members::key},
                                       {"media-size-name", &Members::sizeName},
                                       {"media-source", &Members::source},
                                       {"media-type", &Members::type}};
    Members members;
    bool seen[std::size(kNames)] = {};
    for (ipp_attribute_t* member = ippFirstAttribute(entry); member != nullptr;
         member = ippNextAttribute(entry)) {
        const char* name = ippGetName(member);
        if (name == nullptr) continue;
        const ipp_tag_t tag = ippGetValueTag(member);
        if (std::strcmp(name, "media-size") == 0) {
            if (members.size == nullptr && tag == IPP_TAG_BEGIN_COLLECTION) {
                members.size = ippGetCollection(member, 0);
            }
            continue;
        }
        for (const Margin& margin : kMargins) {
            if (std::strcmp(name, margin.name) == 0 && tag == IPP_TAG_INTEGER &&
                !(members.*margin.field)) {
                members.*margin.field = ippGetInteger(member, 0);
            }
        }
        // Of a name, only the first counts, and only when it is a name or keyword.
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (std::strcmp(name, kNames[i].name) == 0 && !seen[i]) {
                seen[i] = true;
                if (IsNameTag(tag)) members.*kNames[i].field = ippGetString(member, 0, nullptr);
            }
        }
    }
    return members;
}

void SetName(cups_size_t* size, const std::string& name) {
    std::snprintf(size->media, sizeof size->media, "%s", name.c_str());
}

bool SameSize(const cups_size_t& a, const cups_size_t& b) {
    return a.width == b.width && a.length == b.length;
}

bool CloseSize(const cups_size_t& a, int width, int length) {
    const long long dWidth = static_cast<long long>(a.width) - width;
    const long long dLength = static_cast<long long>(a.length) - length;
    return dWidth >= -kCloseSize && dWidth <= kCloseSize && dLength >= -kCloseSize &&
           dLength <= kCloseSize;
}

bool SameMargins(const cups_size_t& a, const cups_size_t& b) {
    return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom;
}

// Whether `candidate` has smaller margins than `best`, counting only margins that are not zero.
bool SmallerMargins(const cups_size_t& candidate, const cups_size_t& best) {
    const auto smaller = [](int margin, int bestMargin) {
        return (margin > 0 && margin <= bestMargin) || bestMargin == 0;
    };
    return smaller(candidate.left, best.left) && smaller(candidate.right, best.right) &&
           smaller(candidate.top, best.top) && smaller(candidate.bottom, best.bottom) &&
           !SameMargins(candidate, best);
}

}  // namespace

const std::vector<const char*>& QueueAttributes::Requested() {
    static const std::vector<const char*> kRequested = {
        "copies-supported",
        "media-col-database",
        "media-default",
        "media-source-default",
        "media-source-supported",
        "media-supported",
        "multiple-document-handling-supported",
        "orientation-requested-default",
        "orientation-requested-supported",
        "print-color-mode-default",
        "print-color-mode-supported",
        "print-quality-supported",
        "print-scaling-supported",
        "printer-name",
        "printer-resolution-default",
        "printer-uri-supported",
        "sides-default",
        "sides-supported",
    };
    return kRequested;
}

QueueAttributes::QueueAttributes(IppPtr answer) : answer_(std::move(answer)) {
    smallest_.width = smallest_.length = INT_MAX;
    ReadPaperDatabase();
}

std::string QueueAttributes::Name() const {
    const char* name =
        ippGetString(ippFindAttribute(answer_.get(), "printer-name", IPP_TAG_NAME), 0, nullptr);
    return name != nullptr ? name : "";
}

std::string QueueAttributes::Uri() const {
    const char* uri = ippGetString(
        ippFindAttribute(answer_.get(), "printer-uri-supported", IPP_TAG_URI), 0, nullptr);
    return uri != nullptr ? uri : "";
}

ipp_attribute_t* QueueAttributes::Default(const char* option) const {
    const std::string name = std::string(option) + "-default";
    return ippFindAttribute(answer_.get(), name.c_str(), IPP_TAG_ZERO);
}

ipp_attribute_t* QueueAttributes::Supported(const char* option) const {
    const std::string name = std::string(option) + "-supported";
    return ippFindAttribute(answer_.get(), name.c_str(), IPP_TAG_ZERO);
}

bool QueueAttributes::Supports(const char* option, const char* value) const {
    ipp_attribute_t* supported = Supported(option);
    if (supported == nullptr || value == nullptr) return false;
    const int count = ippGetCount(supported);
    if (std::strcmp(option, "media") == 0 && std::strncmp(value, "custom_", 7) == 0) {
        // A custom size: within the range the queue's smallest and largest sizes give.
        int minWidth = INT_MAX, minLength = INT_MAX, maxWidth = 0, maxLength = 0;
        for (int i = 0; i < count; ++i) {
            const char* name = ippGetString(supported, i, nullptr);
            const pwg_media_t* pwg = name != nullptr ? pwgMediaForPWG(name) : nullptr;
            if (pwg == nullptr) continue;
            if (std::strncmp(name, "custom_min_", 11) == 0) {
                minWidth = pwg->width;
                minLength = pwg->length;
            } else if (std::strncmp(name, "custom_max_", 11) == 0) {
                maxWidth = pwg->width;
                maxLength = pwg->length;
            }
        }
        const pwg_media_t* pwg = pwgMediaForPWG(value);
        return minWidth < INT_MAX && maxWidth > 0 && pwg != nullptr && pwg->width >= minWidth &&
               pwg->width <= maxWidth && pwg->length >= minLength && pwg->length <= maxLength;
    }
    switch (ippGetValueTag(supported)) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            for (int i = 0; i < count; ++i) {
                if (ippGetInteger(supported, i) == std::atoi(value)) return true;
            }
            return false;
        case IPP_TAG_BOOLEAN:
            return ippGetBoolean(supported, 0) != 0;
        case IPP_TAG_RANGE:
            for (int i = 0; i < count; ++i) {
                int upper = 0;
                const int lower = ippGetRange(supported, i, &upper);
                if (std::atoi(value) >= lower && std::atoi(value) <= upper) return true;
            }
            return false;
        case IPP_TAG_TEXT:
        case IPP_TAG_NAME:
        case IPP_TAG_KEYWORD:
        case IPP_TAG_CHARSET:
        case IPP_TAG_URI:
        case IPP_TAG_URISCHEME:
        case IPP_TAG_MIMETYPE:
        case IPP_TAG_LANGUAGE:
        case IPP_TAG_TEXTLANG:
        case IPP_TAG_NAMELANG:
            for (int i = 0; i < count; ++i) {
                const char* listed = ippGetString(supported, i, nullptr);
                if (listed != nullptr && std::strcmp(listed, value) == 0) return true;
            }
            return false;
        default:
            return false;
    }
}

void QueueAttributes::ReadPaperDatabase() {
    ipp_attribute_t* database =
        ippFindAttribute(answer_.get(), "media-col-database", IPP_TAG_BEGIN_COLLECTION);
    ipp_attribute_t* names = ippFindAttribute(answer_.get(), "media-supported", IPP_TAG_ZERO);
    if (database != nullptr) {
        const int count = ippGetCount(database);
        Members custom;
        bool hasCustom = false;
        for (int i = 0; i < count; ++i) {
            const Members members = ReadMembers(ippGetCollection(database, i));
            cups_size_t paper{};
            if (members.size != nullptr) {
                ipp_attribute_t* x = ippFindAttribute(members.size, "x-dimension", IPP_TAG_ZERO);
                ipp_attribute_t* y = ippFindAttribute(members.size, "y-dimension", IPP_TAG_ZERO);
                const ipp_tag_t xTag = ippGetValueTag(x);
                const ipp_tag_t yTag = ippGetValueTag(y);
                if (xTag == IPP_TAG_INTEGER && yTag == IPP_TAG_INTEGER) {
                    paper.width = ippGetInteger(x, 0);
                    paper.length = ippGetInteger(y, 0);
                } else if (xTag == IPP_TAG_INTEGER && yTag == IPP_TAG_RANGE) {
                    // A roll: as long as it goes.
                    paper.width = ippGetInteger(x, 0);
                    ippGetRange(y, 0, &paper.length);
                } else if (xTag == IPP_TAG_RANGE && yTag == IPP_TAG_RANGE) {
                    // The custom size range; its own margins follow below.
                    custom = members;
                    hasCustom = true;
                    smallest_.width = ippGetRange(x, 0, &largest_.width);
                    smallest_.length = ippGetRange(y, 0, &largest_.length);
                    smallest_.left = smallest_.right = largest_.left = largest_.right = kSideMargin;
                    smallest_.top = smallest_.bottom = largest_.top = largest_.bottom = kEndMargin;
                    continue;
                }
            }
            paper.bottom = members.bottom.value_or(0);
            paper.left = members.left.value_or(0);
            paper.right = members.right.value_or(0);
            paper.top = members.top.value_or(0);
            if (members.key != nullptr) {
                SetName(&paper, members.key);
            } else {
                // Named as libcups names a paper without a key: its size, then its source
                // and type, and "_borderless" when it has no margins. The numbered name
                // counts down from one more than the papers, as libcups' loop does.
                const char* sizeName = members.sizeName;
                const pwg_media_t* pwg =
                    sizeName == nullptr ? pwgMediaForSize(paper.width, paper.length) : nullptr;
                if (pwg != nullptr) sizeName = pwg->pwg;
                std::string name;
                if (sizeName == nullptr) {
                    name = "cups-media-" + std::to_string(count - i + 1);
                } else {
                    name = sizeName;
                    if (members.source != nullptr) name += std::string("_") + members.source;
                    if (members.type != nullptr) name += std::string("_") + members.type;
                }
                if (paper.bottom == 0 && paper.left == 0 && paper.right == 0 && paper.top == 0) {
                    name += "_borderless";
                }
                SetName(&paper, name);
            }
            papers_.push_back(paper);
        }
        if (hasCustom) {
            // libcups gives the custom range's bottom margin to its top, and so does this.
            smallest_.top = custom.top.value_or(custom.bottom.value_or(smallest_.top));
            smallest_.left = custom.left.value_or(smallest_.left);
            smallest_.right = custom.right.value_or(smallest_.right);
            largest_.top = smallest_.top;
            largest_.left = smallest_.left;
            largest_.right = smallest_.right;
        }
    } else if (names != nullptr && IsNameTag(ippGetValueTag(names))) {
        for (int i = 0; i < ippGetCount(names); ++i) {
            const char* name = ippGetString(names, i, nullptr);
            const pwg_media_t* pwg = name != nullptr ? pwgMediaForPWG(name) : nullptr;
            if (pwg == nullptr && name != nullptr) pwg = pwgMediaForLegacy(name);
            if (pwg == nullptr) continue;
            cups_size_t paper{};
            paper.width = pwg->width;
            paper.length = pwg->length;
            paper.left = paper.right = kSideMargin;
            paper.top = paper.bottom = kEndMargin;
            if (std::strncmp(name, "custom_min_", 11) == 0) {
                smallest_ = paper;
            } else if (std::strncmp(name, "custom_max_", 11) == 0) {
                largest_ = paper;
            } else {
                SetName(&paper, name);
                papers_.push_back(paper);
            }
        }
    }
    // By size, keeping the server's order among papers of one size.
    std::stable_sort(papers_.begin(), papers_.end(),
                     [](const cups_size_t& a, const cups_size_t& b) {
                         return a.width != b.width ? a.width < b.width : a.length < b.length;
                     });
}

bool QueueAttributes::PaperByName(const char* name, cups_size_t* size) const {
    const pwg_media_t* pwg = pwgMediaForPWG(name);
    if (pwg == nullptr) pwg = pwgMediaForLegacy(name);
    return pwg != nullptr && Find(pwg, size);
}

bool QueueAttributes::Find(const pwg_media_t* pwg, cups_size_t* size) const {
    cups_size_t wanted{};
    wanted.width = pwg->width;
    wanted.length = pwg->length;
    const auto bySize = [](const cups_size_t& a, const cups_size_t& b) {
        return a.width != b.width ? a.width < b.width : a.length < b.length;
    };
    const auto exact = std::lower_bound(papers_.begin(), papers_.end(), wanted, bySize);
    if (exact != papers_.end() && SameSize(*exact, wanted)) {
        const cups_size_t* best = &*exact;
        for (auto paper = std::next(exact); paper != papers_.end() && SameSize(*paper, wanted);
             ++paper) {
            if (SmallerMargins(*paper, *best)) best = &*paper;
        }
        *size = *best;
        return true;
    }
    if (pwg->width >= smallest_.width && pwg->width <= largest_.width &&
        pwg->length >= smallest_.length && pwg->length <= largest_.length) {
        *size = smallest_;
        size->width = pwg->width;
        size->length = pwg->length;
        SetName(size, pwg->pwg);
        return true;
    }
    const auto close = std::find_if(papers_.begin(), papers_.end(), [pwg](const cups_size_t& p) {
        return CloseSize(p, pwg->width, pwg->length);
    });
    if (close == papers_.end()) return false;
    const cups_size_t* best = &*close;
    for (auto paper = std::next(close);
         paper != papers_.end() && CloseSize(*paper, pwg->width, pwg->length); ++paper) {
        if (SmallerMargins(*paper, *best)) best = &*paper;
    }
    *size = *best;
    return true;
}

}  // namespace platform::posix
