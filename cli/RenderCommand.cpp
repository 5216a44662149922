#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/OutputFile.h"
#include "render/ImageFormat.h"
#include "render/SaveImage.h"

namespace zandrel::cli {

int runRender(const CliOptions& options, StderrFeedback& feedback) {
    ImageFormatOf(options.output);  // an unknown extension fails before any work, naming the target
    PreparedDocument prepared = prepareDocument(options, feedback);
    // The image writer picks the format by the extension and replaces the file only once complete;
    // a device or pipe gets the picture through a temporary file of the same extension.
    writeOutputThroughFile(
        options.output,
        [&](const std::string& path) {
            SaveBitmapImage(prepared.doc, path);
            return true;
        },
        CannotCreate{"Error", "Cannot create file \"" + options.output + "\"."});
    return kExitSuccess;
}

}  // namespace zandrel::cli
