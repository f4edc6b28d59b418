#pragma once
// Why a run printed no page: the first error of the run and the step that raised it, and
// the line that tells the user.

#include <cstdint>

#include "runtime/errors.hpp"
#include "runtime/text.hpp"

/// The step that raised a run's first error.
enum class AppFaultSource : uint8_t {
    kNone,
    kCurrentDirectory,
    kScreen,
    /// The settings file exists but could not be opened (a directory, no permission, held
    /// by another program).
    kSettingsNotOpened,
    /// The settings file ends before its second line (LF is data, not a line end).
    kSettingsTooShort,
    kSettingsNotRead,
    kNoPrinter,
    /// The page was drawn but the printer did not take the job.
    kJobNotHandedOver,
};

/// The first error of a run, which explains a missing page best: later errors often only
/// follow from it (reads of a settings file that did not open).
struct AppFault {
    AppFaultSource source = AppFaultSource::kNone;
    uint8_t number = 0;
};

/// Notes that `source` failed with `number` (0: it failed without raising an error), unless
/// a fault was noted already.
void AppNoteFault(AppFault& fault, AppFaultSource source, int32_t number);

/// Notes the run's error number, when there is one, as raised by `source`: for the steps that
/// share the run's own error frame, checked after each of them.
void AppNoteRunError(AppFault& fault, AppFaultSource source);

/// Runs `step` in an error frame of its own and passes its error on to the enclosing frame,
/// so that the caller learns what this step alone raised. Returns that error number.
template <class Step>
int32_t AppStepError(Step&& step) {
    int32_t number;
    {
        RtErrorFrame stepErrors;
        step();
        number = RtErrorNumber();
    }
    if (number != 0) RtRaiseError(static_cast<uint8_t>(number));
    return number;
}

/// The screen line that says no page was printed and why, with the error number.
Text AppNoPageLine(const AppFault& fault);
