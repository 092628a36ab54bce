// glosscutter-cli: the keyword engine without a window, for scripts and CI.

#include "AutoCheck.h"
#include "CliRequest.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "Report.h"
#include "TerminalProgress.h"
#include "UnifiedDiff.h"
#include "Version.h"
#include "Wipe.h"

#include <csignal>
#include <iostream>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnused = 1;
constexpr int kExitError = 2;

int Fail(const std::string& message) {
    std::cerr << "glosscutter-cli: " << message << '\n';
    return kExitError;
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
    return settings;
}

// Loads as the window's Reload does; says why on standard error when it cannot.
bool Load(CGlossCutterDoc& doc, const CLoadSettings& settings) {
    if (settings.m_strKeywordFile.empty()) {
        Fail("no keyword file: give --keyword-file, or set one in GlossCutter's Options");
        return false;
    }
    CTerminalProgress progress;
    doc.SetProgress(&progress);
    doc.Load(settings);
    doc.SetProgress(nullptr);
    if (const std::error_code& ec = doc.GetKeywordFileError()) {
        Fail("cannot read the keyword file " + settings.m_strKeywordFile + ": " + ec.message());
        return false;
    }
    doc.SortKeywords(SORT_BY_LINE, true);
    return true;
}

int RunScan(const CCliRequest& request) {
    const CLoadSettings settings = MergeSettings(request);
    CGlossCutterDoc doc;
    if (!Load(doc, settings))
        return kExitError;
    const CScanResult result{settings.m_strKeywordFile, doc.m_arrKeywords,
                             doc.GetScannedFileCount()};
    if (request.m_nFormat == ReportFormat::Json)
        WriteJsonReport(std::cout, result, request.m_bUnusedOnly);
    else
        WriteTextReport(std::cout, result);
    std::cout.flush();
    if (!std::cout)
        return Fail("cannot write the report");
    return request.m_bCheck && CountUnused(doc.m_arrKeywords) > 0 ? kExitUnused : kExitOk;
}

int RunWipe(const CCliRequest& request) {
    const CLoadSettings settings = MergeSettings(request);
    CGlossCutterDoc doc;
    if (!Load(doc, settings))
        return kExitError;
    AutoCheck(doc.m_arrKeywords);

    std::uint32_t operation = 0;
    if (request.m_nOperation)
        operation = *request.m_nOperation;
    else
        theOptions.GetUnusedKeywordsOperation(operation);

    const CWipeRequest wipe = doc.MakeWipeRequest(settings.m_strKeywordFile, operation);
    if (request.m_bDryRun) {
        WriteWipeDiff(std::cout, settings.m_strKeywordFile, *wipe.m_pLines, PlanWipe(wipe));
        return kExitOk;
    }
    const CWipeResult result = WipeKeywords(wipe);
    if (!result.Succeeded())
        return Fail(result.Describe(settings.m_strKeywordFile));
    std::cout << result.Describe(settings.m_strKeywordFile) << '\n';
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    // A file size limit then fails the write with an error we can report,
    // instead of killing the program halfway.
    std::signal(SIGXFSZ, SIG_IGN);

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
    case CliCommand::Scan:
    case CliCommand::Wipe:
        break;
    }
    theOptions.OpenSettingsKey(version.m_strCompanyName, version.m_strProductName);
    return request.m_nCommand == CliCommand::Scan ? RunScan(request) : RunWipe(request);
}
