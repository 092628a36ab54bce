#include "Questions.h"

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
