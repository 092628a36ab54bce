// How long the window takes to load a tree, from Reload (F5) until the list
// shows its rows, against the same load with no window, as the command line
// runs it. Alternating runs, medians of RUNS.
//   window_load_bench KEYWORD_FILE FOLDER [RUNS=5]
// Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "GlossCutterView.h"
#include "KeywordFilterModel.h"
#include "LargeHeapPages.h"
#include "MainFrame.h"

#include <QApplication>
#include <QEventLoop>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    UseLargeHeapPages(); // as the program does
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_load_bench KEYWORD_FILE FOLDER [RUNS]\n");
        return 2;
    }
    const int nRuns = argc > 3 ? static_cast<int>(std::strtol(argv[3], nullptr, 10)) : 5;
    const QTemporaryDir settingsDir;
    theOptions.OpenSettingsFile(settingsDir.filePath(QStringLiteral("bench.conf")).toStdString());
    theOptions.SetKeywordFile(argv[1]);
    theOptions.SetSourceFolder(0, argv[2]);

    CGlossCutterDoc doc;
    auto* pView = new CGlossCutterView(doc);
    CMainFrame frame(pView);
    pView->OnInitialUpdate();
    frame.resize(1000, 700);
    frame.show();
    QApplication::processEvents();

    std::vector<double> window;
    std::vector<double> engine;
    std::size_t nRows = 0;
    for (int run = 0; run < nRuns; ++run) {
        QEventLoop shown;
        QObject::connect(pView, &CGlossCutterView::LoadFinished, &shown, &QEventLoop::quit);
        auto start = Clock::now();
        pView->Reload();
        shown.exec();
        pView->m_listKeywords->viewport()->repaint(); // the rows on the screen
        window.push_back(Seconds(start));
        nRows = static_cast<std::size_t>(pView->GetFilter()->rowCount());

        CGlossCutterDoc alone;
        start = Clock::now();
        (void)alone.Load(theOptions.GetLoadSettings());
        engine.push_back(Seconds(start));
    }
    std::printf("%zu rows: window, F5 until the list shows %.3f s; the load alone %.3f s; "
                "ratio %.2f (medians of %d)\n",
                nRows, Median(window), Median(engine), Median(window) / Median(engine), nRuns);
    return 0;
}
