#pragma once

// Texts and captions of the messages that the loaders and the project file show.

namespace zandrel::messages {

inline constexpr const char* kError = "Error";
inline constexpr const char* kErrorUpper = "ERROR";
inline constexpr const char* kWarning = "WARNING";

inline constexpr const char* kCannotOpenBinary = "Unable to open input binary file. Aborting.";
inline constexpr const char* kCannotOpenText = "Unable to open input text file. Aborting.";
inline constexpr const char* kUnknownBits =
    "The input file contains '?' characters.\nLoaded data may be corrupt because of unknown bits.";
inline constexpr const char* kBinaryTooLarge =
    "The file is too large: at most 268435455 bytes can be loaded.";
inline constexpr const char* kTextTooLarge = "The file is too large: at most 2147483647 bytes can be loaded.";
inline constexpr const char* kNoMemory = "Not enough memory to load the file.";

inline constexpr const char* kUnreadableHeader = "The .bit project file header contains unreadable lines.";
inline constexpr const char* kUnreadableData = "The .bit project file contains unreadable data.";
inline constexpr const char* kCannotCreateProject = "Unable to open output binary file. Cannot save.";
inline constexpr const char* kCannotWriteProject =
    "Unable to write the project file. The earlier file is unchanged.";

}  // namespace zandrel::messages
