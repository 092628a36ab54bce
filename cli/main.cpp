// glosscutter-cli: the keyword engine without a window, for scripts and CI.

#include "AutoCheck.h"
#include "Baseline.h"
#include "CliRequest.h"
#include "DescriptorBuffer.h"
#include "FileRead.h"
#include "FileReplace.h"
#include "Finding.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "LargeHeapPages.h"
#include "ProjectInit.h"
#include "ProjectSettings.h"
#include "Report.h"
#include "SarifWriter.h"
#include "TerminalProgress.h"
#include "UnifiedDiff.h"
#include "Version.h"
#include "Wipe.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnused = 1;
constexpr int kExitError = 2;

void Tell(const std::string& message) {
    std::cerr << "glosscutter-cli: " << message << '\n';
}

int Fail(const std::string& message) {
    Tell(message);
    return kExitError;
}

// Standard output with the reason of a failed write kept. Writes that fail
// are noticed at the end, so a report is never taken for complete.
class CStandardOutput final {
public:
    std::ostream& Stream() { return m_stream; }
    // The exit status once everything is out: an error if any of it is lost.
    int Finish(int status, const char* what) {
        m_stream.flush();
        if (const std::error_code& ec = m_buffer.GetError())
            return Fail(std::string("cannot write ") + what + ": " + ec.message());
        return status;
    }

private:
    CDescriptorBuffer m_buffer{STDOUT_FILENO};
    std::ostream m_stream{&m_buffer};
};

// Each source that could not be read, up to a limit, so that the user sees
// which uses may be missing.
void TellUnreadable(const CUnreadableArray& unreadable) {
    for (std::size_t i = 0; i < unreadable.size() && i < kUnreadableNamed; ++i)
        Tell("cannot read " + unreadable[i].Describe());
    if (unreadable.size() > kUnreadableNamed)
        Tell("... " + std::to_string(unreadable.size() - kUnreadableNamed) +
             " more could not be read; " + std::to_string(unreadable.size()) +
             " files or folders in all");
}

// The settings, with each group the command line gives put in their place.
CLoadSettings MergeSettings(const CCliRequest& request) {
    CLoadSettings settings = theOptions.GetLoadSettings();
    if (request.m_strKeywordFile)
        settings.m_strKeywordFile = *request.m_strKeywordFile;
    const auto replace = [](auto& slots, const std::vector<std::string>& given) {
        slots = {};
        std::copy(given.begin(), given.end(), slots.begin());
    };
    if (request.m_listSourceFolders)
        replace(settings.m_arrSourceFolders, *request.m_listSourceFolders);
    if (request.m_listSkippedFiles)
        replace(settings.m_arrSkippedFiles, *request.m_listSkippedFiles);
    settings.m_nThreads = request.m_nThreads;
    settings.m_listKeptPatterns.insert(settings.m_listKeptPatterns.end(),
                                       request.m_listKeptPatterns.begin(),
                                       request.m_listKeptPatterns.end());
    for (const auto* pBaseline : {&request.m_strBaselineFile, &request.m_strWriteBaselineFile})
        if (*pBaseline)
            settings.m_listUnscannedFiles.push_back(NormalisePath(**pBaseline));
    return settings;
}

// Opens the settings the request names, or the project's, or the user's; says
// why on standard error when a named file cannot be read. `strSourceRoot`
// becomes what reported paths are relative to: the project file's folder, or
// else the current one.
bool OpenSettings(const CCliRequest& request, const CxVersionInfo& version,
                  std::string& strSourceRoot) {
    strSourceRoot = std::filesystem::current_path().string();
    if (request.m_bNoSettings) {
        theOptions.OpenSettingsKey({}, {});
        return true;
    }
    std::string file = request.m_strSettingsFile.value_or(FindProjectSettings(strSourceRoot));
    if (file.empty()) {
        theOptions.OpenSettingsKey(version.m_strCompanyName, version.m_strProductName);
        return true;
    }
    // The store would take a missing file for an empty one.
    std::string bytes;
    if (const std::error_code ec = files::ReadWholeFile(file, bytes)) {
        Fail("cannot read the settings file " + file + ": " + ec.message());
        return false;
    }
    theOptions.OpenSettingsFile(file);
    strSourceRoot = theOptions.m_strBaseFolder;
    return true;
}

