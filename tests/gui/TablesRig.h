#pragma once

#include <memory>

#include "Form1Rig.h"
#include "ui/Form2.h"
#include "ui/TableListBox.h"

namespace tw::test {

// The tables window with lists filled by hand; no database behind it but the recording fake.
// The connection window holds the given values.
struct TablesRig : Rig {
    std::unique_ptr<Form2> tables;
    TableListBox* sqlany = nullptr;
    TableListBox* oracle = nullptr;
    QList<MousePointer> pointerDuringWork;

    TablesRig(const QStringList& sqlanyTables, const QStringList& oracleTables,
              const ConnectionValues& values = {}) {
        load();
        form->Text1->setText(values.oracleServer);
        form->Text2->setText(values.oracleUser);
        form->Text3->setText(values.oraclePassword);
        form->Text4->setText(values.dataSourceName);
        connections.log.clear();
        tables = std::make_unique<Form2>(services(), form->link());
        sqlany = tables->List1;
        oracle = tables->List2;
        for (const QString& name : sqlanyTables) sqlany->addItem(name);
        for (const QString& name : oracleTables) oracle->addItem(name);
        connections.onExecute = [this](const QString&) { pointerDuringWork << tables->pointer().get(); };
    }
    // Selects the named items and makes one item current.
    static void select(TableListBox* list, const QStringList& names, int current = 0) {
        list->setCurrentIndex(current);
        for (int i = 0; i < list->count(); ++i) list->setSelected(i, names.contains(list->text(i)));
    }
    // The rows the recording fake gives for the table.
    void source(const QString& name, const FakeTable& rows) {
        connections.tables["SELECT * FROM \"" + name + "\""] = rows;
    }
};

}  // namespace tw::test
