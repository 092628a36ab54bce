#include "DlgOptions.h"

#include "ByteText.h"
#include "DialogUnits.h"
#include "FolderDlg.h"
#include "Questions.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cstddef>
#include <utility>

namespace {

CDlgOptions::FolderChooser& FolderChooserHook() {
    static CDlgOptions::FolderChooser chooser;
    return chooser;
}

std::optional<std::string> ChooseFolder(const std::string& initial) {
    if (FolderChooserHook())
        return FolderChooserHook()(initial);
    CxFolderDlg dialog(initial);
    if (dialog.DoModal() != QDialog::Accepted)
        return std::nullopt;
    return dialog.GetFolderPath();
}

std::string SelectedText(const QListWidget* pList) {
    const QListWidgetItem* pItem = pList->currentItem();
    return pItem != nullptr && pItem->isSelected() ? ToBytes(pItem->text()) : std::string();
}

} // namespace

void CDlgOptions::SetFolderChooser(FolderChooser chooser) {
    FolderChooserHook() = std::move(chooser);
}

CDlgOptions::CDlgOptions(COptionValues values, QWidget* pParent)
    : QDialog(pParent), m_values(std::move(values)) {
    setWindowTitle(tr("Options"));
    setFont(DialogFont(QStringLiteral("Verdana"), 8));
    const CDialogUnits dlu(font());
    setFixedSize(dlu.ToPixels(341, 253));

    // Created in tab order: the focus chain follows creation.
    const auto label = [&](const QString& text, QRect rect) {
        auto* pLabel = new QLabel(text, this);
        pLabel->setGeometry(rect);
        return pLabel;
    };
    const auto button = [&](const QString& text, QRect rect, void (CDlgOptions::*handler)()) {
        auto* pButton = new QPushButton(text, this);
        pButton->setGeometry(rect);
        pButton->setAutoDefault(false);
        connect(pButton, &QPushButton::clicked, this, handler);
        return pButton;
    };
    const auto edit = [&](QRect rect) {
        auto* pEdit = new QLineEdit(this);
        pEdit->setGeometry(rect);
        return pEdit;
    };
    const auto list = [&](QRect rect) {
        auto* pList = new QListWidget(this);
        pList->setGeometry(rect);
        pList->setSelectionMode(QAbstractItemView::SingleSelection);
        return pList;
    };

    label(tr("Editor"), dlu.ToPixels(10, 17, 45, 10));
    m_pEditorEdit = edit(dlu.ToPixels(60, 15, 238, 12));
    button(tr("Browse"), dlu.ToPixels(300, 15, 30, 12), &CDlgOptions::OnBrowseEditor);
    QLabel* pKeywordLabel = label(tr("&Keyword file"), dlu.ToPixels(10, 32, 45, 10));
    m_pKeywordFileEdit = edit(dlu.ToPixels(60, 30, 238, 12));
    pKeywordLabel->setBuddy(m_pKeywordFileEdit);
    button(tr("Browse"), dlu.ToPixels(300, 30, 30, 12), &CDlgOptions::OnBrowseKeywordFile);
    QLabel* pKeptLabel = label(tr("K&ept symbols"), dlu.ToPixels(10, 47, 48, 10));
    m_pKeptSymbolsEdit = edit(dlu.ToPixels(60, 45, 270, 12));
    m_pKeptSymbolsEdit->setToolTip(
        tr("Symbols never reported unused or wiped, such as gDyn* gMenu?: patterns with * and ?, "
           "separated by blanks"));
    m_pKeptSymbolsEdit->setMaxLength(static_cast<int>(CAppOptions::kMaxTextBytes)); // all read back
    pKeptLabel->setBuddy(m_pKeptSymbolsEdit);

    (new QGroupBox(tr("Source Folder"), this))->setGeometry(dlu.ToPixels(7, 65, 327, 80));
    m_lbSourceFolders = list(dlu.ToPixels(10, 75, 288, 65));
    button(tr("Browse"), dlu.ToPixels(300, 75, 30, 12), &CDlgOptions::OnBrowseSourceFolder);
    button(tr("Delete"), dlu.ToPixels(300, 90, 30, 14), &CDlgOptions::OnDeleteSourceFolder);
    (new QGroupBox(tr("Skipped File"), this))->setGeometry(dlu.ToPixels(7, 150, 327, 80));
    m_lbSkippedFiles = list(dlu.ToPixels(10, 160, 288, 65));
    button(tr("Browse"), dlu.ToPixels(300, 160, 30, 12), &CDlgOptions::OnBrowseSkippedFile);
    button(tr("Delete"), dlu.ToPixels(300, 175, 30, 12), &CDlgOptions::OnDeleteSkippedFile);

    auto* pOk = new QPushButton(tr("OK"), this);
    pOk->setGeometry(dlu.ToPixels(230, 232, 50, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &CDlgOptions::OnOK);
    auto* pCancel = new QPushButton(tr("Cancel"), this);
    pCancel->setGeometry(dlu.ToPixels(284, 232, 50, 14));
    pCancel->setAutoDefault(false);
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);

    label(tr("Unused keywords"), dlu.ToPixels(10, 237, 65, 8));
    m_pRemove = new QRadioButton(tr("&Remove"), this);
    m_pRemove->setGeometry(dlu.ToPixels(80, 235, 40, 10));
    m_pMark = new QRadioButton(tr("&Mark"), this);
    m_pMark->setGeometry(dlu.ToPixels(140, 235, 40, 10));
    auto* pGroup = new QButtonGroup(this);
    pGroup->addButton(m_pRemove);
    pGroup->addButton(m_pMark);
    connect(m_pMark, &QRadioButton::clicked, this, [this] { m_values.m_nOperation = WIPE_MARK; });
    connect(m_pRemove, &QRadioButton::clicked, this,
            [this] { m_values.m_nOperation = WIPE_REMOVE; });

    OnInitDialog();
}

