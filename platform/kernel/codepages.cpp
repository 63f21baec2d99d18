// Code-page conversions: MultiByteToWideChar and WideCharToMultiByte.
//
// The ANSI and OEM code pages are one and the same here: the character set of the user's locale,
// or UTF-8 where the locale names plain ASCII (a machine without a locale would otherwise turn
// every Japanese title into '?'). What is written in one therefore reads back unchanged in the
// other. UTF-8 is coded directly; every other code page goes through iconv, with the wide side
// in the C library's wchar_t (UTF-32 here, so a character outside the BMP is one wchar_t).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <utf8proc.h>

#include "platform/kernel.h"
#include "platform/kernel/utf8.h"

namespace {

using platform::kernel::appendUtf8;
using platform::kernel::isScalarValue;

// Flags the program does not use but the calls accept.
constexpr DWORD MB_COMPOSITE_ = 0x00000002u;
constexpr DWORD MB_USEGLYPHCHARS_ = 0x00000004u;
constexpr DWORD WC_DISCARDNS_ = 0x00000010u;
constexpr DWORD WC_SEPCHARS_ = 0x00000020u;

struct CodePage {
    bool utf8 = false;
    bool explicitUtf8 = false; // CP_UTF8 itself, with its stricter rules for flags
    std::string charset;       // iconv name when not UTF-8
};

std::string localeCharset() {
    std::string charset;
    locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale != static_cast<locale_t>(nullptr)) {
        const char *name = ::nl_langinfo_l(CODESET, locale);
        charset = name != nullptr ? name : "";
        ::freelocale(locale);
    }
    if (charset.empty() || charset == "ANSI_X3.4-1968" || charset == "ASCII" ||
        charset == "US-ASCII" || charset == "UTF-8" || charset == "utf8") {
        return "UTF-8";
    }
    return charset;
}

bool resolveCodePage(UINT codePage, CodePage &page) {
    static const std::string systemCharset = localeCharset();
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
        page.charset = systemCharset;
        page.utf8 = systemCharset == "UTF-8";
        return true;
    case CP_UTF8:
        page.utf8 = true;
        page.explicitUtf8 = true;
        return true;
    case CP_SHIFT_JIS:
        page.charset = "CP932";
        return true;
    case 20932:
    case 51932:
        page.charset = "EUC-JP";
        return true;
    case 936:
        page.charset = "GBK";
        return true;
    case 949:
        page.charset = "CP949";
        return true;
    case 950:
        page.charset = "BIG5";
        return true;
    case 20127:
        page.charset = "ASCII";
        return true;
    case 437:
    case 850:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        page.charset = "CP" + std::to_string(codePage);
        return true;
    default:
        if (codePage >= 28591 && codePage <= 28599) {
            page.charset = "ISO-8859-" + std::to_string(codePage - 28590);
            return true;
        }
        return false;
    }
}

