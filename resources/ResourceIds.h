#pragma once

// Identifiers of the program's commands, dialogs and strings. The values are
// those the program has always used; the string table maps the string ids to
// their texts.

// Strings
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDS_ASK_AUTO_CHECK = 1014;
inline constexpr int IDS_ASK_WIPE = 1015;
inline constexpr int IDS_SORTING = 1016;
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// Commands
inline constexpr int ID_VIEW_USED = 32771;
inline constexpr int ID_OPTIONS = 32772;
inline constexpr int ID_RELOAD = 32773;
inline constexpr int ID_WIPE = 32775;
inline constexpr int ID_AUTO_CHECK = 32776;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// Column titles and window captions
inline constexpr int IDS_COL_MARKED = 1001;
inline constexpr int IDS_COL_LINE = 1002;
inline constexpr int IDS_COL_SYMBOL = 1003;
inline constexpr int IDS_COL_VALUE = 1004;
inline constexpr int IDS_COL_USED = 1005;
inline constexpr int IDS_COL_STATUS = 1006;
inline constexpr int IDS_USED_LIST_TITLE = 1011;
inline constexpr int IDS_COL_FILE = 1012;
inline constexpr int IDS_COL_LINE_NUMBER = 1013;
inline constexpr int IDS_COL_KIND = 1017;
