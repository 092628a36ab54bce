#include "ProcessStart.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace process {

bool StartDetached(const std::vector<std::string>& arguments, bool bSearchPath) {
    if (arguments.empty() || arguments[0].empty())
        return false;
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
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
