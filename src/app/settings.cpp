#include "app/settings.hpp"

#include "app/screen.hpp"
#include "files/current_directory.hpp"
#include "files/directory.hpp"
#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "files/path_arg.hpp"
#include "runtime/errors.hpp"

namespace {

constexpr const char* kSettingsName = "VIRODARO.CFG";
// The new content's name while it is written, beside the settings file so that the rename
// stays within one directory (and so one file system).
constexpr const char* kPendingName = "VIRODARO.CFG.tmp";
constexpr int16_t kReadNumber = 1;
constexpr int16_t kWriteNumber = 2;
constexpr FileModeWord kReadMode = 0x1A1;   // input; read access, explicit; no sharing
constexpr FileModeWord kWriteMode = 0x261;  // output; write access, explicit; no sharing
constexpr int32_t kRecordLength = 128;

// Writes and flushes the new content under the pending name; false at the first failure.
bool WritePendingFile(const Text& xText, const Text& yText) {
    FileOpen(kWriteNumber, kPendingName, kWriteMode, kRecordLength);
    if (RtErrorNumber() != 0) return false;
    FileWriteText(kWriteNumber, xText);
    FileWriteLineEnd(kWriteNumber);
    FileWriteText(kWriteNumber, yText);
    FileWriteLineEnd(kWriteNumber);
    FileFlush(kWriteNumber);
    // The close comes whatever happened before, so that the number is free again.
    FileClose(kWriteNumber);
    return RtErrorNumber() == 0;
}

// Every step of the save, in its own error frame so that the first failure stops it.
bool SaveSteps(const Text& startDir, const Text& xText, const Text& yText) {
    // The bare names below are relative to the current directory, which must be the start
    // directory; if it cannot be made so, nothing is written anywhere.
    SysChDir(startDir);
    if (RtErrorNumber() != 0) return false;
    if (WritePendingFile(xText, yText)) {
        FileRename(kPendingName, kSettingsName);
        if (RtErrorNumber() == 0) return true;
    }
    RtErrorFrame cleanup;  // the first failure is the one to report, not the clean-up's
    FileKill(kPendingName);
    return false;
}

}  // namespace

Text AppSettingsPath(const Text& startDir) { return FilePathJoin(startDir, kSettingsName); }

int32_t AppExist(const Text& path) {
    RtErrorFrame ownErrors;
    return FileDir(path, kFileAttrReadOnly | kFileAttrDirectory).Empty() ? 0 : -1;
}

void AppReadSettings(Text& xText, Text& yText, AppFault& fault) {
    // Each step's own error is noted, so that the user hears of a file that did not open
    // rather than of the reads that then had no file.
    const int32_t openError =
        AppStepError([] { FileOpen(kReadNumber, kSettingsName, kReadMode, kRecordLength); });
    if (openError != 0) AppNoteFault(fault, AppFaultSource::kSettingsNotOpened, openError);
    for (Text* line : {&xText, &yText}) {
        const int32_t readError = AppStepError([&] { *line = FileReadLine(kReadNumber); });
        if (readError == 0) continue;
        AppNoteFault(fault,
                     readError == kRtErrInputPastEnd ? AppFaultSource::kSettingsTooShort
                                                     : AppFaultSource::kSettingsNotRead,
                     readError);
    }
    FileClose(kReadNumber);
}

void AppSaveSettings(const Text& startDir, const Text& xText, const Text& yText) {
    bool saved;
    uint8_t error;
    {
        RtErrorFrame saveErrors;
        saved = SaveSteps(startDir, xText, yText);
        error = static_cast<uint8_t>(RtErrorNumber());
    }
    if (error != 0) RtRaiseError(error);
    AppWriteLine(" ");
    AppWriteLine(saved ? " ....Saved VIRODARO.CFG File." : " ....VIRODARO.CFG File was not saved.");
}
