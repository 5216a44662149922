#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/TextKernels.h"

using namespace zandrel::textkernels;

namespace {

/// Both scanners on `text`, checked against each other and against the plain rule.
void expectScannersAgree(const std::string& text, uint8_t lineFeed, uint8_t space) {
    const auto* chars = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<uint8_t> wide(text.size() + 64, 0xEE), portable(text.size() + 64, 0xEE);
    int64_t wideCount = 0, portableCount = 0;
    const size_t wideScanned = scanPlainText(chars, text.size(), wide.data(), wideCount, lineFeed, space);
    const size_t portableScanned =
        scanPlainTextPortable(chars, text.size(), portable.data(), portableCount, lineFeed, space);
    ASSERT_EQ(wideScanned, portableScanned);
    ASSERT_EQ(wideScanned % kPlainTextChunk, 0u);
    ASSERT_EQ(wideCount, portableCount);
    std::vector<uint8_t> expected;
    for (size_t p = 0; p < wideScanned; ++p) {
        const char c = text[p];
        ASSERT_NE(c, '?');
        ASSERT_NE(static_cast<uint8_t>(c), lineFeed);
        ASSERT_NE(static_cast<uint8_t>(c), space);
        if (c == '0' || c == '1') expected.push_back(c == '1');
    }
    ASSERT_EQ(wideCount, static_cast<int64_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(wide[i], expected[i]) << i;
        ASSERT_EQ(portable[i], expected[i]) << i;
    }
    // The scan stops only before a character that needs a look, or near the end.
    if (wideScanned + kPlainTextChunk <= text.size()) {
        const std::string next = text.substr(wideScanned, kPlainTextChunk);
        EXPECT_TRUE(next.find('?') != std::string::npos ||
                    next.find(static_cast<char>(lineFeed)) != std::string::npos ||
                    next.find(static_cast<char>(space)) != std::string::npos);
    }
}

}  // namespace

TEST(TextKernelsTest, WideAndPortableScannersStoreTheSameBits) {
    std::mt19937 random(17);
    for (const char* alphabet : {"01", "0011\r\t x", "01\n", "0000000011111111\r", "01?"}) {
        const std::string letters = alphabet;
        for (int round = 0; round < 20; ++round) {
            std::string text;
            const int length = static_cast<int>(random() % 3000);
            for (int i = 0; i < length; ++i) text.push_back(letters[random() % letters.size()]);
            expectScannersAgree(text, '\n', ' ');
            expectScannersAgree(text, '?', '?');
        }
    }
    std::string allBytes;
    for (int round = 0; round < 8; ++round)
        for (int v = 0; v < 256; ++v)
            if (v != '?' && v != '\n' && v != ' ') allBytes.push_back(static_cast<char>(v));
    expectScannersAgree(allBytes, '\n', ' ');
}