// Hands a result to the caller by the size conventions of the calls.
template <typename Char>
int deliver(const std::basic_string<Char> &result, Char *out, int outSize) {
    if (result.size() > static_cast<size_t>(INT_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int size = static_cast<int>(result.size());
    if (outSize == 0) {
        return size;
    }
    if (size > outSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, result.data(), result.size() * sizeof(Char));
    return size;
}

bool decodeUtf8Text(const char *in, size_t length, bool strict, std::wstring &out) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(in);
    size_t pos = 0;
    while (pos < length) {
        long cp = platform::kernel::decodeUtf8(bytes, length, pos);
        if (cp < 0) {
            if (strict) {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return false;
            }
            cp = 0xFFFD;
        }
        out.push_back(static_cast<wchar_t>(cp));
    }
    return true;
}

bool decodeWithIconv(const std::string &charset, const char *in, size_t length, bool strict,
                     std::wstring &out) {
    iconv_t cd = ::iconv_open("WCHAR_T", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    char *input = const_cast<char *>(in);
    size_t inputLeft = length;
    wchar_t chunk[256];
    bool ok = true;
    while (inputLeft > 0) {
        char *output = reinterpret_cast<char *>(chunk);
        size_t outputLeft = sizeof(chunk);
        size_t result = ::iconv(cd, &input, &inputLeft, &output, &outputLeft);
        int err = errno;
        out.append(chunk, (sizeof(chunk) - outputLeft) / sizeof(wchar_t));
        if (result != static_cast<size_t>(-1) || err == E2BIG) {
            continue;
        }
        // An ill-formed or cut-off sequence: one replacement character per byte skipped.
        if (strict) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            ok = false;
            break;
        }
        out.push_back(L'\xFFFD');
        ++input;
        --inputLeft;
    }
    ::iconv_close(cd);
    return ok;
}

// Composes base characters with following combining marks where a precomposed character exists
// (canonical composition). Runs holding NUL or values that are no characters pass unchanged.
std::wstring composeCharacters(const wchar_t *in, size_t length) {
    std::wstring result;
    size_t i = 0;
    while (i < length) {
        char32_t c = static_cast<char32_t>(in[i]);
        if (c == 0 || !isScalarValue(c)) {
            result.push_back(in[i++]);
            continue;
        }
        size_t end = i;
        std::string run;
        while (end < length && in[end] != 0 && isScalarValue(static_cast<char32_t>(in[end]))) {
            appendUtf8(run, static_cast<char32_t>(in[end++]));
        }
        utf8proc_uint8_t *mapped = nullptr;
        utf8proc_ssize_t mappedLength =
            utf8proc_map(reinterpret_cast<const utf8proc_uint8_t *>(run.data()),
                         static_cast<utf8proc_ssize_t>(run.size()), &mapped,
                         static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
        if (mappedLength < 0) {
            result.append(in + i, end - i);
        } else {
            decodeUtf8Text(reinterpret_cast<const char *>(mapped),
                           static_cast<size_t>(mappedLength), false, result);
        }
        std::free(mapped);
        i = end;
    }
    return result;
}

bool isNonSpacingMark(wchar_t c) {
    return isScalarValue(static_cast<char32_t>(c)) &&
           utf8proc_category(static_cast<utf8proc_int32_t>(c)) == UTF8PROC_CATEGORY_MN;
}

struct EncodeOptions {
    bool strict = false;    // fail on what cannot be coded instead of substituting
    bool useDefault = true; // substitute the default character (else U+FFFD in UTF-8)
    std::string defaultChar = "?";
    bool usedDefault = false;
};

bool encodeUtf8Text(const std::wstring &in, EncodeOptions &options, std::string &out) {
    for (wchar_t c : in) {
        char32_t cp = static_cast<char32_t>(c);
        if (isScalarValue(cp)) {
            appendUtf8(out, cp);
        } else if (options.strict) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return false;
        } else if (options.useDefault) {
            out += options.defaultChar;
            options.usedDefault = true;
        } else {
            appendUtf8(out, 0xFFFD);
        }
    }
    return true;
}

bool encodeWithIconv(const std::string &charset, const std::wstring &in, EncodeOptions &options,
                     std::string &out) {
    iconv_t cd = ::iconv_open(charset.c_str(), "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    char *input = reinterpret_cast<char *>(const_cast<wchar_t *>(in.data()));
    size_t inputLeft = in.size() * sizeof(wchar_t);
    char chunk[1024];
    for (;;) {
        char *output = chunk;
        size_t outputLeft = sizeof(chunk);
        // With no input left, a final call returns a stateful code to its initial state.
        bool finishing = inputLeft == 0;
        size_t result = finishing ? ::iconv(cd, nullptr, nullptr, &output, &outputLeft)
                                  : ::iconv(cd, &input, &inputLeft, &output, &outputLeft);
        int err = errno;
        out.append(chunk, sizeof(chunk) - outputLeft);
        if (result != static_cast<size_t>(-1)) {
            if (finishing) {
                break;
            }
            continue;
        }
        if (err == E2BIG) {
            continue;
        }
        if (finishing) {
            break;
        }
        // A character the code page cannot represent.
        out += options.defaultChar;
        options.usedDefault = true;
        input += sizeof(wchar_t);
        inputLeft -= sizeof(wchar_t);
    }
    ::iconv_close(cd);
    return true;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteStr, int multiByteLength,
                        LPWSTR wideCharStr, int wideCharLength) {
    if (multiByteStr == nullptr || multiByteLength == 0 || multiByteLength < -1 ||
        wideCharLength < 0 || (wideCharStr == nullptr && wideCharLength != 0) ||
        static_cast<const void *>(multiByteStr) == static_cast<const void *>(wideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CodePage page;
    if (!resolveCodePage(codePage, page)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD allowed = page.explicitUtf8
                        ? MB_ERR_INVALID_CHARS
                        : MB_PRECOMPOSED | MB_COMPOSITE_ | MB_USEGLYPHCHARS_ | MB_ERR_INVALID_CHARS;
    if ((flags & ~allowed) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t length = multiByteLength == -1 ? std::strlen(multiByteStr) + 1
                                          : static_cast<size_t>(multiByteLength);
    bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    std::wstring result;
    bool ok = page.utf8 ? decodeUtf8Text(multiByteStr, length, strict, result)
                        : decodeWithIconv(page.charset, multiByteStr, length, strict, result);
    if (!ok) {
        return 0;
    }
    return deliver(result, wideCharStr, wideCharLength);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideCharStr, int wideCharLength,
                        LPSTR multiByteStr, int multiByteLength, LPCSTR defaultChar,
                        LPBOOL usedDefaultChar) {
    if (wideCharStr == nullptr || wideCharLength == 0 || wideCharLength < -1 ||
        multiByteLength < 0 || (multiByteStr == nullptr && multiByteLength != 0) ||
        static_cast<const void *>(multiByteStr) == static_cast<const void *>(wideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CodePage page;
    if (!resolveCodePage(codePage, page)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (page.explicitUtf8) {
        // UTF-8 has no default character; asking for one is an error.
        if (defaultChar != nullptr || usedDefaultChar != nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if ((flags & ~WC_ERR_INVALID_CHARS) != 0) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
    } else if ((flags & ~(WC_COMPOSITECHECK | WC_DEFAULTCHAR | WC_DISCARDNS_ | WC_SEPCHARS_ |
                          WC_NO_BEST_FIT_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t length =
        wideCharLength == -1 ? std::wcslen(wideCharStr) + 1 : static_cast<size_t>(wideCharLength);
    EncodeOptions options;
    options.strict = page.explicitUtf8 && (flags & WC_ERR_INVALID_CHARS) != 0;
    options.useDefault = !page.explicitUtf8;
    if (defaultChar != nullptr && defaultChar[0] != '\0') {
        options.defaultChar.assign(defaultChar, strnlen(defaultChar, 2));
    }

    std::wstring text;
    if ((flags & WC_COMPOSITECHECK) != 0) {
        std::wstring composed = composeCharacters(wideCharStr, length);
        // Marks left over have no precomposed form: dropped, replaced or kept as they are.
        for (wchar_t c : composed) {
            if (!isNonSpacingMark(c)) {
                text.push_back(c);
            } else if ((flags & WC_DISCARDNS_) != 0) {
                continue;
            } else if ((flags & WC_DEFAULTCHAR) != 0) {
                text.push_back(static_cast<wchar_t>(0xFFFFFFFFu)); // not a character: replaced
            } else {
                text.push_back(c);
            }
        }
    } else {
        text.assign(wideCharStr, length);
    }

    std::string result;
    bool ok = page.utf8 ? encodeUtf8Text(text, options, result)
                        : encodeWithIconv(page.charset, text, options, result);
    if (!ok) {
        return 0;
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = options.usedDefault ? TRUE : FALSE;
    }
    return deliver(result, multiByteStr, multiByteLength);
}
