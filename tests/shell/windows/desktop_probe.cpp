/* desktop_probe.exe: the test's hand on the Windows desktop inside the Wine prefix.
 *
 *   desktop_probe.exe tray-double-click   what the notification area sends a program when the
 *                                         user double-clicks its icon, posted to Tavlor's tray
 *                                         window; exit code 1 when none appeared within 10 s
 *   desktop_probe.exe dpi                 prints the screen's dots per inch as programs see them
 *
 * The double-click goes as the message it is, so that the test does not depend on where a tray
 * host puts the icon or how large it draws it. Qt's tray icon (Qt 6.4, qwindowssystemtrayicon.cpp)
 * receives the shell's callbacks in a hidden window titled "QTrayIconMessageWindow", as message
 * WM_APP + 101 with the mouse message in the low word of lParam and the icon id (0) in the high
 * word, the NOTIFYICON_VERSION_4 form. */
#include <windows.h>

#include <cstdio>
#include <cstring>

#define TRAY_CALLBACK (WM_APP + 101)
#define TRAY_ICON_ID 0

static int trayDoubleClick()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND tray = FindWindowW(nullptr, L"QTrayIconMessageWindow");
        if (tray != nullptr) {
            return PostMessageW(tray, TRAY_CALLBACK, 0, MAKELPARAM(WM_LBUTTONDBLCLK, TRAY_ICON_ID)) ? 0 : 1;
        }
        Sleep(100);
    }
    fprintf(stderr, "desktop_probe.exe: no tray window\n");
    return 1;
}

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "tray-double-click") == 0) {
        return trayDoubleClick();
    }
    if (argc == 2 && strcmp(argv[1], "dpi") == 0) {
        HDC screen = GetDC(nullptr);
        printf("%d\n", GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
        return 0;
    }
    fprintf(stderr, "usage: desktop_probe.exe tray-double-click|dpi\n");
    return 2;
}
