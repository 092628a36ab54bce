#pragma once

#include "LoadProgress.h"

#include <atomic>
#include <mutex>
#include <string>

// Carries a load's progress from its worker thread to the window. The worker
// only stores the latest text and counts; the window reads them a few times a
// second, so a load of many small files never floods the event loop.
class CLoadRelay final : public ILoadProgress {
public:
    void ShowStatusText(const std::string& text) override;
    void ShowFileProgress(std::size_t done, std::size_t total) override;
    bool IsCancelled() override { return m_bCancelled.load(); }

    // From the window: stop the load at the next file.
    void Cancel() { m_bCancelled = true; }

    // The latest status text, once: empty when it has not changed since.
    std::string TakeStatusText();
    std::size_t GetDone() const { return m_nDone.load(); }
    std::size_t GetTotal() const { return m_nTotal.load(); }

private:
    std::atomic<bool> m_bCancelled{false};
    std::atomic<std::size_t> m_nDone{0};
    std::atomic<std::size_t> m_nTotal{0};
    std::mutex m_mutex;
    std::string m_strText; // guarded by m_mutex
    bool m_bTextChanged = false;
};
