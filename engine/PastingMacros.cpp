#include "PastingMacros.h"

#include "CalledNames.h"
#include "SourceLexer.h"
#include "SymbolIndex.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <map>
#include <span>
#include <unordered_set>

namespace {

constexpr int kForwardingLevels = 4;

bool IsIdentifier(std::string_view text) {
    return !text.empty() && !(text[0] >= '0' && text[0] <= '9') &&
           std::all_of(text.begin(), text.end(), [](char c) { return IsIdentifierByte(c); });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpaceByte(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpaceByte(text.back()))
        text.remove_suffix(1);
    return text;
}

// The end of the literal that starts at `text[start]`, escapes followed.
std::size_t SkipLiteral(std::string_view text, std::size_t start) {
    std::size_t k = start + 1;
    while (k < text.size() && text[k] != text[start])
        k += text[k] == '\\' ? 2 : 1;
    return std::min(k + 1, text.size());
}

// The definition as one line: backslash-newlines joined, comments made blanks.
std::string JoinLogicalLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t k = 0; k < text.size();) {
        const char c = text[k];
        if (c == '\\' && k + 1 < text.size() && (text[k + 1] == '\n' || text[k + 1] == '\r')) {
            k += text.compare(k + 1, 2, "\r\n") == 0 ? 3 : 2;
        } else if (c == '/' && text.compare(k, 2, "/*") == 0) {
            const std::size_t close = text.find("*/", k + 2);
            k = close == std::string_view::npos ? text.size() : close + 2;
            line += ' ';
        } else if (c == '/' && text.compare(k, 2, "//") == 0) {
            break;
        } else if (c == '"' || c == '\'') {
            const std::size_t end = SkipLiteral(text, k);
            line.append(text.substr(k, end - k));
            k = end;
        } else {
            line += c;
            ++k;
        }
    }
    return line;
}

// Identifiers, "##", literals and single other bytes; blanks dropped.
std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    for (std::size_t k = 0; k < text.size();) {
        std::size_t end = k + 1;
        if (IsSpaceByte(text[k])) {
            ++k;
            continue;
        }
        if (IsIdentifierByte(text[k])) {
            while (end < text.size() && IsIdentifierByte(text[end]))
                ++end;
        } else if (text[k] == '"' || text[k] == '\'') {
            end = SkipLiteral(text, k);
        } else if (text.compare(k, 2, "##") == 0) {
            end = k + 2;
        }
        tokens.push_back(text.substr(k, end - k));
        k = end;
    }
    return tokens;
}

void AddPrefix(CPastingMacros::CArgumentPrefixes& prefixes, std::size_t nArgument,
               const std::string& prefix) {
    if (prefixes.size() <= nArgument)
        prefixes.resize(nArgument + 1);
    auto& list = prefixes[nArgument];
    if (std::find(list.begin(), list.end(), prefix) == list.end())
        list.push_back(prefix);
}

// The arguments of the invocation whose '(' is at `text[open]`; none when it is not closed.
std::vector<std::string_view> Arguments(std::string_view text, std::size_t open) {
    std::vector<std::string_view> arguments;
    int nDepth = 0;
    std::size_t start = open + 1;
    for (std::size_t k = open + 1; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '"' || c == '\'') {
            k = SkipLiteral(text, k) - 1;
        } else if (c == '(') {
            ++nDepth;
        } else if ((c == ')' && nDepth == 0) || (c == ',' && nDepth == 0)) {
            arguments.push_back(Trim(text.substr(start, k - start)));
            start = k + 1;
            if (c == ')')
                return arguments;
        } else if (c == ')') {
            --nDepth;
        }
    }
    return {}; // unclosed: no invocation
}

// Line breaks in `text` as ReadLines counts them: CR LF, LF or a lone CR.
std::int64_t CountBreaks(std::string_view text, bool& bAfterCr) {
    std::int64_t nBreaks = 0;
    for (const char c : text) {
        nBreaks += c == '\r' || (c == '\n' && !bAfterCr) ? 1 : 0;
        bAfterCr = c == '\r';
    }
    return nBreaks;
}

