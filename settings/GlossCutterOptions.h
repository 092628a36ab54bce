#pragma once

#include "AppOptions.h"
#include "LoadSettings.h"
#include "Wipe.h"

#include <cstdint>
#include <string>
#include <vector>

// Every setting at once: what the Options dialog is given and hands back,
// and what the store reads and writes as a whole. The lists hold the
// non-empty slots in slot order.
struct COptionValues {
    std::uint32_t m_nOperation = WIPE_MARK;
    std::string m_strEditor;
    std::string m_strKeywordFile;
    std::vector<std::string> m_listSourceFolders;
    std::vector<std::string> m_listSkippedFiles;
    std::string m_strKeptSymbols{}; // globs, separated by blanks (KeepPatterns.h)
};

// The program's settings, one accessor pair each. Every accessor returns the
// status of the store (kSettingsOk on success); a read that fails gives the
// setting's default. Source folders and skipped files have kSlotCount slots.
class CGlossCutterOptions final : public CAppOptions {
public:
    static constexpr const char* kDefaultEditor = "Notepad";
    static constexpr std::uint32_t kDefaultOperation = WIPE_MARK;

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
    int GetKeptSymbols(std::string& strPatterns) const;
    int SetKeptSymbols(const std::string& strPatterns);

    // Every setting; a slot that cannot be read counts as empty.
    COptionValues ReadAll() const;

    // Writes in this order: operation, editor, keyword file, then the source
    // folders from slot 0 on and an empty text in every slot after them up to
    // the last, then the skipped files the same way, then the kept symbols.
    // Returns the first failure.
    int WriteAll(const COptionValues& values);

    // The keyword file as a load reads it: a relative path resolved.
    std::string GetResolvedKeywordFile() const;

    // What a load reads, all at once, with relative paths resolved.
    CLoadSettings GetLoadSettings() const;
};

// The settings of this run; OpenSettingsKey is called at start-up.
extern CGlossCutterOptions theOptions;
