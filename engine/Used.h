#pragma once

#include "UseKind.h"

#include <string>

// One place where a keyword's symbol occurs in a source file.
class CUsed final {
public:
    CUsed(std::string strFile, int nLine, UseKind kind = UseKind::Code)
        : m_strFile(std::move(strFile)), m_nLine(nLine), m_kind(kind) {}

    std::string m_strFile; // the source file's path, exactly as the folder walk formed it
    int m_nLine;           // 1-based, counted as ReadLines counts lines
    UseKind m_kind;
    bool m_bOwnDefine = false; // the keyword's own define line, in the keyword file
};