// Whether tokens[k] is the "##" of PREFIX ## PARAMETER, with a prefix that
// starts with "g" and nothing pasted before or after.
bool IsPastedOntoPrefix(const std::vector<std::string_view>& tokens, std::size_t body,
                        std::size_t k) {
    return tokens[k] == "##" && k > body && k + 1 < tokens.size() && tokens[k - 1].front() == 'g' &&
           IsIdentifier(tokens[k - 1]) && (k < body + 2 || tokens[k - 2] != "##") &&
           (k + 2 >= tokens.size() || tokens[k + 2] != "##");
}

// Pasting takes a "##"; handing a parameter on takes a second '('. Most
// definitions are told apart on these bytes alone, without joining the line.
bool MayPaste(std::string_view text) {
    // "##", or a '#' that a backslash-newline may join to the next.
    for (std::size_t k = text.find('#'); k != std::string_view::npos; k = text.find('#', k + 1)) {
        if (k + 1 < text.size() && (text[k + 1] == '#' || text[k + 1] == '\\'))
            return true;
    }
    return false;
}

bool MayHandOn(std::string_view text) {
    return std::count(text.begin(), text.end(), '(') >= 2;
}

bool MayPasteOrHandOn(std::string_view text) {
    return IsFunctionLikeDefinition(text) && (MayPaste(text) || MayHandOn(text));
}

// Whether the `name` of a definition is called in its body, as far as the
// bytes after it tell: a '(' follows it, or what a comment or a
// backslash-newline may part from one.
bool MayBeCalled(std::string_view definition, std::string_view name) {
    auto next = static_cast<std::size_t>(name.data() + name.size() - definition.data());
    while (next < definition.size() && (IsSpaceByte(definition[next]) || definition[next] == '\\'))
        ++next;
    return next < definition.size() && (definition[next] == '(' || definition[next] == '/');
}

std::vector<const CMacroDefinition*>
Flatten(const std::vector<std::vector<CMacroDefinition>>& lists) {
    std::vector<const CMacroDefinition*> definitions;
    for (const auto& list : lists)
        for (const CMacroDefinition& definition : list)
            definitions.push_back(&definition);
    return definitions;
}

} // namespace

std::optional<CMacroDefinition> ParseMacroDefinition(std::string_view text) {
    if (!MayPasteOrHandOn(text))
        return std::nullopt;
    const std::string line = JoinLogicalLine(text);
    const std::vector<std::string_view> tokens = Tokens(line);
    // NAME ( PARAMETERS ) with no blank between the name and its '('.
    if (tokens.size() < 3 || !IsIdentifier(tokens[0]) || tokens[1] != "(" ||
        tokens[0].data() + tokens[0].size() != tokens[1].data())
        return std::nullopt;
    CMacroDefinition definition;
    definition.m_strName = tokens[0];
    std::vector<std::string_view> parameters;
    std::size_t k = 2;
    for (; k < tokens.size() && tokens[k] != ")"; ++k) {
        if (tokens[k] != ",")
            parameters.push_back(tokens[k]);
    }
    const auto parameter = [&](std::string_view token) {
        return static_cast<std::size_t>(std::find(parameters.begin(), parameters.end(), token) -
                                        parameters.begin());
    };
    definition.m_arrPrefixes.resize(parameters.size());
    const std::size_t body = k + 1;
    for (k = body; k < tokens.size(); ++k) {
        const std::string_view token = tokens[k];
        if (IsPastedOntoPrefix(tokens, body, k)) {
            const std::size_t index = parameter(tokens[k + 1]);
            if (index < parameters.size())
                AddPrefix(definition.m_arrPrefixes, index, std::string(tokens[k - 1]));
        }
        // OTHER ( ... PARAMETER ... ), the parameter standing alone as an argument.
        if (IsIdentifier(token) && k + 1 < tokens.size() && tokens[k + 1] == "(") {
            const auto open = static_cast<std::size_t>(tokens[k + 1].data() - line.data());
            const std::vector<std::string_view> arguments = Arguments(line, open);
            for (std::size_t a = 0; a < arguments.size(); ++a) {
                const std::size_t index = parameter(arguments[a]);
                if (index < parameters.size())
                    definition.m_arrForwards.push_back({std::string(token), a, index});
            }
        }
    }
    if (!definition.Pastes() && definition.m_arrForwards.empty())
        return std::nullopt;
    return definition;
}

