// Fonts: face names go through fontconfig (with the Japanese language in the pattern, so that a
// face such as "ＭＳ 明朝" lands on an installed Mincho face), SDL_ttf draws the glyphs. SDL_ttf is
// not safe to use from several threads at once, so every call into it holds the text lock.

#include "platform/gdi/Fonts.h"

#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <utf8proc.h>

#include <map>
#include <mutex>

namespace platform {
namespace {

std::mutex &textLock() {
    static std::mutex lock;
    return lock;
}

// Fontconfig answers are cached by face name and style; they never change while the process runs.
std::map<std::string, std::string> &resolvedFiles() {
    static std::map<std::string, std::string> files;
    return files;
}

bool ensureTtf() {
    if (TTF_WasInit() > 0)
        return true;
    return TTF_Init() == 0;
}

} // namespace

std::string toUtf8(const wchar_t *text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        utf8proc_uint8_t bytes[4];
        utf8proc_int32_t cp = static_cast<utf8proc_int32_t>(text[i]);
        if (!utf8proc_codepoint_valid(cp))
            cp = 0xFFFD;
        utf8proc_ssize_t n = utf8proc_encode_char(cp, bytes);
        out.append(reinterpret_cast<const char *>(bytes), static_cast<size_t>(n));
    }
    return out;
}

std::wstring fromUtf8(const char *text) {
    std::wstring out;
    const auto *p = reinterpret_cast<const utf8proc_uint8_t *>(text);
    while (*p) {
        utf8proc_int32_t cp = 0;
        utf8proc_ssize_t n = utf8proc_iterate(p, -1, &cp);
        if (n <= 0) {
            cp = 0xFFFD;
            n = 1;
        }
        out.push_back(static_cast<wchar_t>(cp));
        p += n;
    }
    return out;
}

std::string resolveFontFile(const std::wstring &faceName, bool bold, bool italic) {
    std::string face = toUtf8(faceName.c_str(), static_cast<int>(faceName.size()));
    std::string key = face + (bold ? "|b" : "|") + (italic ? "i" : "");
    std::lock_guard<std::mutex> guard(textLock());
    auto found = resolvedFiles().find(key);
    if (found != resolvedFiles().end())
        return found->second;

    std::string file;
    if (FcInit()) {
        FcPattern *pattern = FcPatternCreate();
        if (!face.empty())
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(face.c_str()));
        FcLangSet *langs = FcLangSetCreate();
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8 *>("ja"));
        FcPatternAddLangSet(pattern, FC_LANG, langs);
        FcLangSetDestroy(langs);
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern *match = FcFontMatch(nullptr, pattern, &result);
        if (match) {
            FcChar8 *path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                file = reinterpret_cast<const char *>(path);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    resolvedFiles()[key] = file;
    return file;
}

GdiFont *openFont(const LOGFONTW &spec) {
    std::wstring face(spec.lfFaceName, wcsnlen(spec.lfFaceName, LF_FACESIZE));
    bool bold = spec.lfWeight >= 600;
    bool italic = spec.lfItalic != 0;
    std::string file = resolveFontFile(face, bold, italic);
    if (file.empty())
        return nullptr;

    std::lock_guard<std::mutex> guard(textLock());
    if (!ensureTtf())
        return nullptr;
    int size = spec.lfHeight < 0 ? -spec.lfHeight : (spec.lfHeight > 0 ? spec.lfHeight : 12);
    TTF_Font *ttf = TTF_OpenFont(file.c_str(), size);
    if (!ttf)
        return nullptr;
    if (spec.lfHeight > 0) {
        // A positive height is the whole cell: scale the em size so that the cell fits it.
        int cell = TTF_FontHeight(ttf);
        if (cell > 0 && cell != spec.lfHeight) {
            size = std::max(1, (spec.lfHeight * size + cell / 2) / cell);
            TTF_SetFontSize(ttf, size);
        }
    }
    int style = TTF_STYLE_NORMAL;
    if (bold)
        style |= TTF_STYLE_BOLD;
    if (italic)
        style |= TTF_STYLE_ITALIC;
    if (spec.lfUnderline)
        style |= TTF_STYLE_UNDERLINE;
    if (spec.lfStrikeOut)
        style |= TTF_STYLE_STRIKETHROUGH;
    TTF_SetFontStyle(ttf, style);
    TTF_SetFontHinting(ttf, TTF_HINTING_NORMAL);

    auto *font = new GdiFont;
    font->ttf = ttf;
    font->spec = spec;
    font->file = file;
    font->pixelSize = size;
    return font;
}

void closeFont(GdiFont *font) {
    if (!font)
        return;
    {
        std::lock_guard<std::mutex> guard(textLock());
        if (font->ttf)
            TTF_CloseFont(font->ttf);
    }
    delete font;
}

void fontMetrics(GdiFont *font, int &ascent, int &descent) {
    std::lock_guard<std::mutex> guard(textLock());
    ascent = font && font->ttf ? TTF_FontAscent(font->ttf) : 0;
    descent = font && font->ttf ? -TTF_FontDescent(font->ttf) : 0;
}

SIZE measureText(GdiFont *font, const wchar_t *text, int count) {
    SIZE size = {0, 0};
    if (!font || !font->ttf)
        return size;
    std::string utf8 = toUtf8(text, count);
    std::lock_guard<std::mutex> guard(textLock());
    size.cy = TTF_FontHeight(font->ttf);
    if (!utf8.empty()) {
        int w = 0, h = 0;
        if (TTF_SizeUTF8(font->ttf, utf8.c_str(), &w, &h) == 0)
            size.cx = w;
    }
    return size;
}

void drawText(DeviceContext &dc, int x, int y, const wchar_t *text, int count, COLORREF colour) {
    if (!dc.surface || !dc.font || !dc.font->ttf || count <= 0)
        return;
    if (dc.bkMode == OPAQUE) {
        SIZE size = measureText(dc.font, text, count);
        fillSurfaceRect(dc, RECT{x, y, x + size.cx, y + size.cy}, dc.bkColour);
    }
    std::string utf8 = toUtf8(text, count);
    SDL_Surface *glyphs = nullptr;
    {
        std::lock_guard<std::mutex> guard(textLock());
        SDL_Color fg = {GetRValue(colour), GetGValue(colour), GetBValue(colour), 255};
        glyphs = TTF_RenderUTF8_Blended(dc.font->ttf, utf8.c_str(), fg);
    }
    if (!glyphs)
        return;
    SDL_Rect clip = {dc.clip.left, dc.clip.top, dc.clip.right - dc.clip.left,
                     dc.clip.bottom - dc.clip.top};
    if (clip.w > 0 && clip.h > 0) {
        SDL_SetClipRect(dc.surface, &clip);
        SDL_Rect to = {x, y, glyphs->w, glyphs->h};
        SDL_SetSurfaceBlendMode(glyphs, SDL_BLENDMODE_BLEND);
        SDL_BlitSurface(glyphs, nullptr, dc.surface, &to);
        SDL_SetClipRect(dc.surface, nullptr);
    }
    SDL_FreeSurface(glyphs);
}

} // namespace platform
