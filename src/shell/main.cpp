// Kintra, The Analog Simulator: the desktop program.

#include "NativePath.h"
#include "OrventApp.h"
#include "blocks/Catalogue.h"

#include <QApplication>
#include <QStringList>
#include <clocale>
#include <csignal>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    COrventApp::SetApplicationIdentity();
    // The core reads and writes numbers with the C library, always with a full stop.
    std::setlocale(LC_NUMERIC, "C");
    RegisterBlockTypes();
    // Under a file-size limit a save then fails with EFBIG and says so, instead of killing the
    // program with every unsaved chart.
    std::signal(SIGXFSZ, SIG_IGN);

    // The file names as given, byte for byte (Qt has taken its own options out of argv).
    QStringList paths;
    for (int i = 1; i < argc; ++i)
        paths << PathFromNative(argv[i]);
    int result = 1;
    {
        COrventApp app;
        if (!app.InitInstance(paths)) return 1;
        result = QApplication::exec();
        app.ExitInstance();
    }
    return result;
}