bool CMacroDefinition::Pastes() const {
    return std::any_of(m_arrPrefixes.begin(), m_arrPrefixes.end(),
                       [](const auto& prefixes) { return !prefixes.empty(); });
}

bool AnyPastes(const std::vector<CMacroDefinition>& macros) {
    return std::any_of(macros.begin(), macros.end(),
                       [](const CMacroDefinition& macro) { return macro.Pastes(); });
}

void CForwardingTexts::Add(std::string_view text) {
    // The names the body may call, past the macro's own, found once here
    // rather than in every round of AddForwardingMacros.
    const auto nameEnd = static_cast<std::size_t>(
        std::find_if_not(text.begin(), text.end(), [](char c) { return IsIdentifierByte(c); }) -
        text.begin());
    for (std::size_t k = nameEnd; k < text.size();) {
        if (!IsIdentifierByte(text[k])) {
            ++k;
            continue;
        }
        const std::size_t start = k;
        while (k < text.size() && IsIdentifierByte(text[k]))
            ++k;
        const std::string_view name = text.substr(start, k - start);
        if (MayBeCalled(text, name))
            m_arrCalls.push_back(CCalledNames::Hash(name));
    }
    if (m_arrCalls.size() == (m_arrEnds.empty() ? 0 : m_arrEnds.back().m_nCalls))
        return; // it calls nothing, so it hands nothing on
    m_strTexts.append(text);
    m_arrEnds.push_back({static_cast<std::uint32_t>(m_strTexts.size()),
                         static_cast<std::uint32_t>(m_arrCalls.size())});
}

std::string_view CForwardingTexts::Get(std::size_t k) const {
    const std::size_t start = k == 0 ? 0 : m_arrEnds[k - 1].m_nText;
    return std::string_view(m_strTexts).substr(start, m_arrEnds[k].m_nText - start);
}

std::span<const std::uint32_t> CForwardingTexts::GetCalls(std::size_t k) const {
    const std::size_t start = k == 0 ? 0 : m_arrEnds[k - 1].m_nCalls;
    return std::span(m_arrCalls).subspan(start, m_arrEnds[k].m_nCalls - start);
}

void AddMacroDefinitions(const std::vector<std::string>& texts,
                         std::vector<CMacroDefinition>& macros, CForwardingTexts* pForwarding) {
    for (const std::string& text : texts) {
        if (pForwarding != nullptr && IsFunctionLikeDefinition(text) && !MayPaste(text)) {
            if (MayHandOn(text))
                pForwarding->Add(text);
        } else if (auto macro = ParseMacroDefinition(text)) {
            macros.push_back(std::move(*macro));
        }
    }
}

void AddTextDefinitions(std::string_view text, std::vector<CMacroDefinition>& macros,
                        CForwardingTexts* pForwarding) {
    std::vector<std::string> definitions;
    CSourceLexer lexer(&definitions);
    lexer.BeginPiece(text);
    lexer.EndPiece();
    lexer.Finish();
    AddMacroDefinitions(definitions, macros, pForwarding);
}

