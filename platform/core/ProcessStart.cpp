#include "ProcessStart.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

// POSIX leaves declaring it to the program; glibc has it only under _GNU_SOURCE.
extern char** environ; // NOLINT(readability-redundant-declaration)

namespace process {

bool StartDetached(const std::vector<std::string>& arguments, bool bSearchPath) {
    if (arguments.empty() || arguments[0].empty())
        return false;
    // posix_spawn takes char* const[]: copies it may point into.
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    argv.reserve(copies.size() + 1);
    for (auto& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = bSearchPath
                          ? ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                          : ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return false;
    // Someone has to wait for the child, or it stays a zombie until we exit.
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool SplitCommandLine(const std::string& line, std::vector<std::string>& arguments) {
    arguments.clear();
    std::string current;
    bool bInArgument = false;
    bool bQuoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (bQuoted) {
            if (c == '\\' && i + 1 < line.size() &&
                (line[i + 1] == '"' || line[i + 1] == '`' || line[i + 1] == '$' ||
                 line[i + 1] == '\\')) {
                current += line[++i];
            } else if (c == '"') {
                bQuoted = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (bInArgument)
                arguments.push_back(std::move(current));
            current.clear();
            bInArgument = false;
        } else if (c == '"') {
            bQuoted = true;
            bInArgument = true;
        } else {
            current += c;
            bInArgument = true;
        }
    }
    if (bQuoted)
        return false;
    if (bInArgument)
        arguments.push_back(std::move(current));
    return true;
}

} // namespace process
