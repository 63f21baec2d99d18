// UTF-8 coding, and the conversion of wide paths to the file system's bytes and back.
//
// File names on this system are bytes, mostly UTF-8. A name that is not valid UTF-8 still has to
// survive a trip through a wide string (a folder listing followed by an open), so each byte of an
// ill-formed part becomes a lone low surrogate U+DC80..U+DCFF, which no valid UTF-8 can produce,
// and turns back into the same byte on the way out.
#include "platform/kernel/utf8.h"

#include "platform/kernel.h"

namespace platform::kernel {

void appendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

long decodeUtf8(const unsigned char *bytes, size_t length, size_t &pos) {
    unsigned char lead = bytes[pos];
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t needed;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    char32_t cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F; // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        ++pos;
        return -1;
    }
    size_t at = pos + 1;
    for (size_t i = 0; i < needed; ++i, ++at) {
        if (at >= length) {
            pos = at;
            return -1;
        }
        unsigned char b = bytes[at];
        unsigned char lo = i == 0 ? low : 0x80;
        unsigned char hi = i == 0 ? high : 0xBF;
        if (b < lo || b > hi) {
            pos = at;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    pos = at;
    return static_cast<long>(cp);
}

} // namespace platform::kernel

namespace platform {

std::string nativePath(const wchar_t *path) {
    std::string out;
    if (path == nullptr) {
        return out;
    }
    for (; *path != L'\0'; ++path) {
        char32_t cp = static_cast<char32_t>(*path);
        if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(static_cast<char>(cp - 0xDC00));
        } else if (kernel::isScalarValue(cp)) {
            kernel::appendUtf8(out, cp);
        } else {
            kernel::appendUtf8(out, 0xFFFD);
        }
    }
    return out;
}

std::wstring widePath(const char *nativePath) {
    std::wstring out;
    if (nativePath == nullptr) {
        return out;
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(nativePath);
    size_t length = std::char_traits<char>::length(nativePath);
    size_t pos = 0;
    while (pos < length) {
        size_t start = pos;
        long cp = kernel::decodeUtf8(bytes, length, pos);
        if (cp >= 0) {
            out.push_back(static_cast<wchar_t>(cp));
        } else {
            for (size_t i = start; i < pos; ++i) {
                out.push_back(static_cast<wchar_t>(0xDC00 + bytes[i]));
            }
        }
    }
    return out;
}

} // namespace platform
