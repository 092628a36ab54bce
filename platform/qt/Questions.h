#pragma once

#include <QString>
#include <functional>

class QWidget;

// A Yes/No question with the question icon; true for Yes. Tests replace the
// answerer so that no modal box ever waits for a user.
bool AskYesNo(QWidget* pParent, const QString& text, const QString& caption);

// A warning with an OK button.
void ShowWarning(QWidget* pParent, const QString& text, const QString& caption);

using QuestionAnswerer = std::function<bool(const QString& text, const QString& caption)>;
// Answers every following question with `answerer`; none restores the boxes.
void SetQuestionAnswerer(QuestionAnswerer answerer);

// The open-file chooser: the chosen file's path, or an empty text when the
// user cancelled. With `bExecutablesOnly` only folders and executable files
// are offered (programs here have no extension to filter on).
QString ChooseOpenFile(QWidget* pParent, const QString& title, const QString& initialPath,
                       bool bExecutablesOnly);

using FileChooser = std::function<QString(const QString& initialPath, bool bExecutablesOnly)>;
// Chooses every following file with `chooser`; none restores the dialog.
void SetFileChooser(FileChooser chooser);
