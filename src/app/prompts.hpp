#pragma once
// The first screen's axis diagram and the questions the run asks at the console.

#include "app/run_state.hpp"
#include "runtime/text.hpp"

/// Writes the axis diagram that explains the two offsets.
void AppShowDiagram();

/// Asks for the X and Y offsets at the console.
void AppAskOffsets(AppOffsets& offsets);

/// Asks " Save setting (Y/N)" and tells whether the answer was exactly "y" or "Y".
bool AppAskToSave();
