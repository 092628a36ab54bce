#include "DynamicControlsManager.h"

#include <QWidget>

using Rect = cdxCDynamicControlsManager::Rect;

Rect cdxCDynamicControlsManager::WindowRect(const QWidget& widget) {
    const QRect frame = widget.frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

Rect cdxCDynamicControlsManager::ClientRect(const QWidget& widget) {
    return {0, 0, widget.width(), widget.height()};
}

namespace {

Rect NormalRect(const QWidget& widget) {
    const QRect g = widget.geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

} // namespace

cdxCDynamicControlsManager::ControlData::ControlData(cdxCDynamicControlsManager& manager,
                                                     QWidget* pWindow,
                                                     const MovePercentages& percentages)
    : m_manager(manager), m_percentages(percentages), m_rectReference(NormalRect(*pWindow)) {
    AddWindow(pWindow);
}

cdxCDynamicControlsManager::ControlEntry*
cdxCDynamicControlsManager::ControlData::AddWindow(QWidget* pWindow) {
    m_listWindows.push_front(std::make_unique<ControlEntry>(*this, pWindow));
    return m_listWindows.front().get();
}

Rect cdxCDynamicControlsManager::ControlData::Layout(int dx, int dy) const {
    // Signed products of the unsigned percentage and the delta; the division
    // truncates toward zero, so -150 / 100 is -1.
    const auto move = [](std::uint8_t percent, int delta) {
        return static_cast<int>(percent) * delta / 100;
    };
    const Rect& o = m_rectReference;
    return {o.left + move(m_percentages.m_nLeft, dx), o.top + move(m_percentages.m_nTop, dy),
            o.right + move(m_percentages.m_nRight, dx),
            o.bottom + move(m_percentages.m_nBottom, dy)};
}

void cdxCDynamicControlsManager::InitLayout(QWidget* pHost) {
    InitLayout(pHost, WindowRect(*pHost), ClientRect(*pHost));
}

void cdxCDynamicControlsManager::InitLayout(QWidget* pHost, const Rect& window,
                                            const Rect& client) {
    m_pHost = pHost;
    m_nBaseClientWidth = client.Width();
    m_nBaseClientHeight = client.Height();
    m_nMinWindowWidth = window.Width();
    m_nMinWindowHeight = window.Height();
}

cdxCDynamicControlsManager::ControlData*
cdxCDynamicControlsManager::AddControl(QWidget* pWindow, const MovePercentages& percentages) {
    if (pWindow == nullptr)
        return nullptr;
    m_listControls.push_front(std::make_unique<ControlData>(*this, pWindow, percentages));
    return m_listControls.front().get();
}

cdxCDynamicControlsManager::ControlData*
cdxCDynamicControlsManager::AddSizedControl(QWidget* pWindow, std::uint8_t left, std::uint8_t right,
                                            std::uint8_t top, std::uint8_t bottom) {
    return AddControl(pWindow, {left, right, top, bottom});
}

void cdxCDynamicControlsManager::OnParentSize(int nType, int /*cx*/, int /*cy*/) {
    if (m_pHost == nullptr || nType == kSizeMinimized)
        return;
    ApplyLayout(WindowRect(*m_pHost), ClientRect(*m_pHost), true);
}

std::vector<std::pair<QWidget*, Rect>>
cdxCDynamicControlsManager::ComputeLayout(const Rect& window, const Rect& client) const {
    // Below the minimum size the controls act as if the host had that size.
    int right = client.right;
    if (window.Width() < m_nMinWindowWidth)
        right += m_nMinWindowWidth - window.Width();
    int bottom = client.bottom;
    if (window.Height() < m_nMinWindowHeight)
        bottom += m_nMinWindowHeight - window.Height();
    const int dx = right - m_nBaseClientWidth - client.left;
    const int dy = bottom - m_nBaseClientHeight - client.top;

    std::vector<std::pair<QWidget*, Rect>> layout;
    for (const auto& data : m_listControls) {
        if (!data->IsUsed())
            continue;
        const Rect rect = data->Layout(dx, dy);
        for (const auto& entry : data->m_listWindows) {
            if (entry->m_pWindow != nullptr)
                layout.emplace_back(entry->m_pWindow.data(), rect);
        }
    }
    return layout;
}

void cdxCDynamicControlsManager::ApplyLayout(const Rect& window, const Rect& client, bool bRedraw) {
    for (const auto& [pWindow, rect] : ComputeLayout(window, client))
        pWindow->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    if (bRedraw && m_pHost != nullptr && m_pHost->isVisible())
        m_pHost->repaint();
}

void cdxCDynamicControlsManager::ReleaseLayout() {
    while (!m_listControls.empty()) {
        OnControlDataRemoved(*m_listControls.front());
        m_listControls.pop_front();
    }
    m_pHost = nullptr;
}
