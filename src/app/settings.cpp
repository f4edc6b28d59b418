#include "app/settings.hpp"

#include <string>

#include "app/screen.hpp"
#include "files/current_directory.hpp"
#include "files/directory.hpp"
#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "files/path_arg.hpp"
#include "files/system.hpp"
#include "runtime/errors.hpp"

namespace {

constexpr const char* kSettingsName = "VIRODARO.CFG";
constexpr int16_t kReadNumber = 1;
constexpr int16_t kWriteNumber = 2;
constexpr FileModeWord kReadMode = 0x1A1;   // input; read access, explicit; no sharing
constexpr FileModeWord kWriteMode = 0x261;  // output; write access, explicit; no sharing
constexpr int32_t kRecordLength = 128;
// How many names a save tries for its new content before it gives up: a name may be taken
// by a file left from a crash or put there by someone else.
constexpr int kPendingNames = 8;

// The new content's name while it is written: beside the settings file, so that the rename
// stays within one directory (and so one file system), and with the process's identifier,
// so that two saves at once never share one.
Text PendingName(int attempt) {
    const std::string name = std::string(kSettingsName) + "." + std::to_string(SysProcessId()) +
                             "-" + std::to_string(attempt) + ".tmp";
    return Text(std::string_view(name));
}

// Makes the new content's file, opened as kWriteNumber, under the first of the pending names
// at which nothing stands yet: whatever stands at a name is never opened, so no link or file
// that someone else put there is written through or taken for the settings. Returns the
// name, or the empty text after raising the failure.
Text CreatePendingFile() {
    for (int attempt = 1;; ++attempt) {
        const Text name = PendingName(attempt);
        int32_t error;
        {
            RtErrorFrame createErrors;  // a taken name is no failure while others remain
            FileCreate(kWriteNumber, name, kWriteMode, kRecordLength);
            error = RtErrorNumber();
        }
        if (error == 0) return name;
        // 75 is a name that is taken; any other failure would meet every name.
        if (error != kRtErrPathFileAccess || attempt == kPendingNames) {
            RtRaiseError(static_cast<uint8_t>(error));
            return Text();
        }
    }
}

// Writes and flushes the new content in the file CreatePendingFile opened; false at the
// first failure.
bool WritePendingFile(const Text& xText, const Text& yText) {
    FileWriteText(kWriteNumber, xText);
    FileWriteLineEnd(kWriteNumber);
    FileWriteText(kWriteNumber, yText);
    FileWriteLineEnd(kWriteNumber);
    FileFlush(kWriteNumber);
    // The close comes whatever happened before, so that the number is free again.
    FileClose(kWriteNumber);
    return RtErrorNumber() == 0;
}

// Puts the written file in the settings file's place. A file that is there keeps its
// permissions (and group) with its new content; without one the file is simply renamed.
void PutInPlace(const Text& pendingName) {
    int32_t replaceError;
    {
        RtErrorFrame replaceErrors;  // a missing old file is no failure of the save
        FileReplace(kSettingsName, pendingName);
        replaceError = RtErrorNumber();
    }
    if (replaceError == kRtErrFileNotFound) {
        FileRename(pendingName, kSettingsName);
    } else if (replaceError != 0) {
        RtRaiseError(static_cast<uint8_t>(replaceError));
    }
}

// Every step of the save, in its own error frame so that the first failure stops it.
bool SaveSteps(const Text& startDir, const Text& xText, const Text& yText) {
    // The bare names below are relative to the current directory, which must be the start
    // directory; if it cannot be made so, nothing is written anywhere.
    SysChDir(startDir);
    if (RtErrorNumber() != 0) return false;
    const Text pendingName = CreatePendingFile();
    if (pendingName.Empty()) return false;
    if (WritePendingFile(xText, yText)) {
        PutInPlace(pendingName);
        if (RtErrorNumber() == 0) return true;
    }
    RtErrorFrame cleanup;  // the first failure is the one to report, not the clean-up's
    FileKill(pendingName);
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
    const int32_t openError = AppStepError([] {
        FileOpen(kReadNumber, kSettingsName, kReadMode, kRecordLength);
        // Only a regular file is read: a pipe or a device put at the name could feed the
        // run anything or hold it for ever.
        if (RtErrorNumber() == 0 && !FileIsDisk(kReadNumber)) {
            FileClose(kReadNumber);
            RtRaiseError(kRtErrPathFileAccess);
        }
    });
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
