// zandrel-cli: the document's loaders, export and project writer for scripts and batch work.

#include <exception>
#include <new>
#include <string>

#include "cli/CliFailure.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/StderrFeedback.h"
#include "core/Errors.h"

using namespace zandrel::cli;

namespace {

/// The error box's rule: a full stop after a message that ends in a letter, digit or the like.
std::string withFullStop(std::string text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

int runCommand(const CliOptions& options, StderrFeedback& feedback) {
    switch (options.command) {
        case Command::Export:
            return runExport(options, feedback);
        case Command::Dump:
            return runDump(options, feedback);
        case Command::SaveProject:
            return runSaveProject(options, feedback);
        case Command::Info:
            return runInfo(options, feedback);
        case Command::Render:
            return runRender(options, feedback);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    ParseResult parsed = parseCommandLine(argc, argv);
    if (!parsed.options) return parsed.exitStatus;
    StderrFeedback feedback;
    try {
        return runCommand(*parsed.options, feedback);
    } catch (const CliFailure& failure) {
        if (*failure.what() != '\0') reportToStderr(failure.caption(), failure.what());
        return failure.status();
    } catch (const zandrel::Error& error) {
        reportToStderr("Error", withFullStop(error.what()));
    } catch (const std::bad_alloc&) {
        reportToStderr("Error", "Out of memory.");
    } catch (const std::exception& error) {
        reportToStderr("Error", withFullStop(error.what()));
    }
    return kExitData;
}
