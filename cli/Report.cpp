#include "Report.h"

#include "AutoCheck.h"
#include "Baseline.h"
#include "Finding.h"
#include "JsonWriter.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <functional>
#include <ostream>
#include <thread>
#include <unordered_map>

namespace {

void AppendNumber(std::string& out, long long value) {
    char digits[24];
    auto* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendLines(std::string& json, const std::vector<int>& lines) {
    json += '[';
    for (std::size_t i = 0; i < lines.size(); ++i) {
        json += i == 0 ? "" : ", ";
        AppendNumber(json, lines[i]);
    }
    json += ']';
}

std::string Summary(const CScanResult& result) {
    return std::to_string(result.m_arrKeywords.size()) + " keywords, " +
           std::to_string(CountUnused(result.m_arrKeywords, result.m_bStrict)) + " unused, " +
           std::to_string(result.m_nFiles) + " files scanned, " +
           std::to_string(result.m_nUnreadable) + " unreadable";
}

} // namespace

bool UseColour(ColourChoice choice, bool bTerminal, const char* pNoColor) {
    if (choice != ColourChoice::Auto)
        return choice == ColourChoice::Always;
    return bTerminal && (pNoColor == nullptr || *pNoColor == '\0');
}

std::string FormatDiagnostic(const CTextStyle& style, const std::string& strFile, int nLine,
                             bool bWarning, const std::string& strMessage) {
    // gcc's own colours: the place in bold, a warning magenta, a note cyan.
    constexpr std::string_view kBold = "\033[01m\033[K";
    constexpr std::string_view kMagenta = "\033[01;35m\033[K";
    constexpr std::string_view kCyan = "\033[01;36m\033[K";
    constexpr std::string_view kReset = "\033[m\033[K";
    const auto paint = [&](std::string_view colour, const std::string& text) {
        return style.m_bColour ? std::string(colour) + text + std::string(kReset) : text;
    };
    return paint(kBold, strFile + ':' + std::to_string(nLine) + ':') + ' ' +
           paint(bWarning ? kMagenta : kCyan, bWarning ? "warning:" : "note:") + ' ' + strMessage;
}

std::vector<std::string> StaleBaselineNotes(const CScanResult& result, const CTextStyle& style) {
    std::vector<std::string> notes;
    if (result.m_pBaseline == nullptr)
        return notes;
    for (const auto& [nLine, symbol] :
         result.m_pBaseline->StaleEntries(CollectFindings(result, true)))
        notes.push_back(FormatDiagnostic(style, result.m_pBaseline->GetPath(), nLine, false,
                                         symbol + " is no longer needed in the baseline"));
    return notes;
}

void WriteTextReport(std::ostream& out, const CScanResult& result, const CTextStyle& style) {
    for (const CFinding& finding : CollectFindings(result))
        out << FormatDiagnostic(style, result.m_strKeywordFile, finding.m_pKeyword->m_nLine,
                                finding.m_nLevel == FindingLevel::Warning, finding.m_strMessage)
            << '\n';
    for (const std::string& note : StaleBaselineNotes(result, style))
        out << note << '\n';
    if (style.m_bSummary)
        out << Summary(result) << '\n';
}

namespace {

// A keyword's uses, or some of them: its object is opened before the first
// and closed after the last.
struct CJsonPiece {
    const CKeyword* m_pKeyword = nullptr;
    std::size_t m_nFirstUse = 0;
    std::size_t m_nEndUse = 0;
    bool m_bFirstKeyword = false;
};

// Pieces of about kUsesPerBatch uses together make a batch of the report,
// which a thread builds at once; a keyword of many uses spreads over several.
constexpr std::size_t kUsesPerBatch = 1024;
constexpr std::size_t kKeywordsPerBatch = 256;

std::vector<std::vector<CJsonPiece>> JsonBatches(const CScanResult& result, bool bUnusedOnly) {
    std::vector<std::vector<CJsonPiece>> batches(1);
    std::size_t nUsesInBatch = 0;
    bool bFirst = true;
    for (const auto& keyword : result.m_arrKeywords) {
        if (bUnusedOnly && !keyword->IsUnused(result.m_bStrict))
            continue;
        const std::size_t nUses = keyword->m_listUsed.size();
        std::size_t first = 0;
        do {
            if (nUsesInBatch >= kUsesPerBatch || batches.back().size() >= kKeywordsPerBatch) {
                batches.emplace_back();
                nUsesInBatch = 0;
            }
            const std::size_t end = std::min(nUses, first + (kUsesPerBatch - nUsesInBatch));
            batches.back().push_back({keyword.get(), first, end, bFirst});
            nUsesInBatch += end - first;
            bFirst = false;
            first = end;
        } while (first < nUses);
    }
    return batches;
}

// The JSON of the load's paths. Most paths are printable ASCII without a
// quote or a backslash, and their JSON is the path in quotes: a byte for each
// path tells, found before the threads build. The others are escaped once, in
// advance, since a file's uses of many keywords share them.
class CPathJson final {
public:
    explicit CPathJson(const std::vector<std::string>* pPaths) : m_pPaths(pPaths) {
        if (pPaths == nullptr)
            return;
        m_arrPlain.resize(pPaths->size());
        for (std::size_t k = 0; k < pPaths->size(); ++k) {
            const std::string& path = (*pPaths)[k];
            m_arrPlain[k] = std::all_of(path.begin(), path.end(), IsPlainJsonByte) ? 1 : 0;
            if (m_arrPlain[k] == 0)
                AppendJsonPath(m_mapEscaped[k], path);
        }
    }

