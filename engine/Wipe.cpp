#include "Wipe.h"

#include "ByteString.h"
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
            if (bytes::TrimLeft(lines[i].m_strText, " \t").starts_with(kWipeMarker))
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

namespace {

// Why a refusal protects the user, and what they can do about it.
std::string RefusalAdvice(const std::string& path, const std::error_code& ec) {
    if (ec == files::FileError::WriteProtected)
        return " To wipe it, make it writable (chmod u+w " + path + "), then wipe again.";
    if (ec == files::FileError::HardLinked)
        return " It has " + std::to_string(files::LinkCount(path)) +
               " names; a new file under this one would leave the others with the old text.";
    if (ec == files::FileError::NotRegularFile)
        return " A pipe, device or folder can be read but not rewritten; name the header itself.";
    if (ec == files::FileError::OwnerNotKept)
        return " The new file would no longer belong to " + files::OwnerOf(path) +
               "; let that user (or root) wipe it.";
    return {};
}

} // namespace

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
    case WipeStatus::Unchanged:
        return path + ": nothing to wipe. The file and its backup are as they were.";
    case WipeStatus::Refused:
        return "Cannot wipe the keyword file " + path + reason + ". Nothing was changed." +
               RefusalAdvice(path, m_error);
    case WipeStatus::BackupIsKeywordFile:
        return "The backup " + m_strBackup + " and the keyword file " + path +
               " are one file, through a link; the backup would take the old text's place. "
               "Nothing was changed; remove the link, or give the real file's name.";
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
    // Before the file is read again: a pipe would not give its bytes twice.
    if ((result.m_error = files::CheckReplaceable(path))) {
        result.m_nStatus = result.m_error.category() == files::FileErrorCategory()
                               ? WipeStatus::Refused
                               : WipeStatus::ReadFailed;
        return result;
    }
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
    // Not even the backup: an older one may hold the only copy of an older text.
    if (content == current) {
        result.m_nStatus = WipeStatus::Unchanged;
        return result;
    }
    result.m_strBackup = BackupPathFor(path);
    if (files::IsSameFile(result.m_strBackup, path)) {
        result.m_nStatus = WipeStatus::BackupIsKeywordFile;
        return result;
    }
    if ((result.m_error = files::WriteFileLike(result.m_strBackup, current, path))) {
        result.m_nStatus = WipeStatus::BackupFailed;
        return result;
    }
    for (const LineFate fate : fates)
        result.m_nWiped += fate != LineFate::Keep ? 1 : 0;
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
