#pragma once

#include "Version.h"

#include <QDialog>

class QLabel;

// The About box: product and version, company and comments, from the
// program's version information, read when the box is created.
class CxAbout final : public QDialog {
    Q_OBJECT
public:
    explicit CxAbout(QWidget* pParent = nullptr);

    QString m_strProductLine;
    QString m_strCompanyLine;
    QString m_strCommentsLine;
    QString m_strBuildLine; // stays empty

private:
    void OnInitDialog();
    void UpdateData();

    CxVersion m_version;
    QLabel* m_pProductLabel;
    QLabel* m_pCompanyLabel;
    QLabel* m_pCommentsLabel;
    QLabel* m_pBuildLabel;
};
