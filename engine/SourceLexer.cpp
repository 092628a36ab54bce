#include "SourceLexer.h"

#include "ByteBlock.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// Only a few bytes change the lexer's state: in code '/', '"', '\'' and '#';
// in a literal its quote, the backslash and the line breaks; in a comment the
// line breaks or the '/' of "*/". The text is read in blocks of 64 bytes with
// a bit mask of where the bytes that matter in the current state are, and
// only those bytes are looked at. Directives and raw strings are rare and
// read byte by byte.

namespace {

constexpr std::size_t kBlock = 64;
constexpr std::size_t kHistory = 8;
constexpr std::size_t kMaxRawDelimiter = 16;
constexpr std::size_t kMaxDirectiveName = 8;
constexpr std::size_t kMaxDefinition = std::size_t{64} * 1024;

bool IsRunByte(char c) {
    return IsIdentifierByte(c) || c == '.' || c == '\'';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::uint64_t BitsBelow(std::size_t n) {
    return n >= kBlock ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

} // namespace

bool IsCFamilyFile(std::string_view path) {
    static constexpr std::array<std::string_view, 16> kExtensions = {
        "c",   "h",   "cc",  "cpp", "cxx", "c++", "hh", "hpp",
        "hxx", "h++", "inl", "ipp", "tcc", "m",   "mm", "rc"};
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return false;
    const std::string_view extension = path.substr(dot + 1);
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view known) {
        return known.size() == extension.size() &&
               std::equal(known.begin(), known.end(), extension.begin(),
                          [](char a, char b) { return a == ToLower(b); });
    });
}

bool IsFunctionLikeDefinition(std::string_view text) {
    const auto nameEnd = static_cast<std::size_t>(
        std::find_if_not(text.begin(), text.end(), [](char c) { return IsIdentifierByte(c); }) -
        text.begin());
    return nameEnd != text.size() && (text[nameEnd] == '(' || text[nameEnd] == '\\');
}

CSourceLexer::CSourceLexer(std::vector<std::string>* pDefinitions) : m_pDefinitions(pDefinitions) {}

void CSourceLexer::BeginPiece(std::string_view piece) {
    m_pBegin = m_pPos = piece.data();
    m_pEnd = piece.data() + piece.size();
    m_pBlock = nullptr;
    if (m_bCapturing)
        m_pCaptureFrom = m_pBegin;
    if (piece.empty())
        return;
    if (m_bSlashPending) {
        m_bSlashPending = false;
        if (*m_pPos == '/') {
            m_state = State::LineComment;
            ++m_pPos;
        } else if (*m_pPos == '*') {
            m_state = State::BlockComment;
            m_nCommentStart = m_nOffset + 1;
            ++m_pPos;
        }
    }
    if (m_bEscapePending) {
        m_bEscapePending = false;
        SkipEscaped(m_pPos - 1);
    }
    if (m_bSkipLf && m_pPos != m_pEnd) {
        m_bSkipLf = false;
        if (*m_pPos == '\n')
            ++m_pPos;
    }
}

UseKind CSourceLexer::KindAt(const char* p) {
    AdvanceTo(p);
    if (m_nInactiveDepth >= 0)
        return UseKind::Inactive;
    switch (m_state) {
    case State::Code:
        return UseKind::Code;
    case State::LineComment:
    case State::BlockComment:
        return UseKind::Comment;
    default:
        return UseKind::String;
    }
}

void CSourceLexer::EndPiece(bool bLast) {
    if (bLast && m_pDefinitions == nullptr)
        return;
    AdvanceTo(m_pEnd);
    const auto size = static_cast<std::size_t>(m_pEnd - m_pBegin);
    if (size == 0)
        return;
    // What the next piece needs to know of this one's end.
    m_strHistory.append(m_pBegin + size - std::min(size, kHistory), m_pEnd);
    if (m_strHistory.size() > kHistory)
        m_strHistory.erase(0, m_strHistory.size() - kHistory);
    const char* run = m_pEnd;
    while (run != m_pBegin && IsRunByte(run[-1]))
        --run;
    if (run != m_pBegin)
        m_chRunFirst = run == m_pEnd ? '\0' : *run;
    else if (m_chRunFirst == '\0')
        m_chRunFirst = *m_pBegin;
    const char* blank = m_pEnd;
    while (blank != m_pBegin && IsBlank(blank[-1]))
        --blank;
    if (blank != m_pBegin)
        m_bBlankLine = IsBreak(blank[-1]);
    if (m_bCapturing) {
        m_strDefinition.append(m_pCaptureFrom, m_pEnd);
        if (m_strDefinition.size() > kMaxDefinition)
            m_bCapturing = false;
    }
    m_nOffset += static_cast<std::int64_t>(size);
}

