#include "EditorLaunch.h"

#include "GlossCutterOptions.h"
#include "ProcessStart.h"

namespace {

std::string ExpandFieldCodes(const std::string& argument, const std::string& file,
                             const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] == '%' && i + 1 < argument.size()) {
            const char code = argument[++i];
            if (code == 'f')
                out += file;
            else if (code == 'l')
                out += line;
            else if (code == '%')
                out += '%';
            else
                (out += '%') += code; // not ours: left as written
        } else {
            out += argument[i];
        }
    }
    return out;
}

} // namespace

std::string GetWindowsFilePath(const std::string& name) {
    return "/usr/bin/" + name;
}

std::vector<CEditorCommand> EditorCommands(const std::string& editor, const std::string& file,
                                           unsigned line) {
    std::vector<CEditorCommand> commands;
    std::vector<std::string> arguments;
    if (editor.find("%f") != std::string::npos && process::SplitCommandLine(editor, arguments) &&
        !arguments.empty()) {
        const std::string lineText = std::to_string(line == 0 ? 1 : line);
        for (auto& argument : arguments)
            argument = ExpandFieldCodes(argument, file, lineText);
        commands.push_back({std::move(arguments), true});
    } else {
        commands.push_back({{editor, line == 0 ? file : file + "/" + std::to_string(line)}, false});
    }
    commands.push_back({{GetWindowsFilePath("xdg-open"), file}, false});
    return commands;
}

bool RunProgram(const CEditorCommand& command) {
    return process::StartDetached(command.m_arrArguments, command.m_bSearchPath);
}

void OpenInEditor(const std::string& file, unsigned line) {
    std::string editor;
    theOptions.GetEditor(editor);
    for (const CEditorCommand& command : EditorCommands(editor, file, line)) {
        if (RunProgram(command))
            return;
    }
}
