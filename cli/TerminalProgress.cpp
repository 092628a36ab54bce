#include "TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

CTerminalProgress::CTerminalProgress()
    : m_bTerminal(::isatty(STDERR_FILENO) == 1), m_start(Clock::now()), m_lastDraw(m_start) {}

CTerminalProgress::~CTerminalProgress() {
    if (m_bShown)
        std::fputs("\r\033[K", stderr); // leave a clean line for what follows
}

void CTerminalProgress::ShowStatusText(const std::string& /*text*/) {}

void CTerminalProgress::ShowFileProgress(std::size_t done, std::size_t total) {
    if (!m_bTerminal)
        return;
    const auto now = Clock::now();
    if (now - m_start < std::chrono::seconds(1) ||
        (m_bShown && now - m_lastDraw < std::chrono::milliseconds(100) && done != total))
        return;
    std::fprintf(stderr, "\rScanning: %zu of %zu files (%zu%%)", done, total,
                 total == 0 ? std::size_t{100} : done * 100 / total);
    std::fflush(stderr);
    m_bShown = true;
    m_lastDraw = now;
}
