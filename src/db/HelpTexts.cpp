#include "db/HelpTexts.h"

#include <QStringList>

namespace tw {

namespace {

// Addresses in the texts are placeholders from the ranges set aside for documentation.
const QString kVendorDomain = QStringLiteral("www.example.com");
const QString kVendorContact = QStringLiteral("developer.keys@example.com");
const QString kExampleServer = QStringLiteral("192.0.2.10");

const QString kCrCr = QStringLiteral("\r\r");
const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

QString sybaseHelpText() {
    const QStringList items = {
        QStringLiteral("Here is how I connected to my Sybase database."),
        QStringLiteral("1. Downloaded and installed drivers: SQL Anywhere 10 for Windows "
                       "(SQLAnywhere_1000_Windows.exe)"),
        QStringLiteral("2. Applied for a Developer Key with ") + kVendorDomain + QStringLiteral(" (") +
            kVendorContact + QStringLiteral(" helped)"),
        QStringLiteral("3. Clicked to Start > Settings > Control Panel > Administrative Tools > "
                       "Data Source (ODBC)"),
        QStringLiteral("4. Clicked 'Add...' "),
        QStringLiteral("5. Selected 'SQL Anywhere 10'"),
        QStringLiteral("6. Filled in 'Data source name', 'User ID', 'Password', 'Server Name', "
                       "'TCP/IP' given to me by my administrator."),
        QStringLiteral("7. Clicked 'Test Connection'."),
        QStringLiteral("8. Filled in 'Data Source Name' in my program to be the same as 'Data "
                       "source name' in Data Source (ODBC)"),
        QStringLiteral("9. Clicked 'Test Connection' in my program."),
    };
    QString text;
    for (const QString& item : items) text += item + kCrCr;
    return text;
}

QString oracleSidHelpText() {
    const QStringList entry = {
        QStringLiteral("MYDB ="),
        QStringLiteral(" (DESCRIPTION ="),
        QStringLiteral("   (ADDRESS_LIST ="),
        QStringLiteral("     (ADDRESS = (PROTOCOL = TCP)(HOST = ") + kExampleServer +
            QStringLiteral(")(PORT = 1521))"),
        QStringLiteral("   )"),
        QStringLiteral("   (CONNECT_DATA ="),
        QStringLiteral("     (SID = MYDB)"),
        QStringLiteral("   )"),
        QStringLiteral(" )"),
    };
    const QString paragraph = kCrLf + kCrLf;
    return QStringLiteral("This software works with Oracle 9i or higher.") + kCrCr +
           QStringLiteral(
               "The SID is used to identify a particular database. The SID is usually "
               "defined in the TNSNAMES.ORA file. The TNSNAMES.ORA file found in my "
               "Oracle 9i folder looks like:") +
           paragraph + entry.join(kCrLf) + paragraph + QStringLiteral("Therefore, my SID would be MYDB");
}

QString oracleDataTypeNote() {
    return QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle.");
}

}  // namespace tw
