// Entry point of velmora.exe: the application object starts the program,
// runs the main window and shuts down.
#include "app/KRVApp.win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vm::CKRVApp app;
    return app.Run();
}
