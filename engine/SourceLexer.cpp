#include "SourceLexer.h"

bool IsCFamilyFile(std::string_view path) {
    (void)path;
    return false;
}

CSourceLexer::CSourceLexer(std::vector<std::string>* pDefinitions) : m_pDefinitions(pDefinitions) {}

void CSourceLexer::BeginPiece(std::string_view) {}
UseKind CSourceLexer::KindAt(const char*) { return UseKind::Code; }
void CSourceLexer::EndPiece() {}
void CSourceLexer::Finish() {}
