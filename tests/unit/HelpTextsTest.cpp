#include <gtest/gtest.h>

#include "db/HelpTexts.h"

TEST(HelpTexts, SqlAnywhereTextEndsEveryItemWithTwoCarriageReturns) {
    const QString expected = QStringLiteral(
        "Here is how I connected to my Sybase database.\r\r"
        "1. Downloaded and installed drivers: SQL Anywhere 10 for Windows (SQLAnywhere_1000_Windows.exe)\r\r"
        "2. Applied for a Developer Key with www.example.com (developer.keys@example.com helped)\r\r"
        "3. Clicked to Start > Settings > Control Panel > Administrative Tools > Data Source (ODBC)\r\r"
        "4. Clicked 'Add...' \r\r"
        "5. Selected 'SQL Anywhere 10'\r\r"
        "6. Filled in 'Data source name', 'User ID', 'Password', 'Server Name', 'TCP/IP' given to me by my "
        "administrator.\r\r"
        "7. Clicked 'Test Connection'.\r\r"
        "8. Filled in 'Data Source Name' in my program to be the same as 'Data source name' in Data Source "
        "(ODBC)\r\r"
        "9. Clicked 'Test Connection' in my program.\r\r");
    EXPECT_EQ(tw::sybaseHelpText(), expected);
    EXPECT_FALSE(tw::sybaseHelpText().contains(QLatin1Char('\n')));
}

TEST(HelpTexts, OracleSidTextSeparatesParagraphsAroundTheEntryWithCrLf) {
    const QString expected = QStringLiteral(
        "This software works with Oracle 9i or higher.\r\r"
        "The SID is used to identify a particular database. The SID is usually defined in the "
        "TNSNAMES.ORA file. The TNSNAMES.ORA file found in my Oracle 9i folder looks like:\r\n\r\n"
        "MYDB =\r\n"
        " (DESCRIPTION =\r\n"
        "   (ADDRESS_LIST =\r\n"
        "     (ADDRESS = (PROTOCOL = TCP)(HOST = 192.0.2.10)(PORT = 1521))\r\n"
        "   )\r\n"
        "   (CONNECT_DATA =\r\n"
        "     (SID = MYDB)\r\n"
        "   )\r\n"
        " )\r\n\r\n"
        "Therefore, my SID would be MYDB");
    EXPECT_EQ(tw::oracleSidHelpText(), expected);
    EXPECT_EQ(tw::oracleDataTypeNote(),
              QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle."));
}
