// How long the keyword list takes to show, sort and scroll a large table:
// 50,000 keywords, one sort per column, each followed by painting a screen
// of rows; then how long the filter takes to answer a typed text. Run with
// QT_QPA_PLATFORM=offscreen where there is no display.

#include "GlossCutterDoc.h"
#include "GlossCutterView.h"
#include "KeywordTableModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

const std::string kFile = "src/file.c"; // the one file of every use

void Fill(CGlossCutterDoc& doc, int n) {
    std::mt19937 random(5);
    for (int k = 0; k < n; ++k) {
        auto keyword =
            std::make_unique<CKeyword>("gText" + std::to_string(random() % 1000000),
                                       "Value " + std::to_string(k), k + 1, random() % 10 == 0);
        for (int u = static_cast<int>(random() % 4); u > 0; --u)
            keyword->m_listUsed.emplace_back(kFile, u);
        doc.m_arrKeywords.push_back(std::move(keyword));
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CGlossCutterDoc doc;
    Fill(doc, 50000);
    CGlossCutterView view(doc);
    view.OnInitialUpdate();
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    for (const int column : {1, 2, 4}) {
        std::vector<double> sort;
        std::vector<double> scroll;
        for (int run = 0; run < 5; ++run) {
            auto start = Clock::now();
            view.OnColumnClick(column); // sort, reset the model, select row 0
            view.m_listKeywords->viewport()->repaint();
            sort.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            start = Clock::now();
            QScrollBar* bar = view.m_listKeywords->verticalScrollBar();
            for (int page = 0; page < 20; ++page) {
                bar->setValue(bar->maximum() * page / 19);
                view.m_listKeywords->viewport()->repaint();
            }
            scroll.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count() / 20);
        }
        std::printf("column %d: sort and show %.1f ms, scroll one page %.2f ms (medians of 5)\n",
                    column, Median(sort), Median(scroll));
    }
    // Each text as typed, one character more each time, then cleared.
    std::vector<double> filter;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        for (const char* text : {"V", "Va", "Val", "Value 1", "Value 12", ""}) {
            view.m_editFilter->setText(QString::fromLatin1(text));
            view.m_listKeywords->viewport()->repaint();
        }
        filter.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                         6);
    }
    std::printf("filter: one typed character %.1f ms (median of 5)\n", Median(filter));
    return 0;
}
