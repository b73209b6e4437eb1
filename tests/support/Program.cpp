#include "tests/support/Program.h"

#include "catalogue/Catalogue.h"
#include "desktop/Translations.h"
#include "runtime/WindowSystem.h"
#include "sqlite/Statement.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

Program::~Program() {
    WindowSystem::startMoveSeam.restore();
}

void Program::start() {
    // The windows' texts in Chinese, as main() loads them: once for the whole process.
    static const bool translated = (loadTranslations(QLocale(QLocale::Chinese, QLocale::China)), true);
    Q_UNUSED(translated);
    Form& window = forms.form(FormName::Form1);
    window.Show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window never appeared");
}

void Program::addStation(const QString& category, const QVariant& name, const QString& address) const {
    Database connection = Catalogue::openConnection();
    Statement insert(connection, u"INSERT INTO radio (类别, 名称, 网址) VALUES (?, ?, ?)"_s);
    insert.bind(1, category);
    insert.bind(2, name);
    insert.bind(3, address);
    insert.step();
}

Label& categoryLabel(CategoryPanel& panel, const QString& caption) {
    for (const auto& label : panel.categoryLabels) {
        if (label->Caption() == caption)
            return *label;
    }
    qFatal("the panel has no category label %s", qPrintable(caption));
}
