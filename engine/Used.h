#pragma once

#include <string>

// One place where a keyword's symbol occurs in a source file.
class CUsed final {
public:
    CUsed(std::string strFile, int nLine) : m_strFile(std::move(strFile)), m_nLine(nLine) {}

    std::string m_strFile; // the source file's path, exactly as the folder walk formed it
    int m_nLine;           // 1-based, counted as ReadLines counts lines
};
