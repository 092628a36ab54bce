// The layout manager: the arithmetic from reference rectangles, the minimum
// size, and the records that windows share.

#include "DynamicControlsManager.h"

#include <QTest>
#include <QWidget>
#include <memory>
#include <optional>

using Manager = cdxCDynamicControlsManager;
using Rect = Manager::Rect;
using Percent = Manager::MovePercentages;
Q_DECLARE_METATYPE(Rect)
Q_DECLARE_METATYPE(Percent)

namespace {

// The host at initialisation: 20 pixels of frame across, 30 down.
const Rect kWindow{0, 0, 420, 330}, kClient{0, 0, 400, 300}, kReference{10, 10, 110, 60};

// A client area `dx` wider and `dy` taller than the base, with the same frame.
std::pair<Rect, Rect> Grown(int dx, int dy) {
    return {{0, 0, 420 + dx, 330 + dy}, {0, 0, 400 + dx, 300 + dy}};
}

QRect ToQRect(const Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

} // namespace

class LayoutManagerTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheHost_data() {
        QTest::addColumn<Percent>("percent");
        QTest::addColumn<QSize>("base"); // invalid: the host's own size
        QTest::addColumn<Rect>("window");
        QTest::addColumn<Rect>("client");
        QTest::addColumn<Rect>("expected");
        const auto row = [](const char* name, Percent p, std::pair<Rect, Rect> host, Rect expected,
                            QSize base = {}) {
            QTest::newRow(name) << p << base << host.first << host.second << expected;
        };
        const Percent stretch{0, 100, 0, 100}, corner{100, 100, 100, 100};
        row("base size again", corner, Grown(0, 0), kReference);
        row("base size, window moved", stretch, {{50, 70, 470, 400}, kClient}, kReference);
        row("grown, stretched", stretch, Grown(37, 20), {10, 10, 147, 80});
        row("grown, moved with the corner", corner, Grown(37, 20), {47, 30, 147, 80});
        row("shrunk below the initial size", stretch, Grown(-120, -130), kReference);
        row("shrunk width, grown height", stretch, Grown(-120, 20), {10, 10, 110, 80});
        row("right 50% of +3", {0, 50, 0, 0}, Grown(3, 0), {10, 10, 111, 60});
        // The frame grew (a scroll bar): the client is 3 narrower than the base.
        row("right 50% of -3", {0, 50, 0, 0}, {kWindow, {0, 0, 397, 300}}, {10, 10, 109, 60});
        row("base size given", stretch, Grown(0, 0), {10, 10, 130, 70}, {380, 290});
        // The minimum outer size follows the base: 400 by 320 here.
        row("base size given, shrunk below it", stretch, {{0, 0, 390, 310}, {0, 0, 370, 280}},
            kReference, {380, 290});
    }
    void layoutFollowsTheHost() {
        QFETCH(Percent, percent);
        QFETCH(QSize, base);
        QFETCH(Rect, window);
        QFETCH(Rect, client);
        QFETCH(Rect, expected);
        QWidget host, control(&host);
        control.setGeometry(ToQRect(kReference));
        Manager manager;
        std::optional<std::pair<int, int>> baseSize;
        if (base.isValid())
            baseSize.emplace(base.width(), base.height());
        manager.InitLayout(&host, kWindow, kClient, baseSize);
        QVERIFY(manager.AddControl(&control, percent) != nullptr);
        const auto layout = manager.ComputeLayout(window, client);
        QCOMPARE(layout.size(), 1u);
        QCOMPARE(layout[0].first, &control);
        QCOMPARE(ToQRect(layout[0].second), ToQRect(expected));
    }