    void Append(std::string& json, const CUsed& used) const {
        const std::size_t k = IndexOf(used);
        if (k == kNone) {
            AppendJsonPath(json, used.m_strFile);
        } else if (m_arrPlain[k] != 0) {
            json += '"';
            json += used.m_strFile.Get();
            json += '"';
        } else {
            json += m_mapEscaped.at(k);
        }
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Where the use's path is among the load's, or kNone.
    std::size_t IndexOf(const CUsed& used) const {
        const std::string* pPath = used.m_strFile.GetAddress();
        const std::less_equal<> notAfter;
        if (m_pPaths == nullptr || m_pPaths->empty() || !notAfter(m_pPaths->data(), pPath) ||
            !notAfter(pPath, &m_pPaths->back()))
            return kNone;
        return static_cast<std::size_t>(pPath - m_pPaths->data());
    }

    const std::vector<std::string>* m_pPaths;
    std::vector<char> m_arrPlain;
    std::unordered_map<std::size_t, std::string> m_mapEscaped;
};

void AppendJsonPiece(std::string& json, const CJsonPiece& piece, const CScanResult& result,
                     const CPathJson& paths) {
    const CKeyword& keyword = *piece.m_pKeyword;
    if (piece.m_nFirstUse == 0) {
        json += piece.m_bFirstKeyword ? "\n  " : ",\n  ";
        json += "{\"line\": ";
        AppendNumber(json, keyword.m_nLine);
        json += ", \"symbol\": ";
        AppendJsonString(json, keyword.m_strSymbol);
        json += ", \"value\": ";
        AppendJsonString(json, keyword.m_strValue);
        json += R"(, "status": ")";
        json += KeywordStatusName(keyword.GetStatus());
        if (result.m_pBaseline != nullptr)
            json += result.m_pBaseline->Contains(keyword.m_strSymbol) ? R"(", "baselined": true)"
                                                                      : R"(", "baselined": false)";
        json += keyword.m_bMarked ? R"(", "marked": true, "sameSymbol": )"
                                  : R"(", "marked": false, "sameSymbol": )";
        AppendLines(json, keyword.m_arrSameSymbolLines);
        json += R"(, "sameValue": )";
        AppendLines(json, keyword.m_arrSameValueLines);
        json += R"(, "uses": [)";
    }
    for (std::size_t u = piece.m_nFirstUse; u < piece.m_nEndUse; ++u) {
        const CUsed& used = keyword.m_listUsed[u];
        json += u == 0 ? "{\"file\": " : ", {\"file\": ";
        paths.Append(json, used);
        json += ", \"line\": ";
        AppendNumber(json, used.m_nLine);
        json += R"(, "kind": ")";
        json += UseKindName(used.m_kind);
        json += "\"}";
    }
    if (piece.m_nEndUse == keyword.m_listUsed.size())
        json += "]}";
}

