#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "files/line_records.hpp"
#include "files/os_result.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

namespace {

constexpr uint8_t kCarriageReturn = 0x0D;
constexpr uint8_t kLineFeed = 0x0A;
constexpr uint8_t kCtrlZ = 0x1A;

bool IsDisk(const FileRecord& record) { return record.kind == kFileKindDisk; }

FileFillResult FillFailed(FileRecord& record, uint8_t error) {
    record.index = 0;
    record.count = 0;
    RtRaiseError(error);
    return FileFillResult::kFailed;
}

FileFillResult FillFromDisk(FileRecord& record) {
    const uint8_t lock = record.LockValue();
    if (record.index < record.count && (lock == 1 || lock == 2)) {
        return FileFillResult::kBytesReady;
    }
    const uint64_t offset = record.position + record.index;
    const platform::Handle handle = record.handle;
    if (uint8_t error = FileCallOs([&] {
            return platform::SetFilePointerEx(handle, static_cast<int64_t>(offset),
                                              platform::kFileBegin, nullptr);
        })) {
        return FillFailed(record, error);
    }
    record.position = offset;
    record.index = 0;
    record.count = 0;
    uint32_t read = 0;
    if (uint8_t error = FileCallOs([&] {
            return platform::ReadFile(handle, record.Buffer(), record.recordLength, &read);
        })) {
        return FillFailed(record, error);
    }
    record.count = read;
    return read > 0 ? FileFillResult::kBytesReady : FileFillResult::kEndOfFile;
}

FileFillResult FillFromDevice(FileRecord& record) {
    record.index = 0;
    record.count = 0;
    struct Read {
        bool ok;
        uint32_t count;
        uint32_t lastError;
    };
    const auto result = RtCallOs([&] {
        Read read{};
        read.ok = platform::ReadFile(record.handle, record.Buffer(), 1, &read.count);
        read.lastError = platform::GetLastError();
        return read;
    });
    const Read& read = result.value;
    if (result.Failed() || !read.ok) {
        // The end of a device's input, and a pipe whose writer has gone, are its end of file.
        if (read.lastError == platform::kErrorHandleEof ||
            read.lastError == platform::kErrorBrokenPipe) {
            return FileFillResult::kEndOfFile;
        }
        return FillFailed(record, result.error != 0 ? result.error : uint8_t{kRtErrInternal});
    }
    record.count = read.count;
    return read.count > 0 ? FileFillResult::kBytesReady : FileFillResult::kEndOfFile;
}

// After a CR on a disk file: consumes a directly following LF, refilling the buffer when the
// CR was its last byte. False when that refill failed.
bool ConsumeLineFeedAfterCarriageReturn(FileRecord& record) {
    if (record.index == record.count) {
        const FileFillResult fill = FileFill(record);
        if (fill == FileFillResult::kFailed) return false;
        if (fill == FileFillResult::kEndOfFile) return true;
    }
    if (record.Buffer()[record.index] == kLineFeed) ++record.index;
    return true;
}

// The bytes of a line as they are collected; false from Append when memory is short or the
// line is longer than a text can be.
class LineBytes {
  public:
    bool Append(const uint8_t* bytes, size_t count) {
        if (count > UINT32_MAX - bytes_.size()) return false;
        try {
            bytes_.append(reinterpret_cast<const char*>(bytes), count);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        return true;
    }
    bool Empty() const { return bytes_.empty(); }
    Text ToText() const { return Text(std::string_view(bytes_)); }

  private:
    std::string bytes_;
};

}  // namespace

FileFillResult FileFill(FileRecord& record) {
    return IsDisk(record) ? FillFromDisk(record) : FillFromDevice(record);
}

Text FileReadLine(int16_t number) {
    FileRecord* record = FileTableFind(number);
    if (record == nullptr) {
        RtRaiseError(kRtErrBadFileNumber);
        return Text();
    }
    if (!(record->mode & kFileModeInput)) {
        RtRaiseError(kRtErrBadFileMode);
        return Text();
    }
    LineBytes line;
    for (;;) {
        const FileFillResult fill = FileFill(*record);
        if (fill == FileFillResult::kFailed) return Text();
        if (fill == FileFillResult::kEndOfFile) break;

        const uint8_t* bytes = record->Buffer();
        uint32_t end = record->index;
        while (end < record->count && bytes[end] != kCarriageReturn && bytes[end] != kCtrlZ)
            ++end;
        if (!line.Append(bytes + record->index, end - record->index)) {
            record->index = end;
            RtRaiseError(kRtErrOutOfMemory);
            return Text();
        }
        record->index = end;
        if (end == record->count) continue;

        if (bytes[end] == kCtrlZ) {
            // A device has handed the byte over already; a disk file keeps it unread.
            if (!IsDisk(*record)) ++record->index;
            break;
        }
        ++record->index;
        if (IsDisk(*record) && !ConsumeLineFeedAfterCarriageReturn(*record)) return Text();
        return line.ToText();
    }
    if (line.Empty()) {
        RtRaiseError(kRtErrInputPastEnd);
        return Text();
    }
    return line.ToText();
}
