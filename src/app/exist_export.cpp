// The functions that other programs call: EXIST and the making and freeing of its texts.

#include "virodaro/exist.h"

#include "app/settings.hpp"
#include "platform/memory.hpp"
#include "platform/module.hpp"
#include "runtime/text.hpp"

int32_t EXIST(const virodaro_text* path) {
    // Called from another program, this may be the first code of ours to run at all.
    platform::FinishModuleLoad();
    // The caller's text is read in place; it stays the caller's to free.
    Text borrowed = Text::Adopt(path != nullptr ? *path : nullptr);
    const int32_t found = AppExist(borrowed);
    borrowed.Release();
    return found;
}

virodaro_text virodaro_text_new(const char* bytes, uint32_t length) {
    platform::FinishModuleLoad();
    return length == 0 ? nullptr : platform::SysAllocStringByteLen(bytes, length);
}

void virodaro_text_free(virodaro_text text) {
    platform::FinishModuleLoad();
    platform::SysFreeString(text);
}
