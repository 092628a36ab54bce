#include "LoadRelay.h"

void CLoadRelay::ShowStatusText(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    m_strText = text;
    m_bTextChanged = true;
}

void CLoadRelay::ShowFileProgress(std::size_t done, std::size_t total) {
    m_nTotal = total;
    m_nDone = done;
}

std::string CLoadRelay::TakeStatusText() {
    const std::lock_guard lock(m_mutex);
    if (!m_bTextChanged)
        return {};
    m_bTextChanged = false;
    return m_strText;
}
