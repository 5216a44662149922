// The settings file on any text: the main window's reading of its fifteen keys, the text as it
// would be written and read again, and writes of any value, which must read back and must leave
// every other key as it was, also once the text is read again from the file.

#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "app/IniFile.h"
#include "core/StrToInt.h"

using namespace zandrel;

namespace {

struct Key {
    const char* section;
    const char* name;
};

// The keys of the main window, and names that differ from them only in letter case.
constexpr Key kKeys[] = {
    {"ZandrelForm", "Top"},
    {"ZandrelForm", "Left"},
    {"ZandrelForm", "Width"},
    {"ZandrelForm", "Height"},
    {"ZandrelForm", "BitSizeX"},
    {"ZandrelForm", "BitSizeY"},
    {"ZandrelForm", "BitGap"},
    {"ZandrelForm", "ColGap"},
    {"ZandrelForm", "BitsPerRow"},
    {"ZandrelForm", "BitsPerOutput"},
    {"ZandrelForm", "WorkingDir"},
    {"Export", "ReverseOutputs"},
    {"Export", "ReverseWithinOutCol"},
    {"Export", "ROMLayout"},
    {"Export", "OutputBitOrder"},
    {"zandrelform", "BITSIZEX"},
    {"EXPORT", "outputbitorder"},
    {"Other", "Key"},
};
constexpr size_t kProgramKeys = 15;

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool SameKey(const Key& a, const Key& b) {
    return SameName(a.section, b.section) && SameName(a.name, b.name);
}

std::vector<std::string> ReadAll(const IniFile& ini) {
    std::vector<std::string> values;
    for (const Key& key : kKeys) values.push_back(ini.ReadString(key.section, key.name, "\x01missing"));
    return values;
}

// The main window's reading at start-up: integers with their fallbacks, the two texts.
void ReadLikeTheMainWindow(const IniFile& ini) {
    for (size_t k = 0; k < kProgramKeys; ++k) {
        const Key& key = kKeys[k];
        const std::string text = ini.ReadString(key.section, key.name, "");
        FUZZ_CHECK(text.size() <= kIniValueMaxLength);
        const int32_t number = ini.ReadInteger(key.section, key.name, 1260);
        FUZZ_CHECK(number == (text.empty() ? 1260 : StrToIntDef(text, 1260)));
    }
}

// A value the format holds as it is: no line break, no blank at either end, not in quotes.
bool Representable(std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    if (!value.empty() &&
        (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t'))
        return false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return false;
    return true;
}

std::string WithoutLineEndReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            while (!out.empty() && out.back() == '\r') out.pop_back();
        out.push_back(c);
    }
    return out;
}

IniFile Reread(fuzz::MemoryFile& file, const IniFile& ini) {
    file.assign(ini.text());
    return IniFile(file.path());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    FuzzedDataProvider in(data, size);
    // The writes take their choices from the end of the input, so the file is its front.
    const size_t writes = in.ConsumeIntegralInRange<size_t>(0, 3);
    std::vector<std::pair<size_t, std::string>> planned;
    for (size_t w = 0; w < writes; ++w) {
        const size_t key = in.ConsumeIntegralInRange<size_t>(0, std::size(kKeys) - 1);
        std::string value = in.ConsumeBool() ? std::to_string(in.ConsumeIntegral<int32_t>())
                                             : in.ConsumeRandomLengthString(64);
        planned.emplace_back(key, std::move(value));
    }
    file.assign(in.ConsumeRemainingBytesAsString());

    IniFile ini(file.path());
    ReadLikeTheMainWindow(ini);

    // The text as it would be written reads back the same, and is then written unchanged but for
    // carriage returns at the ends of lines (which no value holds: reading trims them).
    const std::vector<std::string> original = ReadAll(ini);
    {
        const IniFile again = Reread(file, ini);
        FUZZ_CHECK(WithoutLineEndReturns(again.text()) == WithoutLineEndReturns(ini.text()));
        FUZZ_CHECK(ReadAll(again) == original);
    }

    for (const auto& [index, value] : planned) {
        const Key& key = kKeys[index];
        std::vector<std::string> expected = ReadAll(ini);
        ini.WriteString(key.section, key.name, value);
        const bool exact = Representable(value);
        for (size_t k = 0; k < std::size(kKeys); ++k) {
            if (SameKey(kKeys[k], key)) {
                if (exact)
                    expected[k] = value.substr(0, kIniValueMaxLength);
                else
                    expected[k] = ini.ReadString(kKeys[k].section, kKeys[k].name, "\x01missing");
            }
        }
        FUZZ_CHECK(ReadAll(ini) == expected);
        // Once in the file, no value may change another key.
        const IniFile again = Reread(file, ini);
        const std::vector<std::string> reread = ReadAll(again);
        for (size_t k = 0; k < std::size(kKeys); ++k)
            FUZZ_CHECK(SameKey(kKeys[k], key) ? !exact || reread[k] == expected[k]
                                              : reread[k] == expected[k]);
    }

    // Integers read back as written.
    const Key& key = kKeys[planned.size() % kProgramKeys];
    const int32_t number = static_cast<int32_t>(size * 2654435761u);
    ini.WriteInteger(key.section, key.name, number);
    FUZZ_CHECK(ini.ReadInteger(key.section, key.name, 0) == number);
    FUZZ_CHECK(Reread(file, ini).ReadInteger(key.section, key.name, 0) == number);
    return 0;
}
