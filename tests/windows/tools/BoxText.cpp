// boxtext CAPTION: waits up to twenty seconds for a message box with that
// caption and prints what it shows: its text, whether it has an icon, and
// which of the usual buttons it offers. Exit code 1 when no box came.
#include <windows.h>

#include <cstdio>

namespace {

const int kTextId = 0xFFFF;  // the static control that holds a message box's text
const int kIconId = 0x0440;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: boxtext CAPTION\n");
        return 2;
    }
    HWND box = nullptr;
    for (int i = 0; i < 400 && !box; ++i) {
        box = FindWindowA("#32770", argv[1]);
        if (!box) Sleep(50);
    }
    if (!box) {
        std::printf("no box\n");
        return 1;
    }
    char text[4096] = "";
    GetDlgItemTextA(box, kTextId, text, sizeof text);
    HWND icon = GetDlgItem(box, kIconId);
    bool hasIcon = icon && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    std::printf("text=%s\n", text);
    std::printf("icon=%d ok=%d cancel=%d yes=%d\n", hasIcon ? 1 : 0, GetDlgItem(box, IDOK) ? 1 : 0,
                GetDlgItem(box, IDCANCEL) ? 1 : 0, GetDlgItem(box, IDYES) ? 1 : 0);
    return 0;
}