void CSourceLexer::Finish() {
    if (m_bCapturing)
        FinishDefinition(m_pCaptureFrom);
}

char CSourceLexer::Before(const char* q, std::size_t k) const {
    if (static_cast<std::size_t>(q - m_pBegin) >= k)
        return q[-static_cast<std::ptrdiff_t>(k)];
    const std::size_t fromHistory = k - static_cast<std::size_t>(q - m_pBegin);
    return fromHistory <= m_strHistory.size() ? m_strHistory[m_strHistory.size() - fromHistory]
                                              : '\n';
}

bool CSourceLexer::IsEscapedBreak(const char* q) const {
    return Before(q, 1) == '\\' || (*q == '\n' && Before(q, 1) == '\r' && Before(q, 2) == '\\');
}

bool CSourceLexer::StartsRawString(const char* q) const {
    if (Before(q, 1) != 'R')
        return false;
    std::string prefix;
    for (std::size_t k = 2; k <= 4 && IsIdentifierByte(Before(q, k)); ++k)
        prefix.insert(prefix.begin(), Before(q, k));
    if (IsIdentifierByte(Before(q, prefix.size() + 2)))
        return false;
    return prefix.empty() || prefix == "L" || prefix == "u" || prefix == "U" || prefix == "u8";
}

bool CSourceLexer::IsDigitSeparator(const char* q) const {
    const char* run = q;
    while (run != m_pBegin && IsRunByte(run[-1]))
        --run;
    // A run that reaches back to the piece's start may have begun in the last piece.
    const bool bBeganEarlier = run == m_pBegin && m_chRunFirst != '\0';
    const char first = bBeganEarlier ? m_chRunFirst : (run == q ? '\0' : *run);
    return first >= '0' && first <= '9';
}

bool CSourceLexer::AtLineStart(const char* q) const {
    while (q != m_pBegin && IsBlank(q[-1]))
        --q;
    return q == m_pBegin ? m_bBlankLine : IsBreak(q[-1]);
}

// The bytes that can change the lexer's state, in each state.
std::string_view CSourceLexer::EventBytes() const {
    switch (m_state) {
    case State::Code:
        return m_bCapturing ? std::string_view("/\"'#\r\n") : std::string_view("/\"'#");
    case State::LineComment:
        return "\r\n";
    case State::BlockComment:
        return "/";
    case State::String:
        return "\"\\\r\n";
    case State::Char:
        return "'\\\r\n";
    default:
        return {};
    }
}

// One mask of the events of the current state: the handlers tell the bytes
// apart, and a block is looked at again only when the state changes in it.
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
// The walk over the blocks compiled for AVX2, with the masks inlined in it,
// as the tokenizer's loop is; the handlers stay apart.
struct CSourceLexer::CAvx2 {
    GLOSSCUTTER_AVX2_TARGET __attribute__((flatten)) static void AdvanceTo(CSourceLexer& lexer,
                                                                           const char* target) {
        lexer.AdvanceWith<CByteBlockAvx2>(target);
    }
};
#endif

// The bytes of EventBytes, known to the compiler.
template <class TBlock>
std::uint64_t CSourceLexer::EventsOf(const TBlock& bytes, State state, bool bCapturing) {
    switch (state) {
    case State::Code:
        return bCapturing ? bytes.template EqualAny<'/', '"', '\'', '#', '\r', '\n'>()
                          : bytes.template EqualAny<'/', '"', '\'', '#'>();
    case State::LineComment:
        return bytes.template EqualAny<'\r', '\n'>();
    case State::BlockComment:
        return bytes.Equal('/');
    case State::String:
        return bytes.template EqualAny<'"', '\\', '\r', '\n'>();
    case State::Char:
        return bytes.template EqualAny<'\'', '\\', '\r', '\n'>();
    default:
        return 0;
    }
}

template <class TBlock>
void CSourceLexer::LoadMasks(const char* block) {
    m_pBlock = block;
    m_maskState = m_state;
    m_bMaskCapturing = m_bCapturing;
    if (static_cast<std::size_t>(m_pEnd - block) < kBlock) {
        LoadLastMasks(block);
        return;
    }
    m_nEvents = EventsOf(TBlock(block), m_state, m_bCapturing);
}

