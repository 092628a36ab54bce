#pragma once

#include <iosfwd>
#include <string>

struct CScanResult;

// Who made a SARIF log, and what its locations are relative to.
struct CSarifOrigin {
    std::string m_strToolName;   // the product name of the version information
    std::string m_strVersion;    // its version, "0.78.1.1"
    std::string m_strSourceRoot; // absolute folder that %SRCROOT% stands for
};

// A SARIF 2.1.0 log of one run with the findings of `result` as its results,
// for code scanning services.
void WriteSarifReport(std::ostream& out, const CScanResult& result, const CSarifOrigin& origin);
