#include "runtime/standard_options.hpp"

#include <string>

#include "app/usage.hpp"
#include "platform/process.hpp"

RtStandardOption RtReadStandardOption(std::string_view commandTail) {
    if (commandTail == "--help") return RtStandardOption::kHelp;
    if (commandTail == "--version") return RtStandardOption::kVersion;
    return RtStandardOption::kNone;
}

std::optional<uint32_t> RtAnswerStandardOption(std::string_view commandTail) {
    if (platform::CommandLineConvention() != platform::OptionConvention::kGnuStandardOptions) {
        return std::nullopt;
    }
    const RtStandardOption option = RtReadStandardOption(commandTail);
    if (option == RtStandardOption::kNone) return std::nullopt;
    const std::string text = option == RtStandardOption::kHelp ? AppUsageText() : AppVersionText();
    return platform::WriteStandardOutput(text) ? 0u : 255u;
}