// Loads as the window's Reload does; says why on standard error when it cannot.
bool Load(CGlossCutterDoc& doc, const CLoadSettings& settings, bool bQuiet) {
    if (settings.m_strKeywordFile.empty()) {
        Fail(theOptions.m_strBaseFolder.empty()
                 ? "no keyword file: give --keyword-file, set one in GlossCutter's Options, or "
                   "write a project's .glosscutter.conf with glosscutter-cli init"
                 : "no keyword file: give --keyword-file, or set \"keyword file\" in " +
                       theOptions.m_strKeyPath);
        return false;
    }
    CTerminalProgress progress;
    doc.SetProgress(bQuiet ? nullptr : &progress);
    doc.Load(settings);
    doc.SetProgress(nullptr);
    if (const std::error_code& ec = doc.GetKeywordFileError()) {
        Fail("cannot read the keyword file " + settings.m_strKeywordFile + ": " + ec.message());
        return false;
    }
    TellUnreadable(doc.GetUnreadable());
    doc.SortKeywords(SORT_BY_LINE, true);
    return true;
}

// Writes the symbols `result` reports, all of them, to the baseline `strPath`.
bool WriteBaseline(const std::string& strPath, const CScanResult& result) {
    const std::string text = CBaseline::Format(CollectFindings(result, true));
    std::error_code ec = files::CreateNewFile(strPath, text);
    if (ec == std::errc::file_exists)
        ec = files::ReplaceFileContent(strPath, text);
    if (ec)
        Fail("cannot write the baseline " + strPath + ": " + ec.message());
    return !ec;
}

