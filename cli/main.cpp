// glosscutter-cli: the keyword engine without a window, for scripts and CI.

#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "SourceWalk.h"
#include "UsageScanner.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kMaxSourceFolders = 8;
constexpr int kExitBadInput = 2;

constexpr std::string_view kUsage =
    "Usage: glosscutter-cli scan --keyword-file FILE --source-folder DIR...\n"
    "       glosscutter-cli --help | --version\n"
    "\n"
    "Reads the keyword file, scans every file under the source folders (up to\n"
    "eight) for each keyword's symbol and lists every keyword with its uses.\n";

struct CScanRequest {
    std::string m_strKeywordFile;
    std::vector<std::string> m_arrSourceFolders;
};

// An absolute path with no "." or ".." parts and no trailing "/"; links are
// not resolved, so paths read as the user wrote them.
std::string NormalisePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        absolute = path;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

int Fail(std::string_view message) {
    std::cerr << "glosscutter-cli: " << message << "\n";
    return kExitBadInput;
}

// Parses the options of "scan"; returns an error text, empty on success.
std::string ParseScanOptions(int argc, char** argv, CScanRequest& request) {
    for (int k = 2; k < argc; ++k) {
        std::string_view option = argv[k];
        std::string value;
        if (const auto eq = option.find('='); option.starts_with("--") && eq != option.npos) {
            value = option.substr(eq + 1);
            option = option.substr(0, eq);
        } else if (option == "--keyword-file" || option == "--source-folder") {
            if (k + 1 >= argc)
                return std::string(option) + " needs a value";
            value = argv[++k];
        }
        if (option == "--keyword-file") {
            request.m_strKeywordFile = value;
        } else if (option == "--source-folder") {
            if (value.empty())
                return "--source-folder needs a value";
            if (request.m_arrSourceFolders.size() == kMaxSourceFolders)
                return "at most eight source folders can be given";
            request.m_arrSourceFolders.push_back(NormalisePath(value));
        } else {
            return "unknown option: " + std::string(option);
        }
    }
    if (request.m_strKeywordFile.empty())
        return "--keyword-file is required";
    return {};
}

void PrintKeyword(const std::string& keywordFile, const CKeyword& keyword) {
    std::cout << keywordFile << ':' << keyword.m_nLine << ": " << keyword.m_strSymbol << " \""
              << keyword.m_strValue << "\": ";
    if (keyword.m_bMarked)
        std::cout << "marked\n";
    else if (keyword.m_listUsed.empty())
        std::cout << "unused\n";
    else
        std::cout << keyword.GetUsedCount() << (keyword.GetUsedCount() == 1 ? " use\n" : " uses\n");
    for (const CUsed& used : keyword.m_listUsed)
        std::cout << "    " << used.m_strFile << ':' << used.m_nLine << '\n';
}

int RunScan(const CScanRequest& request) {
    CKeywordArray table;
    if (const auto ec = ParseKeywordFile(request.m_strKeywordFile, table))
        return Fail("cannot read keyword file " + request.m_strKeywordFile + ": " + ec.message());

    SortKeywords(table, SORT_BY_SYMBOL, true);
    const CUsageScanner scanner(table);
    std::size_t nFiles = 0;
    CSourceUseArray uses;
    for (const auto& folder : request.m_arrSourceFolders) {
        std::vector<std::string> paths;
        CollectSourceFiles(folder, {}, paths);
        for (const auto& path : paths) {
            uses.clear();
            scanner.ScanFile(path, uses);
            CUsageScanner::AddUses(path, uses);
        }
        nFiles += paths.size();
    }
    SortKeywords(table, SORT_BY_LINE, true);

    std::size_t nUnused = 0;
    for (const auto& keyword : table) {
        PrintKeyword(request.m_strKeywordFile, *keyword);
        if (!keyword->m_bMarked && keyword->m_listUsed.empty())
            ++nUnused;
    }
    std::cout << table.size() << " keywords, " << nUnused << " unused, " << nFiles
              << " files scanned\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Fail("no command given; see --help");
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "GlossCutter Version " GLOSSCUTTER_VERSION "\n";
        return 0;
    }
    if (command != "scan")
        return Fail("unknown command: " + std::string(command) + "; see --help");

    CScanRequest request;
    if (const std::string error = ParseScanOptions(argc, argv, request); !error.empty())
        return Fail(error);
    return RunScan(request);
}
