#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QRadioButton;

// Every setting in one dialog: editor, keyword file, source folders, skipped
// files and what a wipe does. It reads the settings when it opens and never
// writes them; after OK the caller reads the results and stores them.
class CDlgOptions final : public QDialog {
    Q_OBJECT
public:
    explicit CDlgOptions(QWidget* pParent = nullptr);

    std::uint32_t GetOperation() const { return m_nOperation; }
    const std::string& GetKeywordFilePath() const { return m_strKeywordFile; }
    const std::string& GetEditorPath() const { return m_strEditor; }
    const std::vector<std::string>& GetSourceFolderList() const { return m_arrSourceFolders; }
    const std::vector<std::string>& GetSkippedFileList() const { return m_arrSkippedFiles; }

    // How a source folder is chosen: the folder picker, or what tests put here.
    using FolderChooser = std::function<std::optional<std::string>(const std::string& initial)>;
    static void SetFolderChooser(FolderChooser chooser);

    void OnBrowseKeywordFile();
    void OnBrowseEditor();
    void OnBrowseSourceFolder();
    void OnBrowseSkippedFile();
    void OnDeleteSourceFolder();
    void OnDeleteSkippedFile();
    void OnOK();

    QListWidget* m_lbSkippedFiles = nullptr;
    QListWidget* m_lbSourceFolders = nullptr;
    QLineEdit* m_pKeywordFileEdit = nullptr;
    QLineEdit* m_pEditorEdit = nullptr;
    QRadioButton* m_pRemove = nullptr;
    QRadioButton* m_pMark = nullptr;

    std::string m_strKeywordFile;
    std::string m_strEditor;
    std::uint32_t m_nOperation = 1;
    std::vector<std::string> m_arrSourceFolders;
    std::vector<std::string> m_arrSkippedFiles;

private:
    void OnInitDialog();
    void UpdateData(bool bSaveAndValidate);
    // Adds `text` in its case-insensitive sorted place, unless the list is
    // full or the settings could not read the text back (says why).
    bool AddEntry(QListWidget* pList, const std::string& text);
    void DeleteSelected(QListWidget* pList);
};
