#include "editor.h"

void file_menu(struct editor *ed)
{
    menu_add(ed, MENU_FILE, gOpenFile, file_open_dialog);
    menu_add(ed, MENU_FILE, gRecentFiles, recent_files);
    toolbar_add(ed, ICON_OPEN, gOpenFile);
}

void file_open(struct editor *ed, const char *path)
{
    status_printf(ed, gEncoding, encoding_name(detect_encoding(path)));
    /* gOpenFileRecent is a different token: it does not count as gOpenFile. */
}
