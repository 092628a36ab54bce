#include "editor.h"

void save_menu(struct editor *ed)
{
    menu_add(ed, MENU_FILE, gSaveFile, file_save);
    menu_add(ed, MENU_FILE, gSaveAs, file_save_as);
}
