#include "platform/posix/print/queue_attributes_posix.hpp"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

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

// The first value of a member attribute of `collection` when it is a name or keyword.
const char* MemberName(ipp_t* collection, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(collection, name, IPP_TAG_ZERO);
    return attribute != nullptr && IsNameTag(ippGetValueTag(attribute))
               ? ippGetString(attribute, 0, nullptr)
               : nullptr;
}

void TakeMargin(ipp_t* collection, const char* name, int* margin) {
    if (ipp_attribute_t* attribute = ippFindAttribute(collection, name, IPP_TAG_INTEGER)) {
        *margin = ippGetInteger(attribute, 0);
    }
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
        ipp_t* custom = nullptr;
        for (int i = 0; i < count; ++i) {
            ipp_t* entry = ippGetCollection(database, i);
            cups_size_t paper{};
            ipp_attribute_t* sizeAttribute =
                ippFindAttribute(entry, "media-size", IPP_TAG_BEGIN_COLLECTION);
            if (ipp_t* size = ippGetCollection(sizeAttribute, 0)) {
                ipp_attribute_t* x = ippFindAttribute(size, "x-dimension", IPP_TAG_ZERO);
                ipp_attribute_t* y = ippFindAttribute(size, "y-dimension", IPP_TAG_ZERO);
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
                    custom = entry;
                    smallest_.width = ippGetRange(x, 0, &largest_.width);
                    smallest_.length = ippGetRange(y, 0, &largest_.length);
                    smallest_.left = smallest_.right = largest_.left = largest_.right = kSideMargin;
                    smallest_.top = smallest_.bottom = largest_.top = largest_.bottom = kEndMargin;
                    continue;
                }
            }
            TakeMargin(entry, "media-bottom-margin", &paper.bottom);
            TakeMargin(entry, "media-left-margin", &paper.left);
            TakeMargin(entry, "media-right-margin", &paper.right);
            TakeMargin(entry, "media-top-margin", &paper.top);
            if (const char* key = MemberName(entry, "media-key")) {
                SetName(&paper, key);
            } else {
                // Named as libcups names a paper without a key: its size, then its source
                // and type, and "_borderless" when it has no margins. The numbered name
                // counts down from one more than the papers, as libcups' loop does.
                const char* sizeName = MemberName(entry, "media-size-name");
                const pwg_media_t* pwg =
                    sizeName == nullptr ? pwgMediaForSize(paper.width, paper.length) : nullptr;
                if (pwg != nullptr) sizeName = pwg->pwg;
                const char* source = MemberName(entry, "media-source");
                const char* type = MemberName(entry, "media-type");
                std::string name;
                if (sizeName == nullptr) {
                    name = "cups-media-" + std::to_string(count - i + 1);
                } else {
                    name = sizeName;
                    if (source != nullptr) name += std::string("_") + source;
                    if (type != nullptr) name += std::string("_") + type;
                }
                if (paper.bottom == 0 && paper.left == 0 && paper.right == 0 && paper.top == 0) {
                    name += "_borderless";
                }
                SetName(&paper, name);
            }
            papers_.push_back(paper);
        }
        if (custom != nullptr) {
            // libcups gives the custom range's bottom margin to its top, and so does this.
            TakeMargin(custom, "media-bottom-margin", &smallest_.top);
            TakeMargin(custom, "media-left-margin", &smallest_.left);
            TakeMargin(custom, "media-right-margin", &smallest_.right);
            TakeMargin(custom, "media-top-margin", &smallest_.top);
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
