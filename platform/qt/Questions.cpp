#include "Questions.h"

#include <QFileDialog>
#include <QMessageBox>

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
        dialog.setFilter(QDir::AllDirs | QDir::Executable | QDir::Files | QDir::NoDotAndDotDot);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}
