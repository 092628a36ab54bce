#include "Questions.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSortFilterProxyModel>

namespace {

QuestionAnswerer& Answerer() {
    static QuestionAnswerer answerer;
    return answerer;
}

} // namespace

bool AskYesNo(QWidget* pParent, const QString& text, const QString& caption) {
    if (Answerer())
        return Answerer()(text, caption);
    return QMessageBox::question(pParent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void ShowWarning(QWidget* pParent, const QString& text, const QString& caption) {
    if (Answerer()) {
        Answerer()(text, caption);
        return;
    }
    QMessageBox::warning(pParent, caption, text);
}

void SetQuestionAnswerer(QuestionAnswerer answerer) {
    Answerer() = std::move(answerer);
}

namespace {

FileChooser& Chooser() {
    static FileChooser chooser;
    return chooser;
}

// Folders, to walk through, and the files the user may run. Not QDir::Executable:
// the file dialog's model takes a permission filter as "hide what carries any
// permission not named", and folders and programs are all readable.
class CExecutablesFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* pModel = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (pModel == nullptr)
            return true;
        const QModelIndex index = pModel->index(row, 0, parent);
        return pModel->isDir(index) || pModel->permissions(index).testFlag(QFile::ExeUser);
    }
};

} // namespace

QString ChooseOpenFile(QWidget* pParent, const QString& title, const QString& initialPath,
                       bool bExecutablesOnly) {
    if (Chooser())
        return Chooser()(initialPath, bExecutablesOnly);
    QFileDialog dialog(pParent, title, initialPath);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (bExecutablesOnly) {
        // The native dialogs cannot filter by permission.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new CExecutablesFilter(&dialog));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}
