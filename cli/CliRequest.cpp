#include "CliRequest.h"

#include "LoadSettings.h"
#include "Wipe.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string_view>

const char* const kUsageText =
    "Usage: glosscutter-cli scan [INPUTS] [--strict] [--format text|json|sarif] [--unused]\n"
    "                            [--check] [--baseline FILE] [--write-baseline FILE]\n"
    "                            [--color=auto|always|never] [--quiet] [--threads N]\n"
    "       glosscutter-cli wipe [INPUTS] [--strict] [--operation mark|remove]\n"
    "                            [--dry-run] [--allow-unreadable] [--quiet] [--threads N]\n"
    "       glosscutter-cli init\n"
    "       glosscutter-cli --help | --version\n"
    "\n"
    "scan  reads the keyword file, scans every file under the source folders for\n"
    "      each keyword's symbol, and reports the keywords that nothing uses.\n"
    "wipe  does the same, then comments out (mark) or deletes (remove) the unused\n"
    "      keywords in the keyword file, after copying it to a .bak backup.\n"
    "init  writes a commented .glosscutter.conf in the current folder, naming the\n"
    "      header with the most text defines and the folder itself as the sources;\n"
    "      it never overwrites one.\n"
    "\n"
    "SETTINGS: the first .glosscutter.conf in the current folder or a folder above\n"
    "it, where relative paths are relative to its folder; without one, the user's\n"
    "settings from GlossCutter's Options. A project file is read alone: what it\n"
    "leaves out takes its default.\n"
    "  --settings FILE         read the settings from FILE instead\n"
    "  --no-settings           read no settings: every setting takes its default\n"
    "\n"
    "INPUTS (each option given replaces that setting):\n"
    "  --keyword-file FILE     the header of text constants\n"
    "  --source-folder DIR     a folder to scan, with its subfolders (up to 8)\n"
    "  --skipped-file FILE     a file not to scan (up to 8)\n"
    "  --keep PATTERN          never report or tick the keywords whose symbol\n"
    "                          matches PATTERN (* and ?); may be repeated. A\n"
    "                          comment holding glosscutter:keep on a define's\n"
    "                          line, or the line above, keeps it too\n"
    "\n"
    "scan and wipe:\n"
    "  --strict                count as unused the keywords only mentioned in\n"
    "                          comments, strings or inactive code: scan warns\n"
    "                          of them, --check fails, wipe takes them\n"
    "  --quiet                 no progress and no summary line\n"
    "  --threads N             scan on N threads (default: one a core)\n"
    "scan:\n"
    "  --format text|json|sarif\n"
    "                          text: one warning per unused keyword and a note\n"
    "                          per only mentioned one (default);\n"
    "                          json: every keyword with its status and uses;\n"
    "                          sarif: SARIF 2.1.0 for code scanning\n"
    "  --unused                json: list only the unused keywords\n"
    "  --check                 exit with status 1 when a keyword is unused\n"
    "  --baseline FILE         report only the symbols FILE does not list, and\n"
    "                          note those it lists that nothing reports any more\n"
    "  --write-baseline FILE   write the symbols reported now to FILE\n"
    "  --color=auto|always|never\n"
    "                          colour warnings and notes; auto: on a terminal,\n"
    "                          unless NO_COLOR is set\n"
    "wipe (--baseline is accepted and has no effect: a wipe takes every unused\n"
    "keyword):\n"
    "  --operation mark|remove what to do with unused keywords (default: setting)\n"
    "  --dry-run               print the change as a unified diff; write nothing\n"
    "  --allow-unreadable      wipe although some source files or folders could\n"
    "                          not be read (their uses are missing)\n"
    "\n"
    "wipe refuses, writing nothing, when no source folder is set, a set folder is\n"
    "missing, no source file could be read, or (unless --allow-unreadable) any\n"
    "source file or folder could not be read: keywords would look unused that\n"
    "the code still uses.\n"
    "\n"
    "Exit status: 0 done, 1 unused keywords found (--check), 2 error.\n";

