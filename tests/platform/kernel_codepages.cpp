// Code-page conversions.
#include <string>

#include "tests/platform/kernel_test_support.h"

namespace {

std::string toBytes(UINT codePage, DWORD flags, const std::wstring &text,
                    const char *defaultChar = nullptr, BOOL *usedDefault = nullptr) {
    int needed = WideCharToMultiByte(codePage, flags, text.c_str(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed) + 8, '\0');
    int written =
        WideCharToMultiByte(codePage, flags, text.c_str(), static_cast<int>(text.size()),
                            bytes.data(), static_cast<int>(bytes.size()), defaultChar, usedDefault);
    EXPECT_EQ(written, needed);
    bytes.resize(static_cast<size_t>(written));
    return bytes;
}

std::wstring toWide(UINT codePage, DWORD flags, const std::string &bytes) {
    int needed = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    std::wstring text(static_cast<size_t>(needed), L'\0');
    int written = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                      text.data(), needed);
    EXPECT_EQ(written, needed);
    text.resize(static_cast<size_t>(written));
    return text;
}

// The list file is written in the ANSI code page and read back in the OEM one: Japanese titles
// (and characters outside the BMP, one wchar_t each here) must survive the trip.
TEST(KernelCodePages, AnsiTextReadsBackThroughOem) {
    const std::wstring title = L"朝の録音テスト \U0001F3B5 news-01";
    std::string bytes = toBytes(CP_ACP, WC_COMPOSITECHECK, title);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_EQ(toWide(CP_OEMCP, 0, bytes), title);
    EXPECT_EQ(toWide(CP_UTF8, 0, toBytes(CP_UTF8, 0, title)), title);
}

TEST(KernelCodePages, ShiftJis) {
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, 0, L"録音"), "\x98\x5E\x89\xB9");
    EXPECT_EQ(toWide(CP_SHIFT_JIS, 0, "\x98\x5E\x89\xB9 ok"), L"録音 ok");
    // A lead byte without its trail byte is no character.
    EXPECT_EQ(toWide(CP_SHIFT_JIS, 0, "a\x98"), L"a\xFFFD");
}

// A base character followed by a combining mark is written as the precomposed character.
TEST(KernelCodePages, CompositeCheckPrecomposes) {
    const std::wstring decomposed = L"\x304B\x3099"; // ka + combining dakuten
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, WC_COMPOSITECHECK, decomposed), "\x82\xAA"); // ga
    EXPECT_EQ(toWide(CP_ACP, 0, toBytes(CP_ACP, WC_COMPOSITECHECK, decomposed)), L"\x304C");
    // Without the flag the mark stays separate, and Shift-JIS has no such character.
    BOOL used = FALSE;
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, 0, decomposed, nullptr, &used), "\x82\xA9?");
    EXPECT_TRUE(used);
}

TEST(KernelCodePages, DefaultCharacter) {
    BOOL used = TRUE;
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, 0, L"caf\xE9!", nullptr, &used), "caf?!");
    EXPECT_TRUE(used);
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, 0, L"caf\xE9!", "*", &used), "caf*!");
    EXPECT_TRUE(used);
    EXPECT_EQ(toBytes(CP_SHIFT_JIS, 0, L"cafe!", "*", &used), "cafe!");
    EXPECT_FALSE(used);
    // UTF-8 has no default character: asking for one is an error, and a lone surrogate becomes
    // the replacement character.
    char out[16];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", 1, out, 16, "?", nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(toBytes(CP_UTF8, 0, std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(KernelCodePages, IllFormedInput) {
    // A cut-off sequence is one replacement character; a stray byte another.
    EXPECT_EQ(toWide(CP_UTF8, 0,
                     "a\xE9\x8C"
                     "b\x80"),
              L"a\xFFFD"
              L"b\xFFFD");
    EXPECT_EQ(toWide(CP_UTF8, 0, "\xED\xA0\x80"), L"\xFFFD\xFFFD\xFFFD"); // encoded surrogate
    wchar_t out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xE9\x8C", 3, out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(MultiByteToWideChar(CP_SHIFT_JIS, MB_ERR_INVALID_CHARS, "a\x98", 2, out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(KernelCodePages, SizeConventions) {
    // -1: the terminator is converted and counted.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE9\x8C\xB2\xE9\x9F\xB3", -1, nullptr, 0), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"録音", -1, nullptr, 0, nullptr, nullptr), 7);
    EXPECT_EQ(WideCharToMultiByte(CP_SHIFT_JIS, 0, L"録音", -1, nullptr, 0, nullptr, nullptr), 5);
    wchar_t wide[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE9\x8C\xB2\xE9\x9F\xB3", -1, wide, 3), 3);
    EXPECT_EQ(std::wstring(wide), L"録音");

    // A short buffer: 0, ERROR_INSUFFICIENT_BUFFER, and nothing past its end.
    char bytes[8] = "zzzzzzz";
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"録音", -1, bytes, 6, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(bytes[6], 'z');
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 3), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    const struct {
        UINT codePage;
        const char *input;
        int length;
        int outSize;
    } invalid[] = {
        {12345, "abc", 3, 8}, // unknown code page
        {CP_UTF8, "abc", 0, 8},   {CP_UTF8, "abc", -2, 8},
        {CP_UTF8, nullptr, 3, 8}, {CP_UTF8, "abc", 3, -1},
    };
    for (const auto &c : invalid) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.input, c.length, wide, c.outSize), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.codePage << " " << c.length;
    }
    EXPECT_EQ(WideCharToMultiByte(12345, 0, L"abc", 3, bytes, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(KernelCodePages, PathsRoundTrip) {
    EXPECT_EQ(platform::nativePath(L"/tmp/録音/0.ogg"), "/tmp/\xE9\x8C\xB2\xE9\x9F\xB3/0.ogg");
    EXPECT_EQ(platform::widePath("/tmp/\xE9\x8C\xB2\xE9\x9F\xB3/0.ogg"), L"/tmp/録音/0.ogg");
    EXPECT_EQ(platform::nativePath(platform::widePath("a\xC3\xFF\x80z").c_str()), "a\xC3\xFF\x80z");
}

} // namespace
