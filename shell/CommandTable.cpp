#include "CommandTable.h"

#include "ByteText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QAction>
#include <QIcon>
#include <array>

namespace {

constexpr std::array<CCommand, 9> kCommands = {{
    {ID_APP_EXIT, "E&xit", "", ""},
    {ID_VIEW_TOOLBAR, "&Toolbar", "", ""},
    {ID_VIEW_STATUS_BAR, "&Statusbar", "", ""},
    {ID_VIEW_USED, "View &Used\tCtrl-U", "Ctrl+U", "view-used"},
    {ID_RELOAD, "Reload\tF5", "F5", "reload"},
    {ID_OPTIONS, "&Options\tF2", "F2", "options"},
    {ID_AUTO_CHECK, "&Auto check\tCtrl-A", "Ctrl+A", "auto-check"},
    {ID_WIPE, "&Wipe\tCtrl-W", "Ctrl+W", "wipe"},
    {ID_APP_ABOUT, "&About GlossCutter...", "", "about"},
}};

QString CommandString(int nId, int nPart) {
    const QString text = FromBytes(LoadString(nId));
    const auto parts = text.split(QLatin1Char('\n'));
    return nPart < parts.size() ? parts[nPart] : QString();
}

} // namespace

std::span<const CCommand> Commands() {
    return kCommands;
}

QString CommandPrompt(int nId) {
    return CommandString(nId, 0);
}

QString CommandTooltip(int nId) {
    return CommandString(nId, 1);
}

QAction* CreateCommandAction(int nId, QObject* pParent) {
    auto* pAction = new QAction(pParent);
    for (const CCommand& command : kCommands) {
        if (command.m_nId != nId)
            continue;
        pAction->setText(QString::fromUtf8(command.m_szMenuText));
        if (*command.m_szShortcut != '\0')
            pAction->setShortcut(QKeySequence(QString::fromLatin1(command.m_szShortcut)));
        if (*command.m_szIcon != '\0')
            pAction->setIcon(
                QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(command.m_szIcon))));
    }
    pAction->setStatusTip(CommandPrompt(nId));
    if (const QString tooltip = CommandTooltip(nId); !tooltip.isEmpty())
        pAction->setToolTip(tooltip);
    pAction->setData(nId);
    return pAction;
}