int RunScan(const CCliRequest& request, const CxVersionInfo& version,
            const std::string& strSourceRoot) {
    CBaseline baseline;
    if (request.m_strBaselineFile)
        if (const std::error_code ec = baseline.Read(*request.m_strBaselineFile))
            return Fail("cannot read the baseline " + *request.m_strBaselineFile + ": " +
                        ec.message());
    const CLoadSettings settings = MergeSettings(request);
    // The process's end lets go of the load at once: taking its uses apart one
    // by one would cost a scan of a large tree a few milliseconds more.
    static auto* const pDoc = new CGlossCutterDoc; // NOLINT(cppcoreguidelines-owning-memory)
    CGlossCutterDoc& doc = *pDoc;
    if (!Load(doc, settings, request.m_bQuiet))
        return kExitError;
    const CScanResult result{
        settings.m_strKeywordFile, doc.m_arrKeywords,
        doc.GetScannedFileCount(), doc.GetUnreadable().size(),
        request.m_bStrict,         request.m_strBaselineFile ? &baseline : nullptr,
        &doc.GetSourcePaths(),     settings.GetThreadCount()};
    if (request.m_strWriteBaselineFile && !WriteBaseline(*request.m_strWriteBaselineFile, result))
        return kExitError;
    CTextStyle style;
    style.m_bSummary = !request.m_bQuiet;
    CStandardOutput out;
    if (request.m_nFormat == ReportFormat::Text) {
        style.m_bColour =
            UseColour(request.m_nColour, ::isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"));
        WriteTextReport(out.Stream(), result, style);
    } else {
        if (request.m_nFormat == ReportFormat::Json)
            WriteJsonReport(out.Stream(), result, request.m_bUnusedOnly);
        else
            WriteSarifReport(out.Stream(), result,
                             {version.m_strProductName, version.m_strVersion, strSourceRoot});
        // The report is for machines; the notes go to the reader.
        for (const std::string& note : StaleBaselineNotes(result, style))
            std::cerr << note << '\n';
    }
    const bool bFound = HasFailingFinding(CollectFindings(result));
    return out.Finish(request.m_bCheck && bFound ? kExitUnused : kExitOk, "the report");
}

int RunWipe(const CCliRequest& request) {
    const CLoadSettings settings = MergeSettings(request);
    CGlossCutterDoc doc;
    if (!Load(doc, settings, request.m_bQuiet))
        return kExitError;
    if (const CScanGap gap = doc.GetScanGap(request.m_bAllowUnreadable)) {
        const bool bAllowable = gap.m_nKind == ScanGapKind::Unreadable;
        return Fail(gap.Describe() +
                    (bAllowable ? " Give --allow-unreadable to wipe all the same." : ""));
    }
    AutoCheck(doc.m_arrKeywords, request.m_bStrict);

    std::uint32_t operation = 0;
    if (request.m_nOperation)
        operation = *request.m_nOperation;
    else
        theOptions.GetUnusedKeywordsOperation(operation);

    const CWipeRequest wipe = doc.MakeWipeRequest(settings.m_strKeywordFile, operation);
    CStandardOutput out;
    if (request.m_bDryRun) {
        const std::vector<LineFate> fates = PlanWipe(wipe);
        WriteWipeDiff(out.Stream(), settings.m_strKeywordFile, *wipe.m_pLines, fates);
        const bool bChanges =
            std::ranges::any_of(fates, [](LineFate f) { return f != LineFate::Keep; });
        if (bChanges && !CanPatchApply(*wipe.m_pLines))
            Tell("note: " + settings.m_strKeywordFile +
                 " breaks lines with a lone CR, which patch cannot apply a diff to");
        return out.Finish(kExitOk, "the diff");
    }
    const CWipeResult result = WipeKeywords(wipe);
    if (!result.Succeeded())
        return Fail(result.Describe(settings.m_strKeywordFile));
    if (!request.m_bQuiet)
        out.Stream() << result.Describe(settings.m_strKeywordFile) << '\n';
    return out.Finish(kExitOk, "the result");
}

// Writes a project settings file for the current folder, never over one.
int RunInit() {
    const std::string keywordFile = GuessKeywordFile(".");
    const std::error_code ec =
        files::CreateNewFile(kProjectSettingsName, InitialProjectSettings(keywordFile));
    if (ec == std::errc::file_exists)
        return Fail(std::string(kProjectSettingsName) + " exists already; init leaves it as it is");
    if (ec)
        return Fail(std::string("cannot write ") + kProjectSettingsName + ": " + ec.message());
    std::cout << "wrote " << kProjectSettingsName << ": "
              << (keywordFile.empty() ? "no header with text defines found; set its keyword file"
                                      : "keyword file " + keywordFile)
              << ", source folder .\n";
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    // A file size limit then fails the write with an error we can report,
    // instead of killing the program halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    UseLargeHeapPages();

    // The program's own version information names it and its settings.
    const CxVersion programVersion;
    const CxVersionInfo version =
        programVersion.m_arrInfo.empty() ? CxVersionInfo{} : *programVersion.m_arrInfo[0];

    CCliRequest request;
    if (const std::string error = ParseCommandLine(argc, argv, request); !error.empty())
        return Fail(error + " (see glosscutter-cli --help)");
    switch (request.m_nCommand) {
    case CliCommand::Help:
        std::cout << kUsageText;
        return kExitOk;
    case CliCommand::Version:
        std::cout << version.m_strProductName << " Version " << version.m_strVersion << '\n';
        return kExitOk;
    case CliCommand::Init:
        return RunInit();
    case CliCommand::Scan:
    case CliCommand::Wipe:
        break;
    }
    std::string sourceRoot;
    if (!OpenSettings(request, version, sourceRoot))
        return kExitError;
    return request.m_nCommand == CliCommand::Scan ? RunScan(request, version, sourceRoot)
                                                  : RunWipe(request);
}
