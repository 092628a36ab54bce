#include "editor.h"

/* The keyword is inside "#if 0", so this use is not counted. */
#ifdef WITH_SPELLING
void spell_menu(struct editor *ed) { menu_add(ed, MENU_EDIT, gSpellCheck, spell_check); }
#endif
/* gOldTitle is commented out in texts.h; a mention here changes nothing. */
