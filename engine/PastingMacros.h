#pragma once

#include "CalledNames.h"
#include "SourceTokenizer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CSymbolIndex;

// What a function-like macro does with its parameters, as far as pasting goes.
struct CMacroDefinition {
    // A parameter handed on unchanged, as argument m_nArgument of m_strMacro.
    struct CForward {
        std::string m_strMacro;
        std::size_t m_nArgument = 0;
        std::size_t m_nParameter = 0;
    };

    std::string m_strName;
    // Per parameter, the prefixes starting with "g" that it is pasted onto.
    std::vector<std::vector<std::string>> m_arrPrefixes;
    std::vector<CForward> m_arrForwards;

    // Whether it pastes a parameter itself, not only by handing it on.
    bool Pastes() const;
};

// Whether any of `macros` pastes a parameter itself: without one, a load
// has no pasted uses, whatever the others hand on.
bool AnyPastes(const std::vector<CMacroDefinition>& macros);

// Reads a definition's logical line from the macro's name on ("T(x) g ## x",
// backslash-newlines and comments included). Nothing when it is no
// function-like macro, or neither pastes a parameter nor hands one on.
std::optional<CMacroDefinition> ParseMacroDefinition(std::string_view text);

// The definitions of one file that may hand a parameter on but paste nothing
// themselves, as their texts. Most of a tree's function-like macros are of
// this kind and never reach a pasting one: they are parsed only once they
// name one (AddForwardingMacros).
class CForwardingTexts final {
public:
    void Add(std::string_view text);
    std::size_t GetCount() const { return m_arrEnds.size(); }
    std::string_view Get(std::size_t k) const;
    // The CCalledNames hashes of the names that text k may call.
    std::span<const std::uint32_t> GetCalls(std::size_t k) const;

private:
    struct CEnd {
        std::uint32_t m_nText;  // in m_strTexts
        std::uint32_t m_nCalls; // in m_arrCalls
    };
    std::string m_strTexts; // one after the other
    std::vector<std::uint32_t> m_arrCalls;
    std::vector<CEnd> m_arrEnds;
};

// Appends the macros of `texts` that ParseMacroDefinition accepts. With
// `pForwarding`, a definition without a "##" is not parsed but kept there, if
// it may hand a parameter on: if it calls another macro.
void AddMacroDefinitions(const std::vector<std::string>& texts,
                         std::vector<CMacroDefinition>& macros,
                         CForwardingTexts* pForwarding = nullptr);

// Appends the macros that the C-family `text` defines outside its comments,
// literals and inactive blocks, as AddMacroDefinitions sorts them.
void AddTextDefinitions(std::string_view text, std::vector<CMacroDefinition>& macros,
                        CForwardingTexts* pForwarding = nullptr);

// The forwarding texts of the files read for their definitions, by the
// files' places in the walk: parsed in that order.
using CForwardingFiles = std::map<std::size_t, CForwardingTexts>;

// Parses those of `forwarding` that may hand a parameter on, through up to
// four others, to a macro of `lists`, and appends them to `lists` as one more
// list: CPastingMacros then finds what it would find with every text parsed.
// Before each round, `fetch`, if given, may add more files to `forwarding`,
// which it holds itself, with the texts that may call the names the round
// looks for, and append to `lists` the definitions parsed with them; a text
// left out then would not be parsed in it.
void AddForwardingMacros(const CForwardingFiles& forwarding,
                         std::vector<std::vector<CMacroDefinition>>& lists,
                         const std::function<void(const CCalledNames::CLookup& names)>& fetch = {});

// The macros of a load that paste their arguments onto "g" prefixes, directly
// or by handing them on, unchanged, through up to four other macros. A name
// defined more than once pastes what any of its definitions pastes.
class CPastingMacros final {
public:
    // Per argument of an invocation, the prefixes its identifier is pasted onto.
    using CArgumentPrefixes = std::vector<std::vector<std::string>>;

    // From the definitions of each file, as the files' lists.
    explicit CPastingMacros(const std::vector<std::vector<CMacroDefinition>>& lists);

    bool IsEmpty() const { return m_mapPrefixes.empty(); }
    // The CCalledNames hashes of the names.
    std::vector<std::uint32_t> GetNameHashes() const;
    const CArgumentPrefixes* Find(std::string_view name) const;

    // Appends, in text order, the uses that the invocations in `text` paste:
    // NAME ( ARGUMENTS ), where an argument in a pasted place is a plain
    // identifier. A use is Pasted where the invocation is code; in a comment,
    // literal or inactive block it takes that kind. For C-family files only.
    void FindUses(const CSymbolIndex& index, std::string_view text, CSourceUseArray& uses) const;

private:
    // A place where a macro's name stands alone before a '('.
    struct CPlace {
        std::size_t m_nAt;
        std::size_t m_nOpen; // of the '('
        const CArgumentPrefixes* m_pPrefixes;
    };

    // Hashes a name given as any kind of string, so that a look-up needs no copy.
    struct CNameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>()(name);
        }
    };

    std::vector<CPlace> FindPlaces(std::string_view text) const;
    static void AddPastedUses(const CSymbolIndex& index, const CArgumentPrefixes& prefixes,
                              const std::vector<std::string_view>& arguments, const CSourceUse& use,
                              CSourceUseArray& uses);

    std::unordered_map<std::string, CArgumentPrefixes, CNameHash, std::equal_to<>> m_mapPrefixes;
    std::size_t m_nShortestName = 0;
    std::size_t m_nLongestName = 0;
    // The first bytes of the names: most identifiers of a text are passed
    // over on this alone, without a hash.
    std::array<bool, 256> m_arrFirstBytes{};
};
