#include "editor.h"

/* Every token of a line counts, however long the line. */
void edit_menu(struct editor *ed) { menu_add_pair(ed, MENU_EDIT, KEY_CTRL_Z, KEY_CTRL_Y, undo_last, redo_last, ICON_UNDO, ICON_REDO, 0, 0, gUndo, gRedo); }
