#include "app/AppState.h"

#include <cwchar>

AppState appState;

LOGFONTW makeMainFontSpec() {
    LOGFONTW font = {};
    font.lfHeight = -13;
    font.lfWidth = 0;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = FALSE;
    font.lfUnderline = FALSE;
    font.lfStrikeOut = FALSE;
    font.lfCharSet = 0;
    font.lfOutPrecision = 0;
    font.lfClipPrecision = 0;
    font.lfQuality = 0;
    font.lfPitchAndFamily = 0;
    // Full-width M, full-width S, an ordinary space, then the two characters of Mincho.
    wcscpy(font.lfFaceName, L"\xFF2D\xFF33 \x660E\x671D");
    return font;
}

void invalidateMeter() {
    static const RECT innerMeter = {211, 261, 466, 303};
    InvalidateRect(appState.mainWindow, &innerMeter, FALSE);
}
