/* tray_message.exe: what the notification area sends a program when the user double-clicks its
 * icon, posted to Tavlor's tray window directly, so that the test does not depend on where a
 * tray host puts the icon or how large it draws it.
 *
 *   tray_message.exe double-click   exit code 0 once posted, 1 when no tray window appeared in 10 s
 *
 * Qt's tray icon (Qt 6.4, qwindowssystemtrayicon.cpp) receives the shell's callbacks in a hidden
 * window titled "QTrayIconMessageWindow", as message WM_APP + 101 with the mouse message in the
 * low word of lParam and the icon id (0) in the high word, the NOTIFYICON_VERSION_4 form. */
#include <windows.h>

#include <cstdio>
#include <cstring>

#define TRAY_CALLBACK (WM_APP + 101)
#define TRAY_ICON_ID 0

int main(int argc, char** argv)
{
    if (argc != 2 || strcmp(argv[1], "double-click") != 0) {
        fprintf(stderr, "usage: tray_message.exe double-click\n");
        return 2;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND tray = FindWindowW(nullptr, L"QTrayIconMessageWindow");
        if (tray != nullptr) {
            return PostMessageW(tray, TRAY_CALLBACK, 0, MAKELPARAM(WM_LBUTTONDBLCLK, TRAY_ICON_ID)) ? 0 : 1;
        }
        Sleep(100);
    }
    fprintf(stderr, "tray_message.exe: no tray window\n");
    return 1;
}
