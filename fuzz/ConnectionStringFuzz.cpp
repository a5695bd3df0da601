// Connection strings: values of any text stay single values that come back as themselves, and
// the data source name is read out of any text as the ODBC rules read it.
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
    const ConnectionValues values{fuzz::text(input), fuzz::text(input), fuzz::text(input),
                                  fuzz::text(input)};

    const test::ConnectionPairs oracle = {{"Driver", "Microsoft ODBC for Oracle"},
                                          {"Server", values.oracleServer},
                                          {"Uid", values.oracleUser},
                                          {"Pwd", values.oraclePassword}};
    require(test::readConnectionString(OracleConnectionString(values)) == std::optional(oracle));

    const QString sybase = SybaseConnectionString(values);
    const test::ConnectionPairs dataSource = {{"Data Source", values.dataSourceName}};
    require(test::readConnectionString(sybase) == std::optional(dataSource));
    require(dataSourceOf(sybase) == std::optional(values.dataSourceName));

    // Any text at all: where the rules read a data source, dataSourceOf reads the same one.
    const QString any = fuzz::text(input);
    const std::optional<QString> read = dataSourceOf(any);
    const auto pairs = test::readConnectionString(any);
    if (pairs && !pairs->empty() && pairs->front().first.compare(u"Data Source", Qt::CaseInsensitive) == 0) {
        require(read == std::optional(pairs->front().second));
    }
    return 0;
}
