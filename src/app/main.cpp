#include "app/main_app.h"

int main(int argc, char** argv) {
    if (const int status = quorvan::AnswerWithoutWindow(argc, argv); status >= 0) {
        return status;
    }
    quorvan::CMainApp app(argc, argv);
    return app.Run();
}
