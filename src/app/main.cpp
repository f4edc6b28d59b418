#include "app/app.hpp"
#include "app/exit_loop.hpp"
#include "app/offsets.hpp"
#include "app/page.hpp"
#include "app/printer_list.hpp"

#include "app/prompts.hpp"
#include "app/run_state.hpp"
#include "app/screen.hpp"
#include "console/output.hpp"
#include "runtime/errors.hpp"

namespace {

void WriteBanner(const char* purpose) {
    AppWriteLine(AppBannerLine());
    AppWriteLine(purpose);
    AppWriteLine(" ");
}

}  // namespace

int32_t AppMain(platform::Handle, int32_t, const char*, int32_t) {
    // Every step of the run records its errors here; the run reads them once, after
    // attaching the printer.
    RtErrorFrame runErrors;
    AppOffsets offsets{};

    WriteBanner("VIRODARO will prepare paper for cutting into four sections making scrap paper");
    AppListPrinters();
    AppShowDiagram();
    AppAskOffsets(offsets);
    AppNormaliseOffsets(offsets);
    AppParseOffsets(offsets);

    ConClear();
    WriteBanner("App will prepare paper lines for cutting into four sections making scrap paper");
    AppWriteLine(" ");

    AppPage page{};
    if (AppPrintPage(offsets, page)) {
        AppReport(page, offsets);
        AppWriteLine(" ");
        if (!offsets.fromSettingsFile) AppAskToSave();
    }
    AppExitLoop();

    return 0;
}
