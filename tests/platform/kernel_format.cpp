// wsprintfW.
#include <string>
#include <vector>

#include "tests/platform/kernel_test_support.h"

namespace {

TEST(KernelFormat, Conversions) {
    wchar_t out[1024];
    EXPECT_EQ(wsprintfW(out, L"%s Ver.%s", L"Pellory - Tindle", L"1.0.0.2"), 28);
    EXPECT_STREQ(out, L"Pellory - Tindle Ver.1.0.0.2");
    wsprintfW(out, L"%s%c%d.ogg", L"/base/録音", PATH_SEPARATOR, 42);
    EXPECT_STREQ(out, L"/base/録音/42.ogg");
    wsprintfW(out, L"SAMPLES=%d FILES=%u INIT=%d", -5, 4000000000u, 0);
    EXPECT_STREQ(out, L"SAMPLES=-5 FILES=4000000000 INIT=0");
    wsprintfW(out, L"[%5d|%-5d|%05d|%x|%X|%#x|%c]", 42, 42, 42, 255, 255, 255, L'録');
    EXPECT_STREQ(out, L"[   42|42   |00042|ff|FF|0xff|録]");
    wsprintfW(out, L"%% %ls %hs %S %.3s %-4s| %s", L"wide", "narrow", "also", L"abcdef", L"ab",
              static_cast<const wchar_t *>(nullptr));
    EXPECT_STREQ(out, L"% wide narrow also abc ab  | (null)");
}

// "l" means a 32-bit LONG: the value that follows must still be read from its own argument.
TEST(KernelFormat, LongIsThirtyTwoBits) {
    wchar_t out[64];
    LONG negative = -7;
    DWORD big = 0xFFFFFFF0u;
    wsprintfW(out, L"%ld %lu %lx %d", negative, big, big, 9);
    EXPECT_STREQ(out, L"-7 4294967280 fffffff0 9");
}

TEST(KernelFormat, OutputIsCutAt1024CharactersWithTheTerminator) {
    std::wstring longText(3000, L'録');
    std::vector<wchar_t> out(1100, L'#');
    EXPECT_EQ(wsprintfW(out.data(), L"<%s>", longText.c_str()), 1023);
    EXPECT_EQ(out[0], L'<');
    EXPECT_EQ(out[1022], L'録');
    EXPECT_EQ(out[1023], L'\0');
    EXPECT_EQ(out[1024], L'#');
    EXPECT_EQ(wsprintfW(out.data(), L"%-2000d|", 1), 1023);
    EXPECT_EQ(out[0], L'1');
    EXPECT_EQ(out[1022], L' ');
    EXPECT_EQ(out[1024], L'#');
}

} // namespace
