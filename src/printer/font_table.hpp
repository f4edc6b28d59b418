#pragma once
// FontTable: the numbered printer fonts. Descriptions and numbers last for the whole process;
// a font's printer object is made when the font is first selected on a printer and deleted
// when that printer is released.

#include <atomic>
#include <cstdint>

#include "platform/print.hpp"
#include "platform/types.hpp"
#include "printer/printer_state.hpp"

struct FontRecord {
    FontRecord* next = nullptr;
    /// 1 for a built-in record, +1 for its creator, +1 while it is the printer's current font.
    int32_t referenceCount = 0;
    /// The number callers name the font by; it never changes once given.
    int32_t number = 0;
    /// A font object for screen output; the printer never makes one.
    platform::Handle screenFont = platform::kNullHandle;
    /// The font object made for the attached printer, at its resolution.
    platform::Handle printerFont = platform::kNullHandle;
    float pointSize = 0;
    platform::LogFont description;
};

struct FontTable {
    /// A singly linked list, only ever extended while the process runs.
    FontRecord* first = nullptr;
    /// 0 free, -1 held; held only while the list is walked or changed.
    std::atomic<int32_t> lock{0};
};

extern FontTable gFonts;

/// The built-in fonts: 1 "MS Sans Serif" 8 points (not used by the printer) and 2 "Courier
/// New", the font every document starts with.
inline constexpr int32_t kPrnScreenFont = 1;
inline constexpr int32_t kPrnDocumentFont = 2;

/// Makes the table afresh with its two built-in records. Runs once at start-up.
void PrnFontsInit();

/// The first record with this number, or null.
FontRecord* PrnFindFont(int32_t number);

/// Makes font 2 at 8 points the current font of the document just begun: creates and selects
/// its printer object when it has none, keeping what the device context held before as the
/// initial font object. Returns 0, or runtime error 5 when the font cannot be made or
/// selected.
uint8_t PrnDefaultFont();

/// Deletes every record's printer font object, and lets go of the printer's current font;
/// runs when a printer is released.
void PrnReleaseFontObjects();

/// Notes that the selected font or the device changed: its metrics are read again when next
/// needed. Most pages never need them, and reading them loads the font itself.
void PrnForgetTextMetrics();

/// The selected font's metrics, read from the device context if it changed since they were
/// last read; the last ones read when the device cannot give them.
const PrnTextMetricSet& PrnTextMetrics();

/// Holds the font-table lock for its lifetime: one word, taken by exchanging -1 into it until
/// it held 0, released by storing 0.
class PrnFontTableLock {
  public:
    PrnFontTableLock();
    ~PrnFontTableLock();
    PrnFontTableLock(const PrnFontTableLock&) = delete;
    PrnFontTableLock& operator=(const PrnFontTableLock&) = delete;
};
