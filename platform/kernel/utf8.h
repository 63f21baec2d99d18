// UTF-8 coding shared by the path helpers and the code-page conversions.
#pragma once

#include <cstddef>
#include <string>

namespace platform::kernel {

// Code points that are Unicode scalar values (not surrogates, not beyond U+10FFFF).
inline bool isScalarValue(char32_t cp) { return cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF); }

// Appends the UTF-8 form of a scalar value.
void appendUtf8(std::string &out, char32_t cp);

// Decodes one sequence starting at bytes[pos] and advances pos past it. On an ill-formed
// sequence returns -1 and advances past its maximal ill-formed part (at least one byte), so that
// each such part stands for one replacement character.
long decodeUtf8(const unsigned char *bytes, size_t length, size_t &pos);

} // namespace platform::kernel
