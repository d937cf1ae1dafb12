#include "Application.h"
#include "ClientProcess.h"

#include <QApplication>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
[[noreturn]] void terminateNow(int code) {
    // The client does no work at exit: end without running any destructor.
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), UINT(code));
#endif
    std::_Exit(code);
}
} // namespace

int main(int argc, char* argv[]) {
    ClientProcess::prepare();
    auto* app = new QApplication(argc, argv); // never destroyed: the process ends by itself
    ClientProcess::settle();
    Application application;
    application.start();
    app->exec();
    terminateNow(0);
}
