// glosscutter: the desktop program.

#include "GlossCutterApp.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QApplication>
#include <csignal>

int main(int argc, char** argv) {
    // A file size limit then fails a write with an error the program reports.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(LoadString(AFX_IDS_APP_TITLE)));
    if (!theApp.InitInstance())
        return 1;
    const int result = QApplication::exec();
    theApp.ExitInstance();
    return result;
}
