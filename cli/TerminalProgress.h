#pragma once

#include "LoadProgress.h"

#include <chrono>

// A progress line on standard error while a scan of more than a second runs
// in a terminal; nothing at all when standard error is not a terminal.
class CTerminalProgress final : public ILoadProgress {
public:
    CTerminalProgress();
    ~CTerminalProgress() override;
    CTerminalProgress(const CTerminalProgress&) = delete;
    CTerminalProgress& operator=(const CTerminalProgress&) = delete;

    void ShowStatusText(const std::string& text) override;
    void ShowFileProgress(std::size_t done, std::size_t total) override;

private:
    using Clock = std::chrono::steady_clock;

    bool m_bTerminal;
    bool m_bShown = false;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
