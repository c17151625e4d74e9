// Kintra, The Analog Simulator: the desktop program.

#include "OrventApp.h"

#include <QApplication>
#include <QStringList>
#include <clocale>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    COrventApp::SetApplicationIdentity();
    // The core reads and writes numbers with the C library, always with a full stop.
    std::setlocale(LC_NUMERIC, "C");

    QStringList paths = QApplication::arguments();
    paths.removeFirst();
    int result = 1;
    {
        COrventApp app;
        if (!app.InitInstance(paths)) return 1;
        result = QApplication::exec();
        app.ExitInstance();
    }
    return result;
}
