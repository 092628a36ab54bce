#include "GlossCutterOptions.h"

#include "KeepPatterns.h"

#include <QString>
#include <algorithm>

CGlossCutterOptions theOptions;

namespace {

const QString kKeywordFile = QStringLiteral("keyword file");
const QString kEditor = QStringLiteral("editor");
const QString kOperation = QStringLiteral("unused keywords operation");
const QString kKeptSymbols = QStringLiteral("kept symbols");

// Value `index` of a subkey; any index may be written, only 0 to 7 are read.
QString Slot(const char* subkey, int index) {
    return QString::fromLatin1(subkey) + QLatin1Char('/') + QString::number(index);
}

} // namespace

int CGlossCutterOptions::GetKeywordFile(std::string& strPath) const {
    return ReadText(kKeywordFile, strPath, "");
}

int CGlossCutterOptions::SetKeywordFile(const std::string& strPath) {
    return WriteText(kKeywordFile, strPath);
}

int CGlossCutterOptions::GetSourceFolder(int nIndex, std::string& strFolder) const {
    return ReadText(Slot("source folder", nIndex), strFolder, "");
}

int CGlossCutterOptions::SetSourceFolder(int nIndex, const std::string& strFolder) {
    return WriteText(Slot("source folder", nIndex), strFolder);
}

int CGlossCutterOptions::GetSkippedFile(int nIndex, std::string& strPath) const {
    return ReadText(Slot("skipped file", nIndex), strPath, "");
}

int CGlossCutterOptions::SetSkippedFile(int nIndex, const std::string& strPath) {
    return WriteText(Slot("skipped file", nIndex), strPath);
}

int CGlossCutterOptions::GetEditor(std::string& strEditor) const {
    return ReadText(kEditor, strEditor, kDefaultEditor);
}

int CGlossCutterOptions::SetEditor(const std::string& strEditor) {
    return WriteText(kEditor, strEditor);
}

int CGlossCutterOptions::GetUnusedKeywordsOperation(std::uint32_t& nOperation) const {
    return ReadNumber(kOperation, nOperation, kDefaultOperation);
}

int CGlossCutterOptions::SetUnusedKeywordsOperation(std::uint32_t nOperation) {
    return WriteNumber(kOperation, nOperation);
}

int CGlossCutterOptions::GetKeptSymbols(std::string& strPatterns) const {
    return ReadText(kKeptSymbols, strPatterns, "");
}

int CGlossCutterOptions::SetKeptSymbols(const std::string& strPatterns) {
    return WriteText(kKeptSymbols, strPatterns);
}

COptionValues CGlossCutterOptions::ReadAll() const {
    COptionValues values;
    GetUnusedKeywordsOperation(values.m_nOperation);
    GetEditor(values.m_strEditor);
    GetKeywordFile(values.m_strKeywordFile);
    GetKeptSymbols(values.m_strKeptSymbols);
    for (int i = 0; i < static_cast<int>(kSlotCount); ++i) {
        std::string text;
        if (GetSourceFolder(i, text) == kSettingsOk && !text.empty())
            values.m_listSourceFolders.push_back(text);
        if (GetSkippedFile(i, text) == kSettingsOk && !text.empty())
            values.m_listSkippedFiles.push_back(text);
    }
    return values;
}

int CGlossCutterOptions::WriteAll(const COptionValues& values) {
    int status = kSettingsOk;
    const auto keep = [&status](int result) {
        if (status == kSettingsOk)
            status = result;
    };
    keep(SetUnusedKeywordsOperation(values.m_nOperation));
    keep(SetEditor(values.m_strEditor));
    keep(SetKeywordFile(values.m_strKeywordFile));
    const auto writeList = [&](const std::vector<std::string>& list, auto setter) {
        int i = 0;
        for (const auto& text : list)
            keep((this->*setter)(i++, text));
        for (; i < static_cast<int>(kSlotCount); ++i)
            keep((this->*setter)(i, std::string()));
    };
    writeList(values.m_listSourceFolders, &CGlossCutterOptions::SetSourceFolder);
    writeList(values.m_listSkippedFiles, &CGlossCutterOptions::SetSkippedFile);
    keep(SetKeptSymbols(values.m_strKeptSymbols));
    return status;
}

std::string CGlossCutterOptions::GetResolvedKeywordFile() const {
    std::string strPath;
    GetKeywordFile(strPath);
    return ResolvePath(strPath);
}

CLoadSettings CGlossCutterOptions::GetLoadSettings() const {
    const COptionValues values = ReadAll();
    CLoadSettings settings;
    settings.m_strKeywordFile = ResolvePath(values.m_strKeywordFile);
    const auto resolve = [this](const std::string& path) { return ResolvePath(path); };
    std::ranges::transform(values.m_listSourceFolders, settings.m_arrSourceFolders.begin(),
                           resolve);
    std::ranges::transform(values.m_listSkippedFiles, settings.m_arrSkippedFiles.begin(), resolve);
    settings.m_listKeptPatterns = SplitKeepPatterns(values.m_strKeptSymbols);
    if (!m_strBaseFolder.empty())
        settings.m_listUnscannedFiles.push_back(m_strKeyPath);
    return settings;
}
