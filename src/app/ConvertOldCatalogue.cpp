#include "app/ConvertOldCatalogue.h"

#include "catalogue/Catalogue.h"
#include "core/FileFailure.h"
#include "jet/OldCatalogue.h"
#include "runtime/MsgBox.h"

using namespace Qt::StringLiterals;

void convertOldCatalogue() {
    try {
        if (const auto done = OldCatalogue::convert(Catalogue::file()))
            MsgBox(done->message());
    } catch (const std::exception& error) {
        MsgBox(u"旧电台目录无法转换：%1。\n旧文件原样保留，暂时没有电台目录可用。"_s.arg(failureText(error)));
    }
}
