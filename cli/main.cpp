// glosscutter-cli: the keyword engine without a window, for scripts and CI.

#include "AutoCheck.h"
#include "CliRequest.h"
#include "DescriptorBuffer.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "Report.h"
#include "TerminalProgress.h"
#include "UnifiedDiff.h"
#include "Version.h"
#include "Wipe.h"

#include <algorithm>
#include <csignal>
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
    settings.m_listKeptPatterns.insert(settings.m_listKeptPatterns.end(),
                                       request.m_listKeptPatterns.begin(),
                                       request.m_listKeptPatterns.end());
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
    TellUnreadable(doc.GetUnreadable());
    doc.SortKeywords(SORT_BY_LINE, true);
    return true;
}

int RunScan(const CCliRequest& request) {
    const CLoadSettings settings = MergeSettings(request);
    CGlossCutterDoc doc;
    if (!Load(doc, settings))
        return kExitError;
    const CScanResult result{settings.m_strKeywordFile, doc.m_arrKeywords,
                             doc.GetScannedFileCount(), doc.GetUnreadable().size(),
                             request.m_bStrict};
    CStandardOutput out;
    if (request.m_nFormat == ReportFormat::Json)
        WriteJsonReport(out.Stream(), result, request.m_bUnusedOnly);
    else
        WriteTextReport(out.Stream(), result);
    const bool bFound = CountUnused(doc.m_arrKeywords, request.m_bStrict) > 0;
    return out.Finish(request.m_bCheck && bFound ? kExitUnused : kExitOk, "the report");
}

int RunWipe(const CCliRequest& request) {
    const CLoadSettings settings = MergeSettings(request);
    CGlossCutterDoc doc;
    if (!Load(doc, settings))
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
    out.Stream() << result.Describe(settings.m_strKeywordFile) << '\n';
    return out.Finish(kExitOk, "the result");
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
