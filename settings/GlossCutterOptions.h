#pragma once

#include "AppOptions.h"
#include "LoadSettings.h"

#include <cstdint>
#include <string>
#include <vector>

// Every setting at once, as the Options dialog edits them. The lists hold the
// non-empty slots in slot order.
struct COptionValues {
    std::uint32_t m_nOperation = 1;
    std::string m_strEditor;
    std::string m_strKeywordFile;
    std::vector<std::string> m_listSourceFolders;
    std::vector<std::string> m_listSkippedFiles;
};

// The program's settings, one accessor pair each. Every accessor returns the
// status of the store (kSettingsOk on success); a read that fails gives the
// setting's default.
class CGlossCutterOptions final : public CAppOptions {
public:
    static constexpr int kSlotCount = 8; // source folders and skipped files: slots 0 to 7
    static constexpr const char* kDefaultEditor = "Notepad";
    static constexpr std::uint32_t kDefaultOperation = 1; // Mark

    int GetKeywordFile(std::string& strPath) const;
    int SetKeywordFile(const std::string& strPath);
    int GetSourceFolder(int nIndex, std::string& strFolder) const;
    int SetSourceFolder(int nIndex, const std::string& strFolder);
    int GetSkippedFile(int nIndex, std::string& strPath) const;
    int SetSkippedFile(int nIndex, const std::string& strPath);
    int GetEditor(std::string& strEditor) const;
    int SetEditor(const std::string& strEditor);
    int GetUnusedKeywordsOperation(std::uint32_t& nOperation) const;
    int SetUnusedKeywordsOperation(std::uint32_t nOperation);

    COptionValues ReadAll() const;

    // Writes in this order: operation, editor, keyword file, then the source
    // folders from slot 0 on and an empty text in every slot after them up to
    // 7, then the skipped files the same way. Returns the first failure.
    int WriteAll(const COptionValues& values);

    // What a load reads, all at once.
    CLoadSettings GetLoadSettings() const;
};

// The settings of this run; OpenSettingsKey is called at start-up.
extern CGlossCutterOptions theOptions;

// "SOFTWARE\<company>\<product>", the settings key of a program.
std::string SettingsKeyPath(const std::string& strCompany, const std::string& strProduct);