void CSourceLexer::LoadLastMasks(const char* block) {
    const auto size = static_cast<std::size_t>(m_pEnd - block);
    const std::string_view needles = EventBytes();
    m_nEvents = 0;
    for (std::size_t k = 0; k < size; ++k)
        m_nEvents |= needles.find(block[k]) != std::string_view::npos ? std::uint64_t{1} << k : 0;
}

void CSourceLexer::AdvanceTo(const char* target) {
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
    if (HasAvx2Block()) {
        CAvx2::AdvanceTo(*this, target);
        return;
    }
#endif
    AdvanceWith<CByteBlock>(target);
}

template <class TBlock>
void CSourceLexer::AdvanceWith(const char* target) {
    while (m_pPos < target) {
        if (m_directive != Directive::None || m_state == State::RawDelimiter ||
            m_state == State::RawString) {
            StepScalar(target);
            continue;
        }
        const auto offset = static_cast<std::size_t>(m_pPos - m_pBegin);
        const char* block = m_pBegin + (offset & ~(kBlock - 1));
        if (block != m_pBlock || m_state != m_maskState || m_bCapturing != m_bMaskCapturing)
            LoadMasks<TBlock>(block);
        const std::size_t from = offset & (kBlock - 1);
        const std::size_t to = static_cast<std::size_t>(std::min(target, block + kBlock) - block);
        const std::uint64_t events = m_nEvents & ~BitsBelow(from) & BitsBelow(to);
        if (events == 0) {
            m_pPos = block + to;
            continue;
        }
        HandleEvent(block + std::countr_zero(events));
    }
}

void CSourceLexer::HandleEvent(const char* q) {
    m_pPos = q + 1;
    switch (m_state) {
    case State::Code:
        HandleCode(q);
        break;
    case State::LineComment:
        if (!IsEscapedBreak(q))
            EndLine(q);
        break;
    case State::BlockComment:
        if (Before(q, 1) == '*' && m_nOffset + (q - m_pBegin) - 1 >= m_nCommentStart)
            m_state = State::Code;
        break;
    case State::String:
        HandleLiteral(q, '"');
        break;
    default:
        HandleLiteral(q, '\'');
        break;
    }
}

void CSourceLexer::HandleCode(const char* q) {
    switch (*q) {
    case '/':
        if (q + 1 == m_pEnd) {
            m_bSlashPending = true;
        } else if (q[1] == '/') {
            m_state = State::LineComment;
            m_pPos = q + 2;
        } else if (q[1] == '*') {
            m_state = State::BlockComment;
            m_nCommentStart = m_nOffset + (q - m_pBegin) + 2;
            m_pPos = q + 2;
        }
        break;
    case '"':
        if (StartsRawString(q)) {
            m_state = State::RawDelimiter;
            m_strRawDelimiter.clear();
        } else {
            m_state = State::String;
        }
        break;
    case '\'':
        if (!IsDigitSeparator(q))
            m_state = State::Char;
        break;
    case '#':
        if (AtLineStart(q))
            m_directive = Directive::BeforeName;
        break;
    default: // a line break, while a definition is read
        if (!IsEscapedBreak(q))
            EndLine(q);
        break;
    }
}

void CSourceLexer::HandleLiteral(const char* q, char chQuote) {
    if (*q == chQuote)
        m_state = State::Code;
    else if (*q == '\\')
        SkipEscaped(q);
    else
        EndLine(q); // unterminated
}

void CSourceLexer::SkipEscaped(const char* q) {
    const char* escaped = q + 1;
    if (escaped == m_pEnd) {
        m_bEscapePending = true;
        m_pPos = m_pEnd;
        return;
    }
    m_pPos = escaped + 1;
    if (*escaped == '\r') {
        if (m_pPos == m_pEnd)
            m_bSkipLf = true;
        else if (*m_pPos == '\n')
            ++m_pPos;
    }
}

void CSourceLexer::EndLine(const char* q) {
    m_state = State::Code;
    if (m_bCapturing)
        FinishDefinition(q);
}

