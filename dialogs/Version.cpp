#include "Version.h"

#include "VersionBlock.h"
#include "VersionQuery.h"

#include <cstdio>
#include <cstring>
#include <string_view>

CxVersion::CxVersion()
    : CxVersion(GetFileVersionInfoSize(GetModuleFileName()) != 0
                    ? GetFileVersionInfo(GetModuleFileName())
                    : nullptr) {}

CxVersion::CxVersion(const CVersionBlock* pBlock) {
    if (pBlock != nullptr)
        Read(*pBlock);
}

void CxVersion::Read(const CVersionBlock& block) {
    const void* pBuffer = nullptr;
    std::uint32_t nLength = 0;
    if (!VerQueryValue(block, "\\VarFileInfo\\Translation", &pBuffer, &nLength))
        return;
    m_nCount = static_cast<int>(nLength / 4);
    if (m_nCount == 0)
        return;
    std::vector<std::uint16_t> translations(2 * static_cast<std::size_t>(m_nCount));
    std::memcpy(translations.data(), pBuffer, translations.size() * sizeof(std::uint16_t));

    // The fixed numbers belong to the whole block: every record shows them.
    CFixedFileInfo fixed;
    if (VerQueryValue(block, "\\", &pBuffer, &nLength) && nLength == sizeof fixed)
        std::memcpy(&fixed, pBuffer, sizeof fixed);
    const auto part = [](std::uint32_t value, bool bHigh) {
        return static_cast<int>((bHigh ? value >> 16 : value) & 0xF); // modulo 16
    };
    const int nFirst = part(fixed.dwProductVersionMS, true);
    const int nSecond =
        10 * part(fixed.dwProductVersionLS, true) + part(fixed.dwProductVersionLS, false);
    const int nThird = part(fixed.dwFileVersionMS, true);
    const int nFourth = 10 * part(fixed.dwFileVersionLS, true) + part(fixed.dwFileVersionLS, false);
    char version[64];
    std::snprintf(version, sizeof version, "%d.%d.%d.%d", nFirst, nSecond, nThird, nFourth);

    for (int k = 0; k < m_nCount; ++k) {
        auto info = std::make_unique<CxVersionInfo>();
        const std::pair<const char*, std::string*> keys[] = {
            {"Comments", &info->m_strComments},
            {"CompanyName", &info->m_strCompanyName},
            {"FileDescription", &info->m_strFileDescription},
            {"FileVersion", &info->m_strFileVersion},
            {"InternalName", &info->m_strInternalName},
            {"LegalCopyright", &info->m_strLegalCopyright},
            {"LegalTrademarks", &info->m_strLegalTrademarks},
            {"OriginalFilename", &info->m_strOriginalFilename},
            {"PrivateBuild", &info->m_strPrivateBuild},
            {"ProductName", &info->m_strProductName},
            {"ProductVersion", &info->m_strProductVersion},
            {"SpecialBuild", &info->m_strSpecialBuild}};
        char path[128];
        for (const auto& [key, text] : keys) {
            std::snprintf(path, sizeof path, R"(\StringFileInfo\%04x%04x\%s)",
                          translations[2 * static_cast<std::size_t>(k)],
                          translations[2 * static_cast<std::size_t>(k) + 1], key);
            if (VerQueryValue(block, path, &pBuffer, &nLength))
                text->assign(static_cast<const char*>(pBuffer), nLength);
        }
        info->m_strVersion = version;
        info->m_nMajor = nFirst;
        info->m_nMinor = nSecond;
        m_arrInfo.push_back(std::move(info));
    }
}
