// Connection strings: values of any text stay single values that come back as themselves, and
// the data source name reaches the driver untouched.
#include <cstdlib>

#include "FuzzInput.h"
#include "db/ConnectionString.h"
#include "db/Oracle.h"
#include "db/Sybase.h"
#include "support/ConnectionStringReader.h"

using namespace tw;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const ConnectionValues values{fuzz::text(input), fuzz::text(input), fuzz::text(input), fuzz::text(input)};

    const test::ConnectionPairs oracle = {{"Driver", "Microsoft ODBC for Oracle"},
                                          {"Server", values.oracleServer},
                                          {"Uid", values.oracleUser},
                                          {"Pwd", values.oraclePassword}};
    require(test::readConnectionString(OracleConnectionString(values)) == std::optional(oracle));

    // The data source name goes to the driver as it was typed, whatever it holds.
    const ConnectionTarget sybase = SybaseConnectionTarget(values);
    require(sybase.isDataSource() && sybase.text() == values.dataSourceName);
    return 0;
}
