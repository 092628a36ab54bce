#pragma once

#include "UseKind.h"

#include <string>
#include <string_view>

// A source file's path as its uses refer to it. The path is stored once, in
// the list of files the load walked (CKeywordLoad::m_arrSourcePaths), and
// every use of the file points to it; the list must outlive the uses. A path
// given as a temporary would not, so none is accepted.
class CPathRef final {
public:
    // Implicit, so that a stored path is given wherever a use's file is asked for.
    // cppcheck-suppress noExplicitConstructor
    CPathRef(const std::string& path) : m_pPath(&path) {} // NOLINT(google-explicit-constructor)
    CPathRef(const std::string&& path) = delete;

    operator const std::string&() const { return *m_pPath; } // NOLINT(google-explicit-constructor)
    operator std::string_view() const { return *m_pPath; }   // NOLINT(google-explicit-constructor)
    const std::string& Get() const { return *m_pPath; }
    // Where the path is stored: within one list of walked files, the order of
    // these addresses is the walk order.
    const std::string* GetAddress() const { return m_pPath; }

private:
    const std::string* m_pPath;
};

// One place where a keyword's symbol occurs in a source file.
class CUsed final {
public:
    CUsed(CPathRef file, int nLine, UseKind kind = UseKind::Code)
        : m_strFile(file), m_nLine(nLine), m_kind(kind) {}

    CPathRef m_strFile; // the source file's path, exactly as the folder walk formed it
    int m_nLine;        // 1-based, counted as ReadLines counts lines
    UseKind m_kind;
    bool m_bOwnDefine = false; // the keyword's own define line, in the keyword file
};
