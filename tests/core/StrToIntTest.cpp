#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/StrToInt.h"

using zandrel::StrToIntDef;

struct Conversion {
    const char* text;
    int32_t expected;
};

class StrToIntDefTest : public testing::TestWithParam<Conversion> {};

TEST_P(StrToIntDefTest, ReadsTheWholeTextOrGivesTheDefault) {
    EXPECT_EQ(StrToIntDef(GetParam().text, -77), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntDefTest,
    testing::Values(Conversion{" 12", 12}, Conversion{"   12", 12}, Conversion{"12 ", -77},
                    Conversion{"\t12", -77}, Conversion{"+5", 5}, Conversion{"-5", -5},
                    Conversion{"$1F", 31}, Conversion{"x1F", 31}, Conversion{"X1f", 31},
                    Conversion{"0x1F", 31}, Conversion{"0X1f", 31}, Conversion{"-$10", -77},
                    Conversion{"+0x10", -77}, Conversion{"abc", -77}, Conversion{"", -77},
                    Conversion{" ", -77}, Conversion{"-", -77}, Conversion{"+", -77},
                    Conversion{"$", -77}, Conversion{"0x", -77}, Conversion{"2147483647", INT_MAX},
                    Conversion{"2147483648", -77}, Conversion{"-2147483648", INT_MIN},
                    Conversion{"-2147483649", -77}, Conversion{"$FFFFFFFF", -1},
                    Conversion{"$80000000", INT_MIN}, Conversion{"$100000000", -77},
                    Conversion{"$000000001", 1}, Conversion{"0x0000000000FF", 255},
                    Conversion{"00012", 12}, Conversion{"1 2", -77}, Conversion{"12a", -77},
                    Conversion{"99999999999999999999", -77}),
    [](const testing::TestParamInfo<Conversion>& info) { return std::to_string(info.index); });
