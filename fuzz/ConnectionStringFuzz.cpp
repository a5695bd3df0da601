// Connection strings: values of any text stay single values that come back as themselves, the
// data source name reaches the driver untouched, and no text shown in place of a connection
// string keeps a password part.
#include <cstdlib>

#include "FuzzInput.h"
#include "db/ConnectionString.h"
#include "db/Endpoint.h"
#include "db/Oracle.h"
#include "db/Side.h"
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

    // A login filled into a connection string reads back as itself, and the string as shown
    // keeps nothing of the password's part.
    const ConnectionTarget filled = endpointNamed(QStringLiteral("odbc:Driver=X;UID={User};PWD={Password}"),
                                                  {values.oracleUser, values.oraclePassword})
                                        ->target({});
    const test::ConnectionPairs login = {
        {"Driver", "X"}, {"UID", values.oracleUser}, {"PWD", values.oraclePassword}};
    require(test::readConnectionString(filled.text()) == std::optional(login));
    require(connectionStringPassword(filled.text()) == values.oraclePassword);
    for (const QString& any : {values.dataSourceName, filled.text()}) {
        for (const ConnectionStringPart& part : connectionStringParts(connectionStringWithoutPassword(any)))
            require(!isPasswordKey(part.key));
    }
    return 0;
}
