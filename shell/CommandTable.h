#pragma once

#include <QString>
#include <span>

class QAction;
class QObject;

// Everything about one command in one place: its menu text (with mnemonic
// and, after a tab, the accelerator as the menu shows it), the key that
// triggers it, and its status prompt and tooltip from the string table.
struct CCommand {
    int m_nId;
    const char* m_szMenuText;
    const char* m_szShortcut; // a QKeySequence text, or empty
    const char* m_szIcon;     // the toolbar image in :/icons, or empty
};

std::span<const CCommand> Commands();

// The command's status-bar prompt and toolbar tooltip (the two halves of its
// string "prompt\ntooltip"; the tooltip is empty when there is none).
QString CommandPrompt(int nId);
QString CommandTooltip(int nId);

// A new action for command `nId`, owned by `pParent`, with text, shortcut,
// status tip, tooltip and the id as its data.
QAction* CreateCommandAction(int nId, QObject* pParent);
