#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zandrel::cli {

enum class Command { Export, Dump, SaveProject, Info, Render };

/// Which loader reads the input: raw binary, bit text or bit project.
enum class InputFormat { Bin, Txt, Bit };

/// Layout values given on the command line; each replaces the text of its layout edit.
struct LayoutOverrides {
    std::optional<int32_t> BitSizeX;
    std::optional<int32_t> BitSizeY;
    std::optional<int32_t> BitGap;
    std::optional<int32_t> ColGap;
    std::optional<int32_t> BitsPerRow;
    std::optional<int32_t> BitsPerOutput;
};

/// Export options given on the command line; each replaces what the input brought.
struct ExportOverrides {
    bool reverseOutputs = false;
    bool reverseWithinOutCol = false;
    std::optional<int32_t> endianMode;
    std::optional<std::string> bitOrder;
};

/// Everything one run of zandrel-cli was asked to do.
struct CliOptions {
    Command command = Command::Info;
    std::string input;
    std::string output;  ///< "-" stands for stdout
    std::optional<InputFormat> inputFormat;
    LayoutOverrides layout;
    ExportOverrides exportOptions;
    bool allowInvalidOrder = false;
    bool invert = false;
};

/// The parsed options, or the exit status when parsing ended the run (help shown, usage error).
struct ParseResult {
    std::optional<CliOptions> options;
    int exitStatus = 0;
};

/// Reads the arguments; usage errors are reported on stderr and give exit status 1.
ParseResult parseCommandLine(int argc, char** argv);

}  // namespace zandrel::cli
