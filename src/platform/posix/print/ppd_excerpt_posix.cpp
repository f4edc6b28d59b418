#include "platform/posix/print/ppd_excerpt_posix.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace platform::posix {
namespace {

// Entries libcups looks up among the ones of their kind it has read so far.
constexpr std::string_view kCounted[] = {"*OpenUI",        "*JCLOpenUI",     "*OpenGroup",
                                         "*OpenSubGroup",  "*PageSize",      "*PageRegion",
                                         "*ImageableArea", "*PaperDimension"};
// Entries kept: each paper's numbers, the defaults, and what a custom size needs.
constexpr std::string_view kKept[] = {
    "*PaperDimension",    "*ImageableArea",  "*DefaultPageSize",
    "*DefaultResolution", "*CustomPageSize", "*ParamCustomPageSize",
    "*HWMargins",         "*MaxMediaWidth",  "*MaxMediaHeight"};

// The main keyword a line starts with: up to a blank, a colon or a slash.
std::string_view KeywordOf(std::string_view line) {
    size_t end = 1;
    while (end < line.size() && line[end] != ' ' && line[end] != ':' && line[end] != '/' &&
           line[end] != '\t') {
        ++end;
    }
    return line.substr(0, end);
}

// Whether a line leaves a quoted value open: PPD strings hold no quotes of their own.
bool OpensValue(std::string_view line) {
    bool open = false;
    for (const char* quote = nullptr;
         (quote = static_cast<const char*>(std::memchr(line.data(), '"', line.size())));) {
        open = !open;
        line.remove_prefix(static_cast<size_t>(quote - line.data()) + 1);
    }
    return open;
}

}  // namespace

std::optional<std::string> PpdExcerpt(std::string_view ppd) {
    if (ppd.size() > kMostPpdBytes) return std::nullopt;
    // Lines end in LF, CR LF, or on old Macintosh files CR alone.
    const char lineEnd = ppd.find('\n') == std::string_view::npos ? '\r' : '\n';
    size_t counts[std::size(kCounted)] = {};
    std::string excerpt;
    bool first = true;
    bool inValue = false;  // within a quoted value that runs over several lines
    bool keeping = false;  // the entry the current line belongs to is kept
    while (!ppd.empty()) {
        const char* end = static_cast<const char*>(std::memchr(ppd.data(), lineEnd, ppd.size()));
        const size_t length = end != nullptr ? static_cast<size_t>(end - ppd.data()) : ppd.size();
        std::string_view line = ppd.substr(0, length);
        ppd.remove_prefix(std::min(length + 1, ppd.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (inValue) {
            inValue = !OpensValue(line);
        } else if (!line.empty() && line.front() == '*') {
            const std::string_view keyword = KeywordOf(line);
            for (size_t i = 0; i < std::size(kCounted); ++i) {
                if (keyword == kCounted[i] && ++counts[i] > kMostPpdEntries) return std::nullopt;
            }
            // A value's "*End" goes with the entry before it.
            if (keyword != "*End") {
                keeping = first ||
                          std::find(std::begin(kKept), std::end(kKept), keyword) != std::end(kKept);
            }
            first = false;
            // A comment's quotes open nothing.
            inValue = !line.starts_with("*%") && OpensValue(line);
        } else {
            keeping = false;
        }
        if (keeping) {
            excerpt.append(line);
            excerpt.push_back('\n');
        }
    }
    return excerpt;
}

}  // namespace platform::posix
