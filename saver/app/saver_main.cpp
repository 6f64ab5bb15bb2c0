// The saver module's entry: one application object for the life of the process.
#include "saver/app/saver_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vellora::SaverApp app;
    return app.Main();
}
