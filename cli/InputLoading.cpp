#include "cli/InputLoading.h"

#include "cli/CliFailure.h"

namespace zandrel::cli {

InputFormat inputFormatForPath(std::string_view path) {
    if (path.size() >= 4) {
        std::string_view ending = path.substr(path.size() - 4);
        if (ending == ".txt") return InputFormat::Txt;
        if (ending == ".bit") return InputFormat::Bit;
    }
    return InputFormat::Bin;
}

std::string_view inputFormatName(InputFormat format) {
    switch (format) {
        case InputFormat::Txt:
            return "txt";
        case InputFormat::Bit:
            return "bit";
        case InputFormat::Bin:
            break;
    }
    return "bin";
}

void loadInput(const std::string& path, InputFormat format, Document& doc, LayoutTexts& edits,
               StderrFeedback& feedback) {
    switch (format) {
        case InputFormat::Txt:
            doc.LoadTextFile(path, edits, feedback);
            break;
        case InputFormat::Bit:
            doc.LoadBitProject(path, edits, feedback);
            break;
        case InputFormat::Bin:
            doc.LoadBinFile(path, feedback);
            break;
    }
    // A file that cannot be opened, or a project body that cannot be read, has already been
    // reported in the loader's own words; warnings let the run go on.
    if (feedback.reportedError()) throw CliFailure(kExitData, "", "");
}

}  // namespace zandrel::cli
