#include <utility>

#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

namespace {

bool IsWritable(const FileRecord& record) {
    return (record.mode & (kFileModeOutput | kFileModeAppend)) != 0;
}

void WriteBytes(FileRecord& record, const char* bytes, uint32_t count) {
    const auto result = RtCallOs([&] {
        uint32_t written = 0;
        const bool ok = platform::WriteFile(record.handle, bytes, count, &written);
        return std::pair{ok, written};
    });
    const auto [ok, written] = result.value;
    if (record.kind == kFileKindDisk) record.position += written;
    if (result.Failed()) {
        RtRaiseError(result.error);
    } else if (!ok) {
        RtRaiseError(kRtErrInternal);
    } else if (written != count) {
        RtRaiseError(record.kind == kFileKindDisk ? kRtErrDiskFull : kRtErrDeviceIo);
    }
}

}  // namespace

void FileWriteText(int16_t number, const Text& text) {
    FileRecord* record = FileTableFind(number);
    if (record == nullptr) return RtRaiseError(kRtErrBadFileNumber);
    if (text.Empty()) return;
    if (!IsWritable(*record)) return RtRaiseError(kRtErrBadFileMode);
    WriteBytes(*record, text.Data(), text.Length());
}

void FileWriteLineEnd(int16_t number) {
    FileRecord* record = FileTableFind(number);
    if (record == nullptr) return RtRaiseError(kRtErrBadFileNumber);
    if (!IsWritable(*record)) return RtRaiseError(kRtErrBadFileMode);
    WriteBytes(*record, "\r\n", 2);
}
