/* texts.h - every user-visible text of the demo editor.
 * Code refers to sOpenFile as gOpenFile (see src/). */
#ifndef DEMO_TEXTS_H
#define DEMO_TEXTS_H

#define nMaxRecentFiles 8

#define sAppName        "Demo Editor"
#define sOpenFile       "Open file..."
#define sSaveFile       "Save"
#define sSaveAs         "Save as..."            /* only the menu uses it */
#define sCloseFile      "Close"
#define sPrint          "Print..."              // nothing prints yet
#define sPrintPreview   "Print preview"
#define sRecentFiles    "Recent files"
#define sEncoding       "Encoding: %s"
#define sUndo           "Undo"
#define sRedo           "Redo"
#define sAbout          "About Demo Editor"
#define sQuitPrompt     "Quit without saving?"
// #define sOldTitle    "Demo"
#if 0
#define sSpellCheck     "Check spelling"
#endif

#endif