std::string NormalisePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        absolute = path;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

namespace {

bool TakesValue(std::string_view option) {
    constexpr std::string_view kWithValue[] = {
        "--keyword-file",   "--source-folder", "--skipped-file", "--format",
        "--operation",      "--keep",          "--settings",     "--baseline",
        "--write-baseline", "--color",         "--threads"};
    return std::ranges::find(kWithValue, option) != std::end(kWithValue);
}

std::string AddPath(std::optional<std::vector<std::string>>& list, const std::string& value,
                    std::string_view option) {
    if (value.empty())
        return std::string(option) + " needs a non-empty value";
    if (!list)
        list.emplace();
    if (list->size() == kSlotCount)
        return "at most eight " + std::string(option) + " options can be given";
    list->push_back(NormalisePath(value));
    return {};
}

// A folder to scan must be there: a mistyped one would make every keyword
// look unused.
std::string AddSourceFolder(CCliRequest& request, const std::string& value) {
    if (std::string error = AddPath(request.m_listSourceFolders, value, "--source-folder");
        !error.empty())
        return error;
    std::error_code ec;
    const auto status = std::filesystem::status(value, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return "--source-folder " + value + ": no such folder";
    if (ec)
        return "--source-folder " + value + ": " + ec.message();
    if (status.type() != std::filesystem::file_type::directory)
        return "--source-folder " + value + ": not a folder";
    return {};
}

// The options without a value, each with the commands that take it.
struct CFlag {
    std::string_view m_strName;
    bool m_bScan;
    bool m_bWipe;
    bool CCliRequest::*m_pMember;
};

constexpr CFlag kFlags[] = {{"--unused", true, false, &CCliRequest::m_bUnusedOnly},
                            {"--check", true, false, &CCliRequest::m_bCheck},
                            {"--strict", true, true, &CCliRequest::m_bStrict},
                            {"--dry-run", false, true, &CCliRequest::m_bDryRun},
                            {"--allow-unreadable", false, true, &CCliRequest::m_bAllowUnreadable},
                            {"--no-settings", true, true, &CCliRequest::m_bNoSettings},
                            {"--quiet", true, true, &CCliRequest::m_bQuiet}};

// The value of the option at argv[k] ("--option=value" or "--option value",
// then k moves past it), or what is wrong with it.
std::string TakeValue(int argc, const char* const* argv, int& k, std::string_view& option,
                      std::string& value) {
    if (const auto eq = option.find('=');
        option.starts_with("--") && eq != std::string_view::npos) {
        value = option.substr(eq + 1);
        option = option.substr(0, eq);
        return TakesValue(option) ? std::string() : std::string(option) + " takes no value";
    }
    if (!TakesValue(option))
        return {};
    if (k + 1 >= argc)
        return std::string(option) + " needs a value";
    value = argv[++k];
    // "--keyword-file --source-folder src" lacks the file, rather than naming
    // one "--source-folder"; such a name is still given with "=".
    if (!value.starts_with("--"))
        return {};
    std::string error(option);
    error += " needs a value before " + value + " (or write ";
    error += option;
    return error + "=" + value + ")";
}

std::string SetFormat(const std::string& value, CCliRequest& request) {
    if (value == "text")
        request.m_nFormat = ReportFormat::Text;
    else if (value == "json")
        request.m_nFormat = ReportFormat::Json;
    else if (value == "sarif")
        request.m_nFormat = ReportFormat::Sarif;
    else
        return "--format must be text, json or sarif, not \"" + value + "\"";
    return {};
}

std::string SetColour(const std::string& value, CCliRequest& request) {
    if (value == "auto")
        request.m_nColour = ColourChoice::Auto;
    else if (value == "always")
        request.m_nColour = ColourChoice::Always;
    else if (value == "never")
        request.m_nColour = ColourChoice::Never;
    else
        return "--color must be auto, always or never, not \"" + value + "\"";
    return {};
}

// An option that names a file: stored in `member`, or what is wrong with it.
std::string SetFile(std::string_view option, const std::string& value,
                    std::optional<std::string>& member) {
    if (value.empty())
        return std::string(option) + " needs a non-empty value";
    member = value;
    return {};
}

std::string SetThreads(const std::string& value, CCliRequest& request) {
    // A number of threads a machine may have: 1 to 1024, digits only.
    if (value.empty() || value.size() > 4 ||
        !std::ranges::all_of(value, [](char c) { return c >= '0' && c <= '9'; }) ||
        std::stoul(value) == 0 || std::stoul(value) > 1024)
        return "--threads must be a number from 1 to 1024, not \"" + value + "\"";
    request.m_nThreads = static_cast<unsigned>(std::stoul(value));
    return {};
}

std::string SetOperation(const std::string& value, CCliRequest& request) {
    if (value == "mark")
        request.m_nOperation = WIPE_MARK;
    else if (value == "remove")
        request.m_nOperation = WIPE_REMOVE;
    else
        return "--operation must be mark or remove, not \"" + value + "\"";
    return {};
}

// One option of scan or wipe, with its value when it takes one: stored in
// `request`, or what is wrong with it.
std::string ApplyOption(std::string_view option, const std::string& value, CCliRequest& request) {
    const bool bScan = request.m_nCommand == CliCommand::Scan;
    if (option == "--keyword-file")
        return SetFile(option, value, request.m_strKeywordFile);
    if (option == "--settings")
        return SetFile(option, value, request.m_strSettingsFile);
    if (option == "--source-folder")
        return AddSourceFolder(request, value);
    if (option == "--skipped-file")
        return AddPath(request.m_listSkippedFiles, value, option);
    if (option == "--keep") {
        if (value.empty())
            return "--keep needs a non-empty pattern";
        request.m_listKeptPatterns.push_back(value);
        return {};
    }
    if (bScan && option == "--format")
        return SetFormat(value, request);
    if (bScan && option == "--color")
        return SetColour(value, request);
    if (option == "--baseline") // a wipe takes baselined keywords as well
        return SetFile(option, value, request.m_strBaselineFile);
    if (bScan && option == "--write-baseline")
        return SetFile(option, value, request.m_strWriteBaselineFile);
    if (option == "--threads")
        return SetThreads(value, request);
    if (!bScan && option == "--operation")
        return SetOperation(value, request);
    for (const CFlag& flag : kFlags) {
        if ((bScan ? flag.m_bScan : flag.m_bWipe) && option == flag.m_strName) {
            request.*flag.m_pMember = true;
            return {};
        }
    }
    if (!option.starts_with("-"))
        return "unexpected argument \"" + std::string(option) +
               "\"; a keyword file is given as --keyword-file " + std::string(option);
    return "unknown option for " + std::string(bScan ? "scan" : "wipe") + ": " +
           std::string(option);
}

} // namespace

std::string ParseCommandLine(int argc, const char* const* argv, CCliRequest& request) {
    if (argc < 2)
        return "no command given";
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        request.m_nCommand = CliCommand::Help;
        return {};
    }
    if (command == "--version") {
        request.m_nCommand = CliCommand::Version;
        return {};
    }
    if (command == "scan")
        request.m_nCommand = CliCommand::Scan;
    else if (command == "wipe")
        request.m_nCommand = CliCommand::Wipe;
    else if (command == "init")
        request.m_nCommand = CliCommand::Init;
    else
        return "unknown command: " + std::string(command);

    for (int k = 2; k < argc; ++k) {
        std::string_view option = argv[k];
        std::string value;
        if (std::string error = TakeValue(argc, argv, k, option, value); !error.empty())
            return error;

        if (option == "--help" || option == "-h") {
            request.m_nCommand = CliCommand::Help;
            return {};
        }
        if (request.m_nCommand == CliCommand::Init)
            return "init takes no options, not " + std::string(option);
        if (std::string error = ApplyOption(option, value, request); !error.empty())
            return error;
    }
    if (request.m_strSettingsFile && request.m_bNoSettings)
        return "--settings and --no-settings exclude each other";
    return {};
}
