#pragma once

#include "GlossCutterOptions.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QRadioButton;

// Every setting in one dialog: editor, keyword file, source folders, skipped
// files and what a wipe does. It shows the values it is given and never
// touches the store; after OK the caller takes the values back and stores them.
class CDlgOptions final : public QDialog {
    Q_OBJECT
public:
    explicit CDlgOptions(COptionValues values, QWidget* pParent = nullptr);

    // The values as the dialog leaves them: after OK, the user's.
    const COptionValues& GetValues() const { return m_values; }

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
    QLineEdit* m_pKeptSymbolsEdit = nullptr;
    QRadioButton* m_pRemove = nullptr;
    QRadioButton* m_pMark = nullptr;

    COptionValues m_values;

private:
    void OnInitDialog();
    void UpdateData(bool bSaveAndValidate);
    // Adds `text` in its case-insensitive sorted place, unless the list is
    // full or the settings could not read the text back (says why).
    bool AddEntry(QListWidget* pList, const std::string& text);
    void DeleteSelected(QListWidget* pList);
};