namespace {

// The definitions found while the forwarding texts are parsed, and all the
// others, as one list that stays where it is while it grows.
struct CKnownMacros {
    std::deque<CMacroDefinition> m_listFound;
    std::vector<const CMacroDefinition*> m_arrAll;
};

// Parses the texts not parsed yet that may call one of `names`.
void ParseCalling(const CForwardingFiles& forwarding,
                  std::map<std::size_t, std::vector<bool>>& parsed,
                  const CCalledNames::CLookup& names, CKnownMacros& known) {
    for (const auto& [file, texts] : forwarding) {
        std::vector<bool>& done = parsed[file];
        done.resize(texts.GetCount());
        for (std::size_t k = 0; k < texts.GetCount(); ++k) {
            const std::span<const std::uint32_t> calls = texts.GetCalls(k);
            if (done[k] || std::none_of(calls.begin(), calls.end(),
                                        [&](std::uint32_t hash) { return names.Contains(hash); }))
                continue;
            done[k] = true;
            if (auto macro = ParseMacroDefinition(texts.Get(k))) {
                known.m_listFound.push_back(std::move(*macro));
                known.m_arrAll.push_back(&known.m_listFound.back());
            }
        }
    }
}

// The names not `reached` yet of the macros that hand a parameter on to one
// that is.
std::vector<std::string_view> NamesHandingOn(const std::vector<const CMacroDefinition*>& macros,
                                             const std::unordered_set<std::string_view>& reached) {
    std::vector<std::string_view> names;
    for (const CMacroDefinition* pDefinition : macros) {
        if (!reached.contains(pDefinition->m_strName) &&
            std::any_of(pDefinition->m_arrForwards.begin(), pDefinition->m_arrForwards.end(),
                        [&](const CMacroDefinition::CForward& forward) {
                            return reached.contains(forward.m_strMacro);
                        }))
            names.push_back(pDefinition->m_strName);
    }
    return names;
}

} // namespace

void AddForwardingMacros(const CForwardingFiles& forwarding,
                         std::vector<std::vector<CMacroDefinition>>& lists,
                         const std::function<void(const CCalledNames::CLookup& names)>& fetch) {
    // Outwards from the macros that paste, round by round: the texts that may
    // call a macro reached in the round before are parsed, and the macros
    // that hand a parameter on to one are reached in this one. A text parsed
    // for a call that hands nothing on costs no result; a macro further out
    // than four rounds pastes nothing (CPastingMacros).
    CKnownMacros known;
    known.m_arrAll = Flatten(lists);
    std::vector<std::string_view> frontier;
    for (const CMacroDefinition* pDefinition : known.m_arrAll) {
        if (pDefinition->Pastes())
            frontier.push_back(pDefinition->m_strName);
    }
    std::unordered_set<std::string_view> reached(frontier.begin(), frontier.end());
    std::map<std::size_t, std::vector<bool>> parsed;
    for (int nRound = 0; nRound < kForwardingLevels && !frontier.empty(); ++nRound) {
        std::vector<std::uint32_t> hashes(frontier.size());
        std::transform(frontier.begin(), frontier.end(), hashes.begin(), CCalledNames::Hash);
        const CCalledNames::CLookup lookup(std::move(hashes));
        if (fetch) {
            const std::size_t nLists = lists.size();
            fetch(lookup);
            // Moved with their lists, the definitions stay where they are.
            for (std::size_t k = nLists; k < lists.size(); ++k)
                for (const CMacroDefinition& definition : lists[k])
                    known.m_arrAll.push_back(&definition);
        }
        ParseCalling(forwarding, parsed, lookup, known);
        frontier.clear();
        for (const std::string_view name : NamesHandingOn(known.m_arrAll, reached)) {
            if (reached.insert(name).second)
                frontier.push_back(name);
        }
    }
    if (!known.m_listFound.empty())
        lists.emplace_back(std::make_move_iterator(known.m_listFound.begin()),
                           std::make_move_iterator(known.m_listFound.end()));
}

