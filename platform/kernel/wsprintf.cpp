// wsprintfW: the window manager's formatter.
//
// Each conversion is taken from the argument list by the formatter's own rules and formatted on
// its own with the C library: %s and %c take wide arguments (%hs, %S, %hc and %C narrow ones, in
// the ANSI code page), and the "l" size prefix means a 32-bit LONG, as it does on the platform the
// program was written for, not the 64-bit long of this one. The result is cut to 1023 characters.
#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/kernel.h"

namespace {

constexpr size_t kMaxOutput = 1024; // characters, with the terminator

enum class Size { Default, Short, Long, Int64 };

struct Spec {
    std::wstring flags;
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
};

int readNumber(const wchar_t *&p) {
    long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        value = std::min<long>(value * 10 + (*p - L'0'), static_cast<long>(kMaxOutput));
        ++p;
    }
    return static_cast<int>(value);
}

// Formats one value with a printf conversion built from the parsed flags, length and type.
template <typename T>
void appendFormatted(std::wstring &out, const Spec &spec, const wchar_t *conversion, T value) {
    std::wstring format = L"%" + spec.flags;
    if (spec.width >= 0) {
        format += std::to_wstring(spec.width);
    }
    if (spec.precision >= 0) {
        format += L"." + std::to_wstring(spec.precision);
    }
    format += conversion;
    std::vector<wchar_t> buffer(kMaxOutput * 2 + 64);
    int written = std::swprintf(buffer.data(), buffer.size(), format.c_str(), value);
    if (written > 0) {
        out.append(buffer.data(), static_cast<size_t>(written));
    }
}

std::wstring wideFromAnsi(const char *text) {
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), needed);
    wide.resize(static_cast<size_t>(needed - 1));
    return wide;
}

void appendString(std::wstring &out, Spec spec, const std::wstring &text) {
    // Nothing past the output limit can show, so a longer text is cut before it is formatted.
    if (spec.precision < 0 || spec.precision > static_cast<int>(kMaxOutput)) {
        spec.precision = static_cast<int>(kMaxOutput);
    }
    appendFormatted(out, spec, L"ls", text.c_str());
}

std::wstring formatText(const wchar_t *format, va_list args) {
    std::wstring out;
    const wchar_t *p = format;
    while (*p != L'\0' && out.size() < kMaxOutput) {
        if (*p != L'%') {
            out.push_back(*p++);
            continue;
        }
        ++p;
        if (*p == L'%') {
            out.push_back(*p++);
            continue;
        }
        Spec spec;
        while (*p == L'-' || *p == L'#' || *p == L'0' || *p == L'+' || *p == L' ') {
            if (spec.flags.find(*p) == std::wstring::npos) {
                spec.flags.push_back(*p);
            }
            ++p;
        }
        if (*p >= L'0' && *p <= L'9') {
            spec.width = readNumber(p);
        }
        if (*p == L'.') {
            ++p;
            spec.precision = readNumber(p);
        }
        if (*p == L'l' || *p == L'w') {
            spec.size = Size::Long;
            ++p;
        } else if (*p == L'h') {
            spec.size = Size::Short;
            ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            spec.size = Size::Int64;
            p += 3;
        }
        wchar_t type = *p;
        if (type == L'\0') {
            break;
        }
        ++p;
        switch (type) {
        case L'd':
        case L'i': {
            long long value = spec.size == Size::Int64   ? va_arg(args, long long)
                              : spec.size == Size::Short ? static_cast<short>(va_arg(args, int))
                                                         : va_arg(args, int);
            appendFormatted(out, spec, L"lld", value);
            break;
        }
        case L'u':
        case L'x':
        case L'X': {
            unsigned long long value = spec.size == Size::Int64 ? va_arg(args, unsigned long long)
                                       : spec.size == Size::Short
                                           ? static_cast<unsigned short>(va_arg(args, unsigned))
                                           : va_arg(args, unsigned);
            const wchar_t *conversion = type == L'u' ? L"llu" : type == L'x' ? L"llx" : L"llX";
            appendFormatted(out, spec, conversion, value);
            break;
        }
        case L'p': {
            Spec pointer;
            pointer.flags = L"0";
            pointer.width = static_cast<int>(sizeof(void *) * 2);
            appendFormatted(
                out, pointer, L"llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(va_arg(args, void *))));
            break;
        }
        case L'c':
        case L'C': {
            bool narrow = type == L'c' ? spec.size == Size::Short : spec.size != Size::Long;
            int raw = va_arg(args, int);
            std::wstring text;
            if (narrow) {
                char bytes[2] = {static_cast<char>(raw), '\0'};
                text = wideFromAnsi(bytes);
            } else if (raw != 0) {
                text.assign(1, static_cast<wchar_t>(raw));
            }
            spec.precision = -1;
            appendString(out, spec, text);
            break;
        }
        case L's':
        case L'S': {
            bool narrow = type == L's' ? spec.size == Size::Short : spec.size != Size::Long;
            if (narrow) {
                const char *text = va_arg(args, const char *);
                appendString(out, spec, text != nullptr ? wideFromAnsi(text) : L"(null)");
            } else {
                const wchar_t *text = va_arg(args, const wchar_t *);
                appendString(out, spec, text != nullptr ? text : L"(null)");
            }
            break;
        }
        default:
            // An unknown conversion shows its letter.
            out.push_back(type);
            break;
        }
    }
    return out;
}

} // namespace

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
    if (buffer == nullptr) {
        return 0;
    }
    std::wstring text;
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        text = formatText(format, args);
        va_end(args);
    }
    size_t length = std::min(text.size(), kMaxOutput - 1);
    text.copy(buffer, length);
    buffer[length] = L'\0';
    return static_cast<int>(length);
}
