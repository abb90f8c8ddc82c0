// Entry of the companion launcher. Its update check and the /inst start come with the
// launcher flow; until then it ends at once without any visible effect.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