CPastingMacros::CPastingMacros(const std::vector<std::vector<CMacroDefinition>>& lists) {
    const std::vector<const CMacroDefinition*> definitions = Flatten(lists);
    std::unordered_map<std::string, CArgumentPrefixes> level;
    for (const CMacroDefinition* pDefinition : definitions) {
        for (std::size_t a = 0; a < pDefinition->m_arrPrefixes.size(); ++a) {
            for (const std::string& prefix : pDefinition->m_arrPrefixes[a])
                AddPrefix(level[pDefinition->m_strName], a, prefix);
        }
    }
    // Each round lets the macros that hand a parameter on paste one level further.
    for (int nRound = 0; nRound < kForwardingLevels && !level.empty(); ++nRound) {
        auto next = level;
        for (const CMacroDefinition* pDefinition : definitions) {
            for (const auto& forward : pDefinition->m_arrForwards) {
                const auto found = level.find(forward.m_strMacro);
                if (found == level.end() || found->second.size() <= forward.m_nArgument)
                    continue;
                for (const std::string& prefix : found->second[forward.m_nArgument])
                    AddPrefix(next[pDefinition->m_strName], forward.m_nParameter, prefix);
            }
        }
        level = std::move(next);
    }
    for (auto& [name, prefixes] : level) {
        m_nShortestName =
            m_mapPrefixes.empty() ? name.size() : std::min(m_nShortestName, name.size());
        m_nLongestName = std::max(m_nLongestName, name.size());
        m_arrFirstBytes[static_cast<unsigned char>(name[0])] = true;
        m_mapPrefixes.emplace(name, std::move(prefixes));
    }
}

const CPastingMacros::CArgumentPrefixes* CPastingMacros::Find(std::string_view name) const {
    if (name.size() < m_nShortestName || name.size() > m_nLongestName ||
        !m_arrFirstBytes[static_cast<unsigned char>(name[0])])
        return nullptr;
    const auto found = m_mapPrefixes.find(name);
    return found == m_mapPrefixes.end() ? nullptr : &found->second;
}

std::vector<std::uint32_t> CPastingMacros::GetNameHashes() const {
    std::vector<std::uint32_t> hashes;
    for (const auto& entry : m_mapPrefixes)
        hashes.push_back(CCalledNames::Hash(entry.first));
    return hashes;
}

std::vector<CPastingMacros::CPlace> CPastingMacros::FindPlaces(std::string_view text) const {
    // An invocation has its "(": each one found, the identifier before it is
    // looked up once, whatever the number of macros.
    std::vector<CPlace> places;
    for (std::size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        const std::string_view name = NameBeforeParenthesis(text, open);
        if (name.empty())
            continue;
        if (const CArgumentPrefixes* pPrefixes = Find(name))
            places.push_back(
                {static_cast<std::size_t>(name.data() - text.data()), open, pPrefixes});
    }
    return places;
}

void CPastingMacros::FindUses(const CSymbolIndex& index, std::string_view text,
                              CSourceUseArray& uses) const {
    CSourceLexer lexer;
    lexer.BeginPiece(text);
    std::int64_t nLine = 1;
    std::size_t counted = 0;
    bool bAfterCr = false;
    for (const CPlace& place : FindPlaces(text)) {
        nLine += CountBreaks(text.substr(counted, place.m_nAt - counted), bAfterCr);
        counted = place.m_nAt;
        const UseKind kind = lexer.KindAt(text.data() + place.m_nAt);
        const CSourceUse use{nullptr, ClampLine(nLine),
                             kind == UseKind::Code ? UseKind::Pasted : kind};
        AddPastedUses(index, *place.m_pPrefixes, Arguments(text, place.m_nOpen), use, uses);
    }
    // The lexer has gone as far as the last invocation: what follows it has no
    // kind to tell, and this lexer captures no definitions.
}

void CPastingMacros::AddPastedUses(const CSymbolIndex& index, const CArgumentPrefixes& prefixes,
                                   const std::vector<std::string_view>& arguments,
                                   const CSourceUse& use, CSourceUseArray& uses) {
    for (std::size_t a = 0; a < arguments.size() && a < prefixes.size(); ++a) {
        if (!IsIdentifier(arguments[a]))
            continue;
        for (const std::string& prefix : prefixes[a]) {
            if (CKeyword* keyword = index.Find(prefix + std::string(arguments[a])))
                uses.push_back({keyword, use.m_nLine, use.m_kind});
        }
    }
}
