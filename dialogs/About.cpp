#include "About.h"

#include "AppIcon.h"
#include "DialogUnits.h"

#include <QLabel>
#include <QPushButton>

CxAbout::CxAbout(QWidget* pParent) : QDialog(pParent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(DialogFont(QStringLiteral("Comic Sans MS"), 8));
    setObjectName(QStringLiteral("AboutBox"));
    // A thin border around a box without caption.
    setStyleSheet(QStringLiteral("#AboutBox { border: 1px solid palette(dark); }"));
    const CDialogUnits dlu(this->font());
    setFixedSize(dlu.ToPixels(180, 54));

    auto* pIcon = new QLabel(this);
    pIcon->setGeometry(dlu.ToPixels(12, 15, 20, 20));
    pIcon->setPixmap(AppIcon().pixmap(32, 32));

    const auto makeLine = [&](int y, Qt::TextFormat format) {
        auto* pLabel = new QLabel(this);
        pLabel->setGeometry(dlu.ToPixels(35, y, 100, 8));
        pLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pLabel->setTextFormat(format);
        return pLabel;
    };
    m_pProductLabel = makeLine(9, Qt::PlainText); // "&" shown as is
    m_pCompanyLabel = makeLine(18, Qt::PlainText);
    m_pCommentsLabel = makeLine(27, Qt::AutoText);
    m_pBuildLabel = makeLine(36, Qt::PlainText);

    auto* pOk = new QPushButton(tr("OK"), this);
    pOk->setGeometry(dlu.ToPixels(143, 33, 30, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
    // The comments line takes "&" as a mnemonic, like a label of a control.
    m_pCommentsLabel->setBuddy(pOk);

    OnInitDialog();
}

void CxAbout::OnInitDialog() {
    if (m_version.m_arrInfo.empty())
        return; // no version information: the lines stay empty
    const CxVersionInfo& info = *m_version.m_arrInfo[0];
    m_strProductLine = QStringLiteral("%1 Version %2")
                           .arg(QString::fromStdString(info.m_strProductName),
                                QString::fromStdString(info.m_strVersion));
    m_strCompanyLine = QString::fromStdString(info.m_strCompanyName);
    m_strCommentsLine = QString::fromStdString(info.m_strComments);
    UpdateData();
}

void CxAbout::UpdateData() {
    m_pProductLabel->setText(m_strProductLine);
    m_pCompanyLabel->setText(m_strCompanyLine);
    m_pCommentsLabel->setText(m_strCommentsLine);
    m_pBuildLabel->setText(m_strBuildLine);
}
