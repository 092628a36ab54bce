#pragma once

#include <string>
#include <vector>

// One way of starting the editor.
struct CEditorCommand {
    std::vector<std::string> m_arrArguments; // the program, then its arguments
    bool m_bSearchPath = false;              // look a bare program name up in PATH
    friend bool operator==(const CEditorCommand&, const CEditorCommand&) = default;
};

// The commands that open `file` at `line` (0: no line) with the editor
// setting `editor`, in the order they are tried; the first that starts wins.
// - A setting with "%f" is a command template, split like a desktop entry's
//   Exec line; "%f" becomes the file, "%l" the line (1 when none is given),
//   "%%" a percent sign. `code -g %f:%l`, `gedit +%l %f`, `kate -l %l %f`.
// - Any other setting is the literal path of a program that gets one
//   argument: the file, or "FILE/LINE".
// Either way the last resort is the desktop's opener with the bare file.
std::vector<CEditorCommand> EditorCommands(const std::string& editor, const std::string& file,
                                           unsigned line);

// Opens `file` at `line` in the editor of the settings. Reports nothing.
void OpenInEditor(const std::string& file, unsigned line);

// Starts the program of `command` with its arguments, without waiting for it;
// true when the process was created.
bool RunProgram(const CEditorCommand& command);

// `name` in the folder of the system's own programs.
std::string GetWindowsFilePath(const std::string& name);
