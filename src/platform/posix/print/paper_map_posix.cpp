#include "platform/posix/print/paper_map_posix.hpp"

#include <cctype>

namespace platform::posix {
namespace {

struct PaperRow {
    uint16_t number;
    std::string_view media;
    std::string_view name;
};

// The Windows paper numbers (DMPAPER_*) of the sizes print servers commonly offer.
constexpr PaperRow kPapers[] = {
    {1, "na_letter_8.5x11in", "Letter"},
    {3, "na_ledger_11x17in", "Tabloid"},
    {5, "na_legal_8.5x14in", "Legal"},
    {6, "na_invoice_5.5x8.5in", "Statement"},
    {7, "na_executive_7.25x10.5in", "Executive"},
    {8, "iso_a3_297x420mm", "A3"},
    {9, "iso_a4_210x297mm", "A4"},
    {11, "iso_a5_148x210mm", "A5"},
    {12, "jis_b4_257x364mm", "B4 (JIS)"},
    {13, "jis_b5_182x257mm", "B5 (JIS)"},
    {14, "na_foolscap_8.5x13in", "Folio"},
    {20, "na_number-10_4.125x9.5in", "Envelope #10"},
    {27, "iso_dl_110x220mm", "Envelope DL"},
    {28, "iso_c5_162x229mm", "Envelope C5"},
    {34, "iso_b5_176x250mm", "Envelope B5"},
    {37, "na_monarch_3.875x7.5in", "Envelope Monarch"},
    {43, "jpn_hagaki_100x148mm", "Japanese Postcard"},
    {70, "iso_a6_105x148mm", "A6"},
};

struct BinRow {
    uint16_t number;
    std::string_view source;
};

// The Windows bin numbers (DMBIN_*) of the IPP media sources that have one.
constexpr BinRow kBins[] = {
    {1, "top"},  {2, "bottom"},  {3, "middle"},          {4, "manual"}, {5, "envelope"},
    {7, "auto"}, {8, "tractor"}, {11, "large-capacity"}, {14, "main"},  {15, "by-pass-tray"},
};

}  // namespace

std::string_view StripBorderless(std::string_view media) {
    constexpr std::string_view kSuffix = "_borderless";
    if (media.size() > kSuffix.size() && media.substr(media.size() - kSuffix.size()) == kSuffix) {
        media.remove_suffix(kSuffix.size());
    }
    return media;
}

uint16_t PaperNumberOf(std::string_view media) {
    media = StripBorderless(media);
    for (const PaperRow& row : kPapers) {
        if (row.media == media) return row.number;
    }
    return 0;
}

std::string_view MediaNameOf(uint16_t paper) {
    for (const PaperRow& row : kPapers) {
        if (row.number == paper) return row.media;
    }
    return {};
}

std::string PaperDisplayName(std::string_view media) {
    media = StripBorderless(media);
    for (const PaperRow& row : kPapers) {
        if (row.media == media) return std::string(row.name);
    }
    // "class_name_size": the size part reads best ("custom_16x20in_16x20in" gives
    // "16x20in").
    const size_t last = media.rfind('_');
    return std::string(last == std::string_view::npos ? media : media.substr(last + 1));
}

uint16_t BinNumberOf(std::string_view source) {
    for (const BinRow& row : kBins) {
        if (row.source == source) return row.number;
    }
    return 0;
}

std::vector<uint16_t> NumberList(const std::vector<std::string>& names,
                                 uint16_t (*numberOf)(std::string_view), uint16_t first) {
    std::vector<uint16_t> numbers;
    for (size_t i = 0; i < names.size(); ++i) {
        const uint16_t known = numberOf(names[i]);
        numbers.push_back(known != 0 ? known : static_cast<uint16_t>(first + 1 + i));
    }
    return numbers;
}

std::string SafeFileName(std::string_view title) {
    std::string name;
    for (const char byte : title) {
        const bool safe = std::isalnum(static_cast<unsigned char>(byte)) || byte == ' ' ||
                          byte == '-' || byte == '_' || (byte == '.' && !name.empty());
        name += safe ? byte : '_';
    }
    return name.empty() ? "job" : name;
}

}  // namespace platform::posix
