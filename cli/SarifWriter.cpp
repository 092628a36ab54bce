#include "SarifWriter.h"

#include "Report.h"

#include <ostream>

void WriteSarifReport(std::ostream& out, const CScanResult& /*result*/,
                      const CSarifOrigin& /*origin*/) {
    out << "{}\n";
}
