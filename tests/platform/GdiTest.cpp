// Drawing through device contexts on a plain surface: fonts, text, rectangles, lines, clipping.

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win32.h"

using namespace platform;

namespace {

class GdiSurface : public ::testing::Test {
protected:
    void SetUp() override {
        surface = SDL_CreateRGBSurfaceWithFormat(0, 120, 80, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_NE(surface, nullptr);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 192, 192, 192));
    }
    void TearDown() override {
        if (dc)
            deleteDeviceContext(dc);
        SDL_FreeSurface(surface);
    }
    HDC open(POINT origin = {0, 0}, RECT clip = {0, 0, 1000, 1000}) {
        dc = createDeviceContext(surface, origin, clip);
        return toHdc(dc);
    }
    COLORREF at(int x, int y) const {
        auto *row = static_cast<Uint8 *>(surface->pixels) + y * surface->pitch;
        return unmapColour(surface, reinterpret_cast<Uint32 *>(row)[x]);
    }
    // Counts pixels of the colour in [left, right) x [top, bottom).
    int count(COLORREF colour, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += at(x, y) == colour;
        return n;
    }
    SDL_Surface *surface = nullptr;
    DeviceContext *dc = nullptr;
};

const COLORREF grey = RGB(192, 192, 192);
const COLORREF orange = RGB(255, 128, 0);
const LOGFONTW mincho = [] {
    LOGFONTW spec = {};
    spec.lfHeight = -13;
    spec.lfWeight = FW_NORMAL;
    wcscpy(spec.lfFaceName, L"ＭＳ 明朝");
    return spec;
}();

} // namespace

TEST(GdiFonts, JapaneseFaceNameResolvesToAMinchoFace) {
    std::string file = resolveFontFile(L"ＭＳ 明朝", false, false);
    ASSERT_FALSE(file.empty());
    // The installed Mincho face: whatever name its file has, it must have Japanese glyphs and
    // be the Mincho (serif) design rather than the Gothic one.
    EXPECT_EQ(file.find("othic"), std::string::npos) << file;
    EXPECT_NE(file.find("incho"), std::string::npos) << file;

    HFONT font = CreateFontIndirectW(&mincho);
    ASSERT_NE(font, nullptr);
    auto *gdi = reinterpret_cast<GdiFont *>(font);
    // A character height of 13 pixels: the cell is a little taller, Japanese glyphs as wide.
    SIZE size = measureText(gdi, L"明朝", 2);
    EXPECT_GE(size.cy, 13);
    EXPECT_LE(size.cy, 20);
    EXPECT_EQ(size.cx, 26);
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(GdiSurface, RectangleOutlinesWithPenAndFillsWithBrushExcludingRightAndBottom) {
    HDC hdc = open();
    Rectangle(hdc, 10, 10, 20, 15); // default black pen, white brush
    EXPECT_EQ(at(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(at(19, 14), RGB(0, 0, 0));
    EXPECT_EQ(at(20, 14), grey);
    EXPECT_EQ(at(19, 15), grey);
    EXPECT_EQ(at(11, 11), RGB(255, 255, 255));
    EXPECT_EQ(count(RGB(255, 255, 255), RECT{0, 0, 120, 80}), 8 * 3);

    // Null pen: the filled area is one pixel smaller each way.
    HBRUSH brush = CreateSolidBrush(orange);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    Rectangle(hdc, 30, 30, 40, 35);
    EXPECT_EQ(count(orange, RECT{0, 0, 120, 80}), 9 * 4);
    EXPECT_EQ(at(30, 30), orange);
    EXPECT_EQ(at(39, 33), grey);
    // A right edge left of the left edge draws nothing.
    Rectangle(hdc, 61, 30, 60, 40);
    EXPECT_EQ(count(orange, RECT{50, 0, 120, 80}), 0);
    EXPECT_EQ(SelectObject(hdc, oldPen), GetStockObject(NULL_PEN));
    EXPECT_EQ(SelectObject(hdc, oldBrush), static_cast<HGDIOBJ>(brush));
    DeleteObject(brush);
}

TEST_F(GdiSurface, LineLeavesOutItsLastPointAndFollowsThePen) {
    HDC hdc = open();
    HPEN pen = CreatePen(PS_SOLID, 1, orange);
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, 5, 5, nullptr);
    LineTo(hdc, 15, 5);
    EXPECT_EQ(count(orange, RECT{0, 0, 120, 80}), 10);
    EXPECT_EQ(at(14, 5), orange);
    EXPECT_EQ(at(15, 5), grey);
    // Continues from the last point: a diagonal of 10 pixels.
    LineTo(hdc, 25, 15);
    EXPECT_EQ(count(orange, RECT{15, 5, 26, 16}), 10);
    EXPECT_EQ(at(24, 14), orange);

    SelectObject(hdc, GetStockObject(NULL_PEN));
    LineTo(hdc, 25, 40);
    EXPECT_EQ(count(orange, RECT{0, 16, 120, 80}), 0);
    POINT last{};
    MoveToEx(hdc, 0, 0, &last);
    EXPECT_EQ(last.x, 25);
    EXPECT_EQ(last.y, 40);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

TEST_F(GdiSurface, EverythingIsClippedAndMovedByTheOrigin) {
    // Logical (0,0) at surface (20,10); only surface (25..45, 15..25) may change.
    HDC hdc = open(POINT{20, 10}, RECT{25, 15, 45, 25});
    RECT all = {-20, -10, 100, 70};
    FillRect(hdc, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(count(RGB(255, 255, 255), RECT{0, 0, 120, 80}), 20 * 10);
    EXPECT_EQ(at(25, 15), RGB(255, 255, 255));
    EXPECT_EQ(at(24, 15), grey);

    HFONT font = CreateFontIndirectW(&mincho);
    SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    TextOutW(hdc, -15, 0, L"明朝明朝明朝", 6);
    int changed = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            bool inside = x >= 25 && x < 45 && y >= 15 && y < 25;
            COLORREF c = at(x, y);
            if (!inside)
                EXPECT_EQ(c, grey) << x << "," << y;
            else
                changed += c != RGB(255, 255, 255);
        }
    EXPECT_GT(changed, 10);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(GdiSurface, TextDrawsInTheTextColourWithOrWithoutBackground) {
    HDC hdc = open();
    HFONT font = CreateFontIndirectW(&mincho);
    SelectObject(hdc, font);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(hdc, L"入力", 2, &size));

    // Opaque (the default): the cell is filled with the background colour first.
    SetTextColor(hdc, RGB(255, 0, 0));
    TextOutW(hdc, 2, 2, L"入力", 2);
    RECT cell = {2, 2, 2 + size.cx, 2 + size.cy};
    int white = count(RGB(255, 255, 255), cell), red = count(RGB(255, 0, 0), cell);
    EXPECT_GT(white, 0);
    EXPECT_GT(red, 10);
    EXPECT_EQ(count(grey, cell), 0);
    // The count limits the characters drawn.
    SetBkMode(hdc, TRANSPARENT);
    TextOutW(hdc, 2, 40, L"入力", 1);
    EXPECT_GT(size.cy * size.cx / 2 - count(grey, RECT{2, 40, 2 + size.cx / 2, 40 + size.cy}), 10);
    EXPECT_EQ(count(grey, RECT{2 + size.cx / 2 + 1, 40, 2 + size.cx, 40 + size.cy}),
              (size.cx / 2 - 1) * size.cy);
    EXPECT_EQ(count(RGB(255, 255, 255), RECT{0, 30, 120, 80}), 0);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