void CSourceLexer::FinishDefinition(const char* stop) {
    m_bCapturing = false;
    m_strDefinition.append(m_pCaptureFrom, stop);
    if (m_strDefinition.size() <= kMaxDefinition && m_pDefinitions != nullptr &&
        IsFunctionLikeDefinition(m_strDefinition))
        m_pDefinitions->push_back(std::move(m_strDefinition));
    m_strDefinition.clear();
}

void CSourceLexer::StepScalar(const char* target) {
    if (m_directive != Directive::None)
        StepDirective(target);
    else
        StepRaw(target);
}

// A directive's start, as far as `target`, or the decision that ends it,
// which reads nothing. Blanks and the name's bytes go in one stride.
void CSourceLexer::StepDirective(const char* target) {
    // Every step but the name's passes over blanks.
    while (m_pPos != target && IsBlank(*m_pPos) && m_directive != Directive::Name)
        ++m_pPos;
    if (m_pPos == target)
        return;
    const char c = *m_pPos;
    switch (m_directive) {
    case Directive::BeforeName:
        m_directive = IsIdentifierByte(c) ? Directive::Name : Directive::None;
        m_strName.clear();
        break;
    case Directive::Name:
        while (m_pPos != target && IsIdentifierByte(*m_pPos) &&
               m_strName.size() <= kMaxDirectiveName)
            m_strName += *m_pPos++;
        if (m_pPos != target)
            DecideDirective();
        break;
    case Directive::BeforeValue:
        m_directive = c == '0' ? Directive::AfterZero : Directive::None;
        m_pPos += m_directive == Directive::None ? 0 : 1;
        break;
    case Directive::AfterZero:
        if (IsBreak(c) || c == '/')
            m_nInactiveDepth = 0;
        m_directive = Directive::None;
        break;
    default: // BeforeDefine
        if (IsIdentifierByte(c))
            BeginDefinition();
        m_directive = Directive::None;
        break;
    }
}

// Most definitions are object-like and are not captured at all: the name
// and the byte after it tell, unless the piece ends first.
void CSourceLexer::BeginDefinition() {
    const char* end = m_pPos;
    while (end != m_pEnd && IsIdentifierByte(*end))
        ++end;
    if (end == m_pEnd || *end == '(' || *end == '\\') {
        m_bCapturing = true;
        m_pCaptureFrom = m_pPos;
    }
}

void CSourceLexer::DecideDirective() {
    m_directive = Directive::None;
    const std::string& name = m_strName;
    if (m_nInactiveDepth < 0) {
        if (name == "if")
            m_directive = Directive::BeforeValue;
        else if (name == "define" && m_pDefinitions != nullptr)
            m_directive = Directive::BeforeDefine;
    } else if (name == "if" || name == "ifdef" || name == "ifndef") {
        ++m_nInactiveDepth;
    } else if (name == "endif") {
        --m_nInactiveDepth;
    } else if (m_nInactiveDepth == 0 &&
               (name == "else" || name == "elif" || name == "elifdef" || name == "elifndef")) {
        m_nInactiveDepth = -1;
    }
}

void CSourceLexer::StepRaw(const char* target) {
    if (m_state == State::RawDelimiter) {
        const char c = *m_pPos;
        if (c == '(') {
            m_state = State::RawString;
            m_nRawMatch = -1;
            ++m_pPos;
        } else if (m_strRawDelimiter.size() == kMaxRawDelimiter || IsBlank(c) || IsBreak(c) ||
                   c == ')' || c == '\\' || c == '"' || c == '\v' || c == '\f') {
            m_state = State::String; // not a raw string after all; this byte is read as a string's
        } else {
            m_strRawDelimiter += c;
            ++m_pPos;
        }
        return;
    }
    if (m_nRawMatch < 0) {
        const void* close = std::memchr(m_pPos, ')', static_cast<std::size_t>(target - m_pPos));
        if (close == nullptr) {
            m_pPos = target;
            return;
        }
        m_pPos = static_cast<const char*>(close) + 1;
        m_nRawMatch = 0;
        return;
    }
    const char c = *m_pPos++;
    const auto matched = static_cast<std::size_t>(m_nRawMatch);
    if (matched < m_strRawDelimiter.size() ? c == m_strRawDelimiter[matched] : c == '"') {
        m_nRawMatch = matched == m_strRawDelimiter.size() ? -1 : m_nRawMatch + 1;
        if (matched == m_strRawDelimiter.size())
            m_state = State::Code;
    } else {
        m_nRawMatch = c == ')' ? 0 : -1;
    }
}
