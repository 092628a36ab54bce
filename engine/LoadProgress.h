#pragma once

#include <cstddef>
#include <string>

// What a load tells whoever started it, and how it learns that it should
// stop. Every call but IsCancelled comes from the thread that runs the load.
class ILoadProgress {
public:
    virtual ~ILoadProgress() = default;

    // A status text: what the load is doing now, or the idle text when done.
    virtual void ShowStatusText(const std::string& text) = 0;

    // `done` of `total` source files scanned, once the walk has found them all.
    virtual void ShowFileProgress(std::size_t done, std::size_t total) {
        (void)done;
        (void)total;
    }

    // Asked between files, and between the read pieces of a file on the
    // threads that scan them (so it must be safe to call from any thread);
    // true stops the load as soon as it can.
    virtual bool IsCancelled() { return false; }
};
