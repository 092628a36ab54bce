// glosscutter: the desktop program.

#include "ByteText.h"
#include "GlossCutterApp.h"
#include "GlossCutterView.h"
#include "LargeHeapPages.h"
#include "MainFrame.h"
#include "MiniDialog.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <csignal>

int main(int argc, char** argv) {
    // A file size limit then fails a write with an error the program reports.
    std::signal(SIGXFSZ, SIG_IGN);
    UseLargeHeapPages();
    QApplication application(argc, argv);
    QApplication::setApplicationName(FromBytes(LoadString(AFX_IDS_APP_TITLE)));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds the unused texts of a C header of text constants."));
    parser.addHelpOption();
    const QCommandLineOption load(QStringLiteral("load"),
                                  QStringLiteral("Load the keyword file at once, as Reload does."));
    const QCommandLineOption usedList(QStringLiteral("used-list"),
                                      QStringLiteral("Open the Used List window."));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Use FILE, such as a project's .glosscutter.conf, as the settings: Options "
                       "writes into it, and its relative paths are relative to its folder."),
        QStringLiteral("FILE"));
    parser.addOption(load);
    parser.addOption(usedList);
    parser.addOption(settings);
    parser.process(application);

    if (!theApp.InitInstance(ToBytes(parser.value(settings))))
        return 1;
    if (parser.isSet(load))
        theApp.GetMainFrame()->GetActiveView()->Reload();
    if (parser.isSet(usedList))
        theApp.GetMainFrame()->m_pUsedListWnd->Show(true);
    const int result = QApplication::exec();
    theApp.ExitInstance();
    return result;
}