    // Steps: '+' Disable, '-' Enable(false), '!' Enable(true). Then the host
    // grows by 50 and reports it with `type`.
    void sizeMessages_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("lastEnable");
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("restored") << "" << 0 << false << true;
        QTest::newRow("minimised") << "" << Manager::kSizeMinimized << false << false;
        QTest::newRow("disabled") << "+" << 0 << false << false;
        QTest::newRow("twice, enabled once") << "++-" << 0 << false << false;
        QTest::newRow("twice, enabled twice") << "++--" << 0 << true << true;
        QTest::newRow("twice, forced") << "++!" << 0 << true << true;
        QTest::newRow("enabled without disable") << "-" << 0 << false << true;
        QTest::newRow("below zero, then disabled") << "-+" << 0 << false << true;
    }
    void sizeMessages() {
        QFETCH(QString, steps);
        QFETCH(int, type);
        QFETCH(bool, lastEnable);
        QFETCH(bool, laidOut);
        QWidget host, control(&host);
        host.resize(400, 300);
        control.setGeometry(ToQRect(kReference));
        Manager manager;
        manager.InitLayout(&host);
        manager.AddSizedControl(&control, 0, 100, 0, 100);
        bool enabled = false;
        for (const QChar step : steps) {
            if (step == '+')
                manager.Disable();
            else
                enabled = manager.Enable(step == '!');
        }
        QCOMPARE(enabled, lastEnable);
        QCOMPARE(manager.IsDisabled(), !laidOut && type != Manager::kSizeMinimized);
        host.resize(450, 300);
        manager.OnParentSize(type, 450, 300);
        QCOMPARE(control.geometry(), laidOut ? QRect(10, 10, 150, 50) : ToQRect(kReference));
    }

    // Windows that share a record get one rectangle; destroyed ones are
    // skipped, also when they were the only window of their record.
    void sharedAndDestroyedWindows() {
        QWidget host, first(&host), second(&host), alone(&host);
        auto gone = std::make_unique<QWidget>(&host);
        auto goneAlone = std::make_unique<QWidget>(&host);
        first.setGeometry(ToQRect(kReference));
        second.setGeometry(200, 200, 5, 5);
        alone.setGeometry(0, 0, 10, 10);
        Manager manager;
        manager.InitLayout(&host, kWindow, kClient);
        Manager::ControlData* shared = manager.AddSizedControl(&first, 0, 100, 0, 100);
        QVERIFY(shared != nullptr);
        shared->AddWindow(gone.get());
        shared->AddWindow(&second);
        QCOMPARE(ToQRect(shared->GetCurrentRect()), second.geometry()); // the last attached
        manager.AddSizedControl(&alone, 100, 100, 0, 0);
        manager.AddSizedControl(goneAlone.get(), 0, 100, 0, 100);
        gone.reset();
        goneAlone.reset();

        const auto [window, client] = Grown(37, 20);
        const auto layout = manager.ComputeLayout(window, client);
        QCOMPARE(layout.size(), 3u);
        for (const auto& [pWindow, rect] : layout)
            QCOMPARE(ToQRect(rect),
                     pWindow == &alone ? QRect(37, 0, 10, 10) : QRect(10, 10, 137, 70));
        manager.ApplyLayout(window, client, true);
        QCOMPARE(second.geometry(), first.geometry());
    }

    void modifyRejectsInvertedValues_data() {
        QTest::addColumn<Rect>("rect");
        QTest::addColumn<Percent>("percent");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid") << Rect{1, 2, 3, 4} << Percent{10, 20, 30, 40} << true;
        QTest::newRow("empty, equal %") << Rect{5, 5, 5, 5} << Percent{50, 50, 0, 0} << true;
        QTest::newRow("negative") << Rect{-10, -9, -5, -1} << Percent{} << true;
        QTest::newRow("left beyond right") << Rect{-5, 0, -10, 4} << Percent{} << false;
        QTest::newRow("top beyond bottom") << Rect{0, 4, 3, 2} << Percent{} << false;
        QTest::newRow("left% beyond right%") << Rect{} << Percent{200, 100, 0, 0} << false;
        QTest::newRow("top% beyond bottom%") << Rect{} << Percent{0, 0, 255, 254} << false;
    }
    void modifyRejectsInvertedValues() {
        QFETCH(Rect, rect);
        QFETCH(Percent, percent);
        QFETCH(bool, accepted);
        QWidget host, control(&host);
        control.setGeometry(ToQRect(kReference));
        Manager manager;
        Manager::ControlData* data = manager.AddControl(&control, {0, 100, 0, 100});
        QVERIFY(data != nullptr);
        QCOMPARE(data->Modify(rect, percent), accepted);
        QCOMPARE(ToQRect(data->GetReferenceRect()), ToQRect(accepted ? rect : kReference));
        QVERIFY(data->GetPercentages() == (accepted ? percent : Percent{0, 100, 0, 100}));
    }
};

QTEST_MAIN(LayoutManagerTest)
#include "LayoutManagerTest.moc"