// Builds `nItems` texts with `build` on `nThreads` threads and writes them
// in order. Each thread has two slots: a text waits there to be written, and
// one further than that waits for a slot.
void WriteInOrder(std::ostream& out, std::size_t nItems, unsigned nThreads,
                  const std::function<void(std::size_t k, std::string& text)>& build) {
    const auto write = [&](const std::string& text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    };
    if (nThreads <= 1 || nItems <= 1) {
        std::string text;
        for (std::size_t k = 0; k < nItems; ++k) {
            text.clear();
            build(k, text);
            write(text);
        }
        return;
    }
    // A cache line each: the threads fill theirs at once.
    struct alignas(64) CSlot {
        std::string m_strText;
        std::atomic<std::size_t> m_nReady{0}; // the item it holds, plus one
    };
    const std::size_t nSlots = std::size_t{2} * nThreads;
    std::vector<CSlot> slots(nSlots);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> written{0};
    const auto builder = [&] {
        for (std::size_t k = next++; k < nItems; k = next++) {
            for (std::size_t w = written.load(); k >= w + nSlots; w = written.load())
                written.wait(w);
            CSlot& slot = slots[k % nSlots];
            slot.m_strText.clear();
            build(k, slot.m_strText);
            slot.m_nReady.store(k + 1);
            slot.m_nReady.notify_one();
        }
    };
    {
        std::vector<std::jthread> builders;
        for (unsigned t = 0; t < nThreads; ++t)
            builders.emplace_back(builder);
        for (std::size_t k = 0; k < nItems; ++k) {
            CSlot& slot = slots[k % nSlots];
            for (std::size_t r = slot.m_nReady.load(); r != k + 1; r = slot.m_nReady.load())
                slot.m_nReady.wait(r);
            write(slot.m_strText);
            written.store(k + 1);
            written.notify_all();
        }
    }
}

} // namespace

void WriteJsonReport(std::ostream& out, const CScanResult& result, bool bUnusedOnly) {
    // The uses go out in batches that the threads build in turn: a large tree
    // has hundreds of thousands of them, and a stream insertion per field
    // would dominate.
    std::string json = "{\"keywordFile\": ";
    AppendJsonPath(json, result.m_strKeywordFile);
    json += ", \"keywords\": [";
    out.write(json.data(), static_cast<std::streamsize>(json.size()));
    const std::vector<std::vector<CJsonPiece>> batches = JsonBatches(result, bUnusedOnly);
    const CPathJson paths(result.m_pSourcePaths);
    WriteInOrder(out, batches.size(), result.m_nThreads, [&](std::size_t k, std::string& text) {
        for (const CJsonPiece& piece : batches[k])
            AppendJsonPiece(text, piece, result, paths);
    });
    json.clear();
    const auto count = [&](KeywordStatus status) {
        return std::to_string(CountWithStatus(result.m_arrKeywords, status));
    };
    json += "\n], \"summary\": {\"keywords\": " + std::to_string(result.m_arrKeywords.size()) +
            ", \"unused\": " + std::to_string(CountUnused(result.m_arrKeywords, result.m_bStrict)) +
            ", \"mentioned\": " + count(KeywordStatus::Mentioned) +
            ", \"kept\": " + count(KeywordStatus::Kept) +
            ", \"marked\": " + count(KeywordStatus::Marked) +
            ", \"files\": " + std::to_string(result.m_nFiles) +
            ", \"unreadable\": " + std::to_string(result.m_nUnreadable) + "}}\n";
    out.write(json.data(), static_cast<std::streamsize>(json.size()));
}
