#include "StringTable.h"

#include "ResourceIds.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, std::string_view>, 25> kStrings = {{
    // The document string; its first line is the document's title.
    {IDR_MAINFRAME, "GlossCutter\n\nGlossy\n\n\nGlossCutter.Document\nGlossy Document"},
    {IDS_COL_MARKED, "Marked"},
    {IDS_COL_LINE, "Line"},
    {IDS_COL_SYMBOL, "Symbol"},
    {IDS_COL_VALUE, "Value"},
    {IDS_COL_USED, "Used"},
    {IDS_COL_STATUS, "Status"},
    {IDS_USED_LIST_TITLE, "Used List"},
    {IDS_COL_FILE, "File"},
    {IDS_COL_LINE_NUMBER, "Line number"},
    {IDS_COL_KIND, "Kind"},
    {ID_VIEW_USED, "Show or hide the 'used list' window\nUsed List Window"},
    {ID_OPTIONS, "Configure GlossCutter\nOptions"},
    {ID_RELOAD, "Reload\nReload"},
    {ID_WIPE, "Remove unused keywords\nWipe!"},
    {ID_AUTO_CHECK, "Automatically check unused keywords\nAuto check"},
    {ID_APP_ABOUT, "Show information about the program\nAbout GlossCutter"},
    {ID_APP_EXIT, "Exit"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the statusbar"},
    {IDS_ASK_AUTO_CHECK, "Check the unused words?"},
    {IDS_ASK_WIPE, "Remove the unused words?"},
    {IDS_SORTING, "Sorting..."},
    {AFX_IDS_APP_TITLE, "GlossCutter"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
}};

} // namespace

std::string_view LoadString(int id) {
    for (const auto& [key, text] : kStrings) {
        if (key == id)
            return text;
    }
    return {};
}
