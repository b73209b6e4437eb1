#include "app/CatalogueRestore.h"

#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Schema.h"
#include "core/FileFailure.h"
#include "runtime/MsgBox.h"
#include "sqlite/Database.h"

using namespace Qt::StringLiterals;

namespace {

// A catalogue that a later version of the program wrote is left alone; the user is told why the windows show none of
// its stations.
void sayWhenNewer() {
    try {
        Database catalogue = Database::OpenDatabase(Catalogue::file(), std::chrono::milliseconds(0));
        Catalogue::needsUpgrade(catalogue, Catalogue::file());
    } catch (const Catalogue::NewerCatalogueError& error) {
        MsgBox(failureText(error));
    } catch (const DbError&) {
        // Busy or damaged: the windows say so as they load.
    }
}

} // namespace

void offerCatalogueRestore() {
    const Catalogue::Found found = Catalogue::inspectCatalogue();
    if (found == Catalogue::Found::Readable)
        sayWhenNewer();
    if (found != Catalogue::Found::Unreadable)
        return;
    const std::optional<QString> backup = Catalogue::newestSoundBackup();
    if (!backup)
        return;
    const QString day = Catalogue::backupDay(*backup).toString(Qt::ISODate);
    if (MsgBox(
            u"电台目录 tv.mdb 已损坏，无法读取。\n\n要用 %1 的备份恢复吗？损坏的文件会改名保留在原处，不会删除。"_s.arg(
                day),
            vbYesNo) != vbYes)
        return;
    try {
        Catalogue::restoreFromBackup(*backup);
    } catch (const DbError& error) {
        MsgBox(u"电台目录没有恢复：%1"_s.arg(failureText(error)));
    }
}
