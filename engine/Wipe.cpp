#include "Wipe.h"

#include "FileRead.h"
#include "FileReplace.h"
#include "KeywordFileReader.h"

std::vector<LineFate> PlanWipe(const CLineArray& lines, const CKeywordArray& table,
                               unsigned operation) {
    const bool bRemove = operation == WIPE_REMOVE;
    std::vector<LineFate> fates(lines.size(), LineFate::Keep);
    for (const auto& keyword : table) {
        const auto index = static_cast<std::size_t>(keyword->m_nLine) - 1;
        if (keyword->m_nLine < 1 || index >= lines.size())
            continue; // not a line of these lines: nothing to wipe
        if (keyword->m_bChecked || (bRemove && keyword->m_bMarked))
            fates[index] = bRemove ? LineFate::Remove : LineFate::Mark;
    }
    if (bRemove) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].m_strText.find(kWipeMarker) != std::string::npos)
                fates[i] = LineFate::Remove;
        }
    }
    return fates;
}

std::string ApplyWipe(const CLineArray& lines, const std::vector<LineFate>& fates) {
    std::string content;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (fates[i] == LineFate::Remove)
            continue;
        if (fates[i] == LineFate::Mark)
            content += kWipeMarker;
        content += lines[i].m_strText;
        content += LineBreakBytes(lines[i].m_nBreak);
    }
    return content;
}

std::string BackupPathFor(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.rfind('.');
    // A name's leading dot (".keys") starts no extension.
    const bool bHasExtension = dot != std::string::npos && dot > nameStart;
    if (!bHasExtension || std::string_view(path).substr(dot) == ".bak")
        return path + ".bak";
    return path.substr(0, dot) + ".bak";
}

std::string CWipeResult::Describe(const std::string& path) const {
    const std::string reason = m_error ? ": " + m_error.message() : std::string();
    switch (m_nStatus) {
    case WipeStatus::Done:
        return "Wiped " + std::to_string(m_nWiped) + (m_nWiped == 1 ? " line" : " lines") + " of " +
               path + "; the old file is in " + m_strBackup + ".";
    case WipeStatus::NotLoaded:
        return "The keyword file " + path +
               " is not the one that was loaded last. Reload, then wipe again.";
    case WipeStatus::FileChanged:
        return "The keyword file " + path +
               " has changed since it was loaded. Reload, then wipe again.";
    case WipeStatus::ReadFailed:
        return "Cannot read the keyword file " + path + reason + ". Nothing was changed.";
    case WipeStatus::BackupFailed:
        return "Cannot write the backup " + m_strBackup + reason + ". Nothing was changed.";
    case WipeStatus::WriteFailed:
        return "Cannot rewrite the keyword file " + path + reason +
               ". The file is unchanged; its backup is " + m_strBackup + ".";
    }
    return {};
}

bool CWipeRequest::IsForLoadedFile() const {
    return m_pKeywords != nullptr && m_pLines != nullptr && !m_strKeywordFile.empty() &&
           m_strKeywordFile == m_strLinesFile;
}

std::vector<LineFate> PlanWipe(const CWipeRequest& request) {
    return PlanWipe(*request.m_pLines, *request.m_pKeywords, request.m_nOperation);
}

CWipeResult WipeKeywords(const CWipeRequest& request) {
    CWipeResult result;
    if (!request.IsForLoadedFile()) {
        result.m_nStatus = WipeStatus::NotLoaded;
        return result;
    }
    const std::string& path = request.m_strKeywordFile;
    const CLineArray& lines = *request.m_pLines;
    std::string current;
    if ((result.m_error = files::ReadWholeFile(path, current))) {
        result.m_nStatus = WipeStatus::ReadFailed;
        return result;
    }
    if (current != JoinLines(lines)) {
        result.m_nStatus = WipeStatus::FileChanged;
        return result;
    }

    const std::vector<LineFate> fates = PlanWipe(request);
    const std::string content = ApplyWipe(lines, fates);

    result.m_strBackup = BackupPathFor(path);
    if ((result.m_error = files::WriteFileLike(result.m_strBackup, current, path))) {
        result.m_nStatus = WipeStatus::BackupFailed;
        return result;
    }
    for (const LineFate fate : fates)
        result.m_nWiped += fate != LineFate::Keep ? 1 : 0;
    if (content == current)
        return result;
    // Writing and syncing take a while: an editor may save the file meanwhile,
    // and its bytes must not be lost to ours.
    bool bChangedMeanwhile = false;
    const auto stillAsRead = [&]() -> std::error_code {
        std::string now;
        if (auto ec = files::ReadWholeFile(path, now))
            return ec;
        bChangedMeanwhile = now != current;
        return bChangedMeanwhile ? std::make_error_code(std::errc::operation_canceled)
                                 : std::error_code();
    };
    if ((result.m_error = files::ReplaceFileContent(path, content, stillAsRead))) {
        result.m_nStatus = bChangedMeanwhile ? WipeStatus::FileChanged : WipeStatus::WriteFailed;
        if (bChangedMeanwhile)
            result.m_error.clear();
        result.m_nWiped = 0;
    }
    return result;
}
