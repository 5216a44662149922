#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "render/SaveImage.h"

namespace zandrel::cli {

int runRender(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared = prepareDocument(options, feedback);
    // The image writer picks the format by the extension and replaces the file only once complete.
    SaveBitmapImage(prepared.doc, options.output);
    return kExitSuccess;
}

}  // namespace zandrel::cli
