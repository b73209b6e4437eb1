#include "tests/support/Program.h"

#include "catalogue/Catalogue.h"
#include "runtime/Module1.h"

#include <QTest>

Program::~Program() {
    Module1::moveWithMouseSeam.restore();
}

void Program::start() {
    Form& window = forms.form(FormName::Form1);
    window.Show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window never appeared");
}

void Program::addStation(const QString& category, const QVariant& name, const QString& address) const {
    Database connection = Catalogue::openConnection();
    Recordset table = Catalogue::openTable(connection);
    table.AddNew();
    table.Fields(Catalogue::Category).setValue(category);
    table.Fields(Catalogue::Name).setValue(name);
    table.Fields(Catalogue::Address).setValue(address);
    table.Update();
}

Label& categoryLabel(CategoryPanel& panel, const QString& caption) {
    for (const auto& label : panel.categoryLabels) {
        if (label->Caption() == caption)
            return *label;
    }
    qFatal("the panel has no category label %s", qPrintable(caption));
}
