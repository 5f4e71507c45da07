#include "windows/common/windows_1252.h"

#include <gtest/gtest.h>

namespace velmor::windows {
namespace {

struct TextCase {
    const char* name;
    std::string utf8;
    std::string bytes;
    // Whether the bytes read back as the same text.
    bool readsBack;
};

class Windows1252Test : public ::testing::TestWithParam<TextCase> {};

TEST_P(Windows1252Test, IsOneBytePerCharacterAndQuestionMarkWhereThereIsNone) {
    EXPECT_EQ(windows1252FromUtf8(GetParam().utf8), GetParam().bytes);
    if (GetParam().readsBack) {
        EXPECT_EQ(utf8FromWindows1252(GetParam().bytes), GetParam().utf8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , Windows1252Test,
    ::testing::Values(
        TextCase{"Ascii", ",O1900 Jukebox~cdj:playlist_play", ",O1900 Jukebox~cdj:playlist_play", true},
        TextCase{"Latin1", "Caf\xC3\xA9 \xC3\xBF\xC3\x90", "Caf\xE9 \xFF\xD0", true},
        TextCase{"HighBlock", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC5\xB8", "\x80 \x93q\x94 \x9F", true},
        // The five bytes Windows-1252 leaves undefined stand for the controls of their number.
        TextCase{"UndefinedBytes", "\xC2\x81\xC2\x9D", "\x81\x9D", true},
        // Not the nearest letter ("A"), as a best-fit conversion would make it.
        TextCase{"NoByte", "\xC4\x80gir", "?gir", false},
        TextCase{"OutsideTheBasicPlane", "a\xF0\x9F\x98\x80z", "a?z", false},
        TextCase{"NotUtf8", "a\xFF\xC3z", "a??z", false}, TextCase{"Empty", "", "", true}),
    [](const ::testing::TestParamInfo<TextCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::windows
