#pragma once

#include <QPointer>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

class QWidget;

// Keeps the child controls of a resizable host in place as the host changes
// size. Each registered control remembers its rectangle at registration and
// how far (in percent of the host's growth) each of its edges follows; every
// layout is computed from those, never from where the controls are now. While
// the host is smaller than at initialisation the controls keep their
// reference geometry and reach beyond the host instead of shrinking.
class cdxCDynamicControlsManager {
public:
    // Left, top, right, bottom in the host's coordinates; right and bottom are
    // one past the last pixel.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
        friend bool operator==(const Rect&, const Rect&) = default;
    };

    // How far each edge follows the host's size change: 100 = fully.
    struct MovePercentages {
        std::uint8_t m_nLeft = 0;
        std::uint8_t m_nRight = 0;
        std::uint8_t m_nTop = 0;
        std::uint8_t m_nBottom = 0;
        friend bool operator==(const MovePercentages&, const MovePercentages&) = default;
    };

    class ControlData;

    // One window attached to a position record.
    class ControlEntry final {
    public:
        ControlEntry(ControlData& owner, QWidget* pWindow) : m_owner(owner), m_pWindow(pWindow) {}
        ControlData& m_owner;
        QPointer<QWidget> m_pWindow; // becomes null when the window is destroyed
    };

    // A position that one or more windows share.
    class ControlPosition {
    public:
        virtual ~ControlPosition() = default;
        virtual bool IsUsed() const = 0;
        virtual ControlEntry* AddWindow(QWidget* pWindow) = 0;
    };

    class ControlData final : public ControlPosition {
    public:
        ControlData(cdxCDynamicControlsManager& manager, QWidget* pWindow,
                    const MovePercentages& percentages);

        bool IsUsed() const override { return !m_listWindows.empty(); }
        ControlEntry* AddWindow(QWidget* pWindow) override;

        // The rectangle for a host grown by dx and dy over its base size.
        Rect Layout(int dx, int dy) const;

        cdxCDynamicControlsManager& m_manager;
        std::list<std::unique_ptr<ControlEntry>> m_listWindows; // most recently attached first
        MovePercentages m_percentages;
        Rect m_rectReference;
    };

    cdxCDynamicControlsManager() = default;
    // Not ReleaseLayout: OnControlDataRemoved could reach no override from
    // here. The host's destructor calls it; the records go with the members.
    virtual ~cdxCDynamicControlsManager() = default;
    cdxCDynamicControlsManager(const cdxCDynamicControlsManager&) = delete;
    cdxCDynamicControlsManager& operator=(const cdxCDynamicControlsManager&) = delete;

    // Binds the manager to `pHost` and takes its sizes now as the base.
    void InitLayout(QWidget* pHost);
    // Binds to a host of these rectangles without asking a window system.
    void InitLayout(QWidget* pHost, const Rect& window, const Rect& client);

    virtual ControlData* AddControl(QWidget* pWindow, const MovePercentages& percentages);
    ControlData* AddSizedControl(QWidget* pWindow, std::uint8_t left, std::uint8_t right,
                                 std::uint8_t top, std::uint8_t bottom);

    static constexpr int kSizeMinimized = 1;
    // To be called after the host has been resized.
    void OnParentSize(int nType, int cx, int cy);

    // The rectangle of every attached window that still exists, for a host
    // with window rectangle `window` and client rectangle `client`.
    std::vector<std::pair<QWidget*, Rect>> ComputeLayout(const Rect& window,
                                                         const Rect& client) const;
    // Computes and applies the layout; repaints the host when `bRedraw`.
    void ApplyLayout(const Rect& window, const Rect& client, bool bRedraw);

    virtual void OnControlDataRemoved(ControlData& data) { (void)data; }
    void ReleaseLayout();

    static Rect WindowRect(const QWidget& widget);
    static Rect ClientRect(const QWidget& widget);

protected:
    std::list<std::unique_ptr<ControlData>> m_listControls; // most recently added first
    QPointer<QWidget> m_pHost;
    int m_nBaseClientWidth = 0;
    int m_nBaseClientHeight = 0;
    int m_nMinWindowWidth = 0;
    int m_nMinWindowHeight = 0;
};
