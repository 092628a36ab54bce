#include "editor.h"

int main(int argc, char **argv)
{
    struct editor *ed = editor_new(gAppName);

    if (argc > 1)
        file_open(ed, argv[1]);
    menu_add(ed, MENU_HELP, gAbout, show_about);
    while (editor_run(ed)) {
        if (editor_modified(ed) && !ask_yes_no(ed, gQuitPrompt))
            continue;
        break;
    }
    editor_free(ed);
    return 0;
}
