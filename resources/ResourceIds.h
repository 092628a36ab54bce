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