void CDlgOptions::OnInitDialog() {
    for (const std::string& folder : m_values.m_listSourceFolders)
        AddEntry(m_lbSourceFolders, folder);
    for (const std::string& file : m_values.m_listSkippedFiles)
        AddEntry(m_lbSkippedFiles, file);
    (m_values.m_nOperation == WIPE_MARK ? m_pMark : m_pRemove)->setChecked(true);
    UpdateData(false);
    m_pEditorEdit->setFocus();
}

void CDlgOptions::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        m_values.m_strKeywordFile = ToBytes(m_pKeywordFileEdit->text());
        m_values.m_strEditor = ToBytes(m_pEditorEdit->text());
        m_values.m_strKeptSymbols = ToBytes(m_pKeptSymbolsEdit->text());
    } else {
        m_pKeywordFileEdit->setText(FromBytes(m_values.m_strKeywordFile));
        m_pEditorEdit->setText(FromBytes(m_values.m_strEditor));
        m_pKeptSymbolsEdit->setText(FromBytes(m_values.m_strKeptSymbols));
    }
}

bool CDlgOptions::AddEntry(QListWidget* pList, const std::string& text) {
    if (pList->count() >= static_cast<int>(kSlotCount)) {
        ShowWarning(this,
                    tr("GlossCutter keeps at most eight entries in this list. Delete one "
                       "before you add another."),
                    windowTitle());
        return false;
    }
    if (text.size() > CAppOptions::kMaxTextBytes) {
        ShowWarning(this,
                    tr("This path is longer than %1 bytes, and the settings could not read "
                       "it back:\n%2")
                        .arg(CAppOptions::kMaxTextBytes)
                        .arg(FromBytes(text)),
                    windowTitle());
        return false;
    }
    const QString entry = FromBytes(text);
    int row = 0;
    while (row < pList->count() &&
           QString::compare(pList->item(row)->text(), entry, Qt::CaseInsensitive) <= 0)
        ++row;
    pList->insertItem(row, entry);
    return true;
}

void CDlgOptions::OnBrowseKeywordFile() {
    UpdateData(true);
    const QString path =
        ChooseOpenFile(this, tr("Keyword File"), FromBytes(m_values.m_strKeywordFile), false);
    if (path.isEmpty())
        return;
    m_values.m_strKeywordFile = ToBytes(path);
    UpdateData(false);
}

void CDlgOptions::OnBrowseEditor() {
    const QString path = ChooseOpenFile(this, tr("Editor"), QString(), true);
    if (!path.isEmpty())
        m_pEditorEdit->setText(path);
}

void CDlgOptions::OnBrowseSourceFolder() {
    const std::optional<std::string> chosen = ChooseFolder(SelectedText(m_lbSourceFolders));
    if (!chosen)
        return;
    const std::string& folder = *chosen;
    if (m_lbSourceFolders->count() == 0) {
        AddEntry(m_lbSourceFolders, folder);
        return;
    }
    // A folder inside another, or around it, would be scanned twice.
    bool bOverlapped = false;
    bool bReplaced = false;
    const int count = m_lbSourceFolders->count();
    std::vector<QListWidgetItem*> replaced;
    for (int row = 0; row < count; ++row) {
        QListWidgetItem* pItem = m_lbSourceFolders->item(row);
        const std::string entry = ToBytes(pItem->text());
        if (entry.find(folder) == std::string::npos && folder.find(entry) == std::string::npos)
            continue;
        bOverlapped = true;
        if (AskYesNo(this,
                     tr("This folder is overlapped with %1\nReplace with the new one?")
                         .arg(pItem->text()),
                     FromBytes(LoadString(AFX_IDS_APP_TITLE)))) {
            replaced.push_back(pItem);
            bReplaced = true;
        }
    }
    for (QListWidgetItem* pItem : replaced)
        delete pItem;
    if (!bOverlapped || bReplaced)
        AddEntry(m_lbSourceFolders, folder);
}

void CDlgOptions::OnBrowseSkippedFile() {
    const QString path =
        ChooseOpenFile(this, tr("Skipped File"), FromBytes(SelectedText(m_lbSkippedFiles)), false);
    if (path.isEmpty())
        return;
    for (int row = 0; row < m_lbSkippedFiles->count(); ++row) {
        if (m_lbSkippedFiles->item(row)->text() == path)
            return; // listed already, exactly so
    }
    AddEntry(m_lbSkippedFiles, ToBytes(path));
}

void CDlgOptions::DeleteSelected(QListWidget* pList) {
    QListWidgetItem* pItem = pList->currentItem();
    if (pItem == nullptr || !pItem->isSelected())
        return;
    if (AskYesNo(this, tr("Delete?"), FromBytes(LoadString(AFX_IDS_APP_TITLE)))) {
        delete pItem;
        pList->clearSelection();
    }
}

void CDlgOptions::OnDeleteSourceFolder() {
    DeleteSelected(m_lbSourceFolders);
}

void CDlgOptions::OnDeleteSkippedFile() {
    DeleteSelected(m_lbSkippedFiles);
}

void CDlgOptions::OnOK() {
    UpdateData(true);
    const auto entries = [](const QListWidget* pList) {
        std::vector<std::string> list;
        list.reserve(static_cast<std::size_t>(pList->count()));
        for (int row = 0; row < pList->count(); ++row)
            list.push_back(ToBytes(pList->item(row)->text()));
        return list;
    };
    m_values.m_listSourceFolders = entries(m_lbSourceFolders);
    m_values.m_listSkippedFiles = entries(m_lbSkippedFiles);
    accept();
}
