#include "app/main_app.h"

int main(int argc, char** argv) {
    quorvan::CMainApp app(argc, argv);
    return app.Run();
}
