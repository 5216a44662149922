#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <map>

#include "cli/CliFailure.h"
#include "core/StrToInt.h"

namespace zandrel::cli {

namespace {

/// The texts of the layout options as typed; they are read by the layout edits' own rule.
struct LayoutTextOptions {
    std::optional<std::string> bitSizeX, bitSizeY, bitGap, colGap, bitsPerRow, bitsPerOutput;
};

struct ParserState {
    CliOptions options;
    LayoutTextOptions layoutTexts;
    std::string inputFormat;
    std::string endian;
};

const CLI::Validator& layoutNumber() {
    static const CLI::Validator validator(
        [](std::string& text) {
            return StrToInt(text) ? std::string()
                                  : "not a number: '" + text + "' (decimal, or hexadecimal after $, x or 0x)";
        },
        "N");
    return validator;
}

void addInputOptions(CLI::App& command, ParserState& state) {
    command
        .add_option("INPUT", state.options.input, "ROM bits: raw binary, bit text (.txt) or project (.bit)")
        ->required();
    command
        .add_option("--input-format", state.inputFormat, "Loader to use instead of the one the name chooses")
        ->check(CLI::IsMember({"bin", "txt", "bit"}));
}

void addLayoutOptions(CLI::App& command, ParserState& state) {
    LayoutTextOptions& texts = state.layoutTexts;
    command.add_option("--bit-size-x", texts.bitSizeX, "Width of one bit in pixels")
        ->check(layoutNumber())
        ->type_name("N");
    command.add_option("--bit-size-y", texts.bitSizeY, "Height of one bit in pixels")
        ->check(layoutNumber())
        ->type_name("N");
    command.add_option("--bit-gap", texts.bitGap, "Gap between bits in pixels")
        ->check(layoutNumber())
        ->type_name("N");
    command.add_option("--col-gap", texts.colGap, "Extra gap between output groups")
        ->check(layoutNumber())
        ->type_name("N");
    command.add_option("--bits-per-row", texts.bitsPerRow, "Bits in one row")
        ->check(layoutNumber())
        ->type_name("N");
    command.add_option("--bits-per-output", texts.bitsPerOutput, "Bit columns in one output group")
        ->check(layoutNumber())
        ->type_name("N");
}

void addExportOptions(CLI::App& command, ParserState& state) {
    ExportOverrides& exportOptions = state.options.exportOptions;
    command.add_flag("--reverse-outputs", exportOptions.reverseOutputs, "Mirror the output group numbers");
    command.add_flag("--reverse-within-col", exportOptions.reverseWithinOutCol,
                     "Take the columns of each output group from the right");
    command.add_option("--endian", state.endian, "Byte order of the exported words")
        ->check(CLI::IsMember({"big", "little"}));
    command.add_option("--bit-order", exportOptions.bitOrder, "Output bit order, e.g. \"3 2 1 0\"");
    command.add_flag("--allow-invalid-order", state.options.allowInvalidOrder,
                     "Export even when the output bit order is not a permutation");
    command.add_flag("--invert", state.options.invert, "Flip every bit's value after loading");
}

CLI::App* addCommand(CLI::App& app, ParserState& state, const std::string& name,
                     const std::string& description, Command command, const std::string& outputHelp) {
    CLI::App* sub = app.add_subcommand(name, description);
    addInputOptions(*sub, state);
    if (!outputHelp.empty()) sub->add_option("-o,--output", state.options.output, outputHelp)->required();
    addLayoutOptions(*sub, state);
    addExportOptions(*sub, state);
    sub->callback([&state, command] { state.options.command = command; });
    return sub;
}

std::optional<int32_t> layoutValue(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return StrToInt(*text);  // already validated
}

void finishOptions(ParserState& state) {
    CliOptions& options = state.options;
    const LayoutTextOptions& texts = state.layoutTexts;
    options.layout.BitSizeX = layoutValue(texts.bitSizeX);
    options.layout.BitSizeY = layoutValue(texts.bitSizeY);
    options.layout.BitGap = layoutValue(texts.bitGap);
    options.layout.ColGap = layoutValue(texts.colGap);
    options.layout.BitsPerRow = layoutValue(texts.bitsPerRow);
    options.layout.BitsPerOutput = layoutValue(texts.bitsPerOutput);

    static const std::map<std::string, InputFormat> formats = {
        {"bin", InputFormat::Bin}, {"txt", InputFormat::Txt}, {"bit", InputFormat::Bit}};
    if (!state.inputFormat.empty()) options.inputFormat = formats.at(state.inputFormat);
    if (!state.endian.empty()) options.exportOptions.endianMode = state.endian == "big" ? 1 : 0;
}

}  // namespace

ParseResult parseCommandLine(int argc, char** argv) {
    CLI::App app{"zandrel-cli: the ROM bit manipulation tool on the command line"};
    app.name("zandrel-cli");
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 success, 1 usage error, 2 input or data error. Messages and warnings go to "
        "stderr.");
    ParserState state;
    addCommand(app, state, "export", "Write the exported ROM bytes", Command::Export,
               "Output .bin file; - writes to stdout");
    addCommand(app, state, "dump", "Print the hex dump of the exported bytes", Command::Dump, "");
    addCommand(app, state, "save-project", "Write a .bit project file", Command::SaveProject,
               "Output .bit file; - writes to stdout");
    addCommand(app, state, "info", "Print a summary of bits, layout, options and bytes", Command::Info, "");
    addCommand(app, state, "render", "Save the bit map as an image", Command::Render,
               "Image file: .png, .tif, .jpg or .bmp by its extension");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return ParseResult{std::nullopt, status == 0 ? kExitSuccess : kExitUsage};
    }
    finishOptions(state);
    return ParseResult{state.options, kExitSuccess};
}

}  // namespace zandrel::cli
