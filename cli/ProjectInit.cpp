#include "ProjectInit.h"

#include "KeywordFileReader.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace {

namespace fs = std::filesystem;

bool IsHeader(const fs::path& path) {
    constexpr std::array<std::string_view, 5> kHeaderExtensions = {".h", ".hh", ".hpp", ".hxx",
                                                                   ".H"};
    return std::ranges::find(kHeaderExtensions, path.extension().string()) !=
           kHeaderExtensions.end();
}

std::size_t CountKeywords(const fs::path& path) {
    CKeywordArray table;
    CLineArray lines;
    if (ParseKeywordFile(path.string(), table, lines))
        return 0;
    return static_cast<std::size_t>(
        std::ranges::count_if(table, [](const auto& keyword) { return !keyword->m_bMarked; }));
}

// `text` as a value of the settings file: quoted, with the quote and the
// backslash escaped, as the store itself writes them.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string GuessKeywordFile(const std::string& strFolder) {
    std::error_code ec;
    fs::recursive_directory_iterator it(strFolder, fs::directory_options::skip_permission_denied,
                                        ec);
    std::string best;
    std::size_t nBest = 0;
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        if (path.filename().string().starts_with('.')) {
            if (it->is_directory(ec))
                it.disable_recursion_pending();
            continue;
        }
        if (!IsHeader(path) || !it->is_regular_file(ec))
            continue;
        const std::size_t count = CountKeywords(path);
        std::string relative = path.lexically_relative(strFolder).string();
        if (count > nBest || (count == nBest && count > 0 && relative < best)) {
            nBest = count;
            best = std::move(relative);
        }
    }
    return best;
}

std::string InitialProjectSettings(const std::string& strKeywordFile) {
    std::string text =
        "; GlossCutter's settings for this project. glosscutter-cli reads the first\n"
        "; .glosscutter.conf in its current folder or a folder above it, and\n"
        "; glosscutter --settings FILE reads and writes this one. The user's own\n"
        "; settings are not read then: a key left out takes its default. Relative\n"
        "; paths are relative to this file's folder, and options given on the\n"
        "; command line win over the keys here.\n"
        "\n"
        "[General]\n"
        "; The header of text constants, #define sName \"Text\" lines.\n";
    text += strKeywordFile.empty() ? ";keyword%20file=include/texts.h\n"
                                   : "keyword%20file=" + Quoted(strKeywordFile) + "\n";
    text += "; What a wipe does with unused keywords: 1 comments them out, 2 deletes them.\n"
            "unused%20keywords%20operation=1\n"
            "; Symbols never to report or wipe: patterns with * and ?, separated by blanks.\n"
            ";kept%20symbols=gDebug* gTest*\n"
            "; The window's editor: a program, or a command with %f for the file and %l\n"
            "; for the line.\n"
            ";editor=\"gedit +%l %f\"\n"
            "\n"
            "; Up to eight folders to scan with their subfolders, 0 to 7.\n"
            "[source%20folder]\n"
            "0=.\n"
            "\n"
            "; Up to eight files not to scan, 0 to 7.\n"
            "[skipped%20file]\n"
            ";0=src/generated.c\n";
    return text;
}
