#pragma once

// Builders, folders and files of the tests and the fuzz targets.

#include "Keyword.h"
#include "KeywordFileReader.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace testing_tables {

inline CLineArray Lines(std::string_view text) {
    CLineArray lines;
    ReadLines(text, lines);
    return lines;
}

inline CKeywordArray ParseLines(const CLineArray& lines) {
    CKeywordArray table;
    ParseKeywordLines(lines, table);
    return table;
}

struct KeywordRow {
    std::string symbol;
    bool marked = false;
    int line = 1;
    int uses = 0;
};

// Each keyword's value is its row's index, so that an order can be read off.
// The file of the uses a test makes up; a use refers to a path stored elsewhere.
inline const std::string kSomeFile = "use.c";

inline CKeywordArray MakeTable(const std::vector<KeywordRow>& rows) {
    CKeywordArray table;
    for (const KeywordRow& row : rows) {
        table.push_back(std::make_unique<CKeyword>(row.symbol, std::to_string(table.size()),
                                                   row.line, row.marked));
        for (int i = 0; i < row.uses; ++i)
            table.back()->m_listUsed.emplace_back(kSomeFile, i + 1);
    }
    return table;
}

// The rows of a MakeTable table, in the table's present order.
inline std::vector<int> Order(const CKeywordArray& table) {
    std::vector<int> order;
    for (const auto& keyword : table)
        order.push_back(std::stoi(keyword->m_strValue));
    return order;
}

// The uses in `text` of a table sorted by symbol, scanned in one piece.
inline CSourceUseArray ScanText(const CKeywordArray& table, std::string_view text) {
    CSourceUseArray uses;
    const CSymbolIndex index(table);
    CSourceTokenizer tokenizer(index, uses);
    tokenizer.Feed(text);
    tokenizer.Finish();
    return uses;
}

// One keyword per string: "<line> <symbol>=<value>", with " marked" after the line.
inline std::vector<std::string> Describe(const CKeywordArray& table) {
    std::vector<std::string> keywords;
    for (const auto& k : table)
        keywords.push_back(std::to_string(k->m_nLine) + (k->m_bMarked ? " marked" : "") +
                           (k->m_bKept ? " kept " : " ") + k->m_strSymbol + "=" + k->m_strValue);
    return keywords;
}

// "<symbol> <file>:<line>" per use, keyword by keyword.
inline std::vector<std::string> UsesOf(const CKeywordArray& table) {
    std::vector<std::string> uses;
    for (const auto& k : table)
        for (const CUsed& use : k->m_listUsed)
            uses.push_back(k->m_strSymbol + " " + use.m_strFile.Get() + ":" +
                           std::to_string(use.m_nLine));
    return uses;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

using Files = std::map<std::string, std::string>;

// Every entry of a folder with its bytes, so that stray files and changes show in
// one comparison; a FIFO or a folder is never opened.
inline Files FolderFiles(const std::string& folder) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? ReadFile(entry.path().string()) : "<not a file>";
    return files;
}

// Becomes "nobody"; false if that fails. Only in a child that runs no other thread.
inline bool BecomeNobody() {
    // cppcheck-suppress getpwnamCalled
    const passwd* nobody = ::getpwnam("nobody"); // NOLINT(concurrency-mt-unsafe)
    return nobody != nullptr && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
}

// A fresh folder under the temp folder, removed with its content.
struct TempDir {
    std::string root = (std::filesystem::temp_directory_path() / "glosscutter-XXXXXX").string();
    TempDir() {
        if (::mkdtemp(root.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
    }
    // The tools walk any depth and first give back what a test locked away.
    ~TempDir() {
        const std::string quoted = "'" + root + "'"; // mkdtemp's name needs no escapes
        const std::string command = "chmod -R u+rwx " + quoted + " 2>/dev/null; rm -rf " + quoted;
        [[maybe_unused]] const int status = std::system(command.c_str()); // NOLINT(cert-env33-c)
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(std::string_view name) const { return root + "/" + std::string(name); }
    // Writes the file and the folders on its way; gives its path.
    std::string Put(std::string_view name, std::string_view bytes) const {
        std::filesystem::create_directories(std::filesystem::path(*this / name).parent_path());
        WriteFile(*this / name, bytes);
        return *this / name;
    }
};

} // namespace testing_tables
