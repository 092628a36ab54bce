#pragma once

#include <string>

// The texts of one translation of a program's version information.
struct CxVersionInfo {
    std::string m_strComments;
    std::string m_strCompanyName;
    std::string m_strFileDescription;
    std::string m_strFileVersion;
    std::string m_strInternalName;
    std::string m_strLegalCopyright;
    std::string m_strLegalTrademarks;
    std::string m_strOriginalFilename;
    std::string m_strPrivateBuild;
    std::string m_strProductName;
    std::string m_strProductVersion;
    std::string m_strSpecialBuild;
    std::string m_strVersion; // "major.minor.x.y", from the fixed version numbers
    int m_nMinor = 0;
    int m_nMajor = 0;
};
