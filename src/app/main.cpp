#include "app/app.hpp"
#include "app/exit_loop.hpp"
#include "app/offsets.hpp"
#include "app/page.hpp"
#include "app/printer_list.hpp"
#include "app/prompts.hpp"
#include "app/run_fault.hpp"
#include "app/run_state.hpp"
#include "app/screen.hpp"
#include "app/server_trouble.hpp"
#include "app/settings.hpp"
#include "console/output.hpp"
#include "files/current_directory.hpp"
#include "printer/enumeration.hpp"
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
    // The first of those errors and its cause, checked after each step, for the user to
    // read when no page comes out.
    AppFault fault;
    AppOffsets offsets{};

    const Text startDir = SysCurDir(Text());
    AppNoteRunError(fault, AppFaultSource::kCurrentDirectory);
    WriteBanner("VIRODARO will prepare paper for cutting into four sections making scrap paper");
    AppNoteRunError(fault, AppFaultSource::kScreen);
    const bool configFound = AppExist(AppSettingsPath(startDir)) == -1;
    if (configFound) {
        AppReadSettings(offsets.xText, offsets.yText, fault);
        offsets.fromSettingsFile = true;
    } else {
        AppListPrinters();
        AppShowDiagram();
        AppAskOffsets(offsets);
        AppNoteRunError(fault, AppFaultSource::kScreen);
    }
    AppNormaliseOffsets(offsets);
    AppParseOffsets(offsets);

    ConClear();
    WriteBanner("App will prepare paper lines for cutting into four sections making scrap paper");
    // Offsets from the settings file are shown, so that the user sees which ones the page uses.
    if (configFound) {
        AppWriteLine("   setting  X = " + offsets.xText + "     Y = " + offsets.yText);
    }
    AppWriteLine(" ");
    AppNoteRunError(fault, AppFaultSource::kScreen);

    AppPage page{};
    if (AppPrintPage(offsets, page, fault)) {
        AppReport(page, offsets);
        AppWriteLine(" ");
        if (!offsets.fromSettingsFile && AppAskToSave()) {
            AppSaveSettings(startDir, offsets.xText, offsets.yText);
        }
    } else {
        // Where the report would stand: what kept the page from the printer, and what went
        // wrong with the print server, which may be why.
        AppWriteLine(AppNoPageLine(fault));
        Text server;
        if (const PrintServerTrouble trouble = PrnServerTrouble(server);
            trouble != PrintServerTrouble::kNone) {
            AppWriteLine(AppServerTroubleLine(trouble, server));
        }
    }
    AppExitLoop();

    return 0;
}
