#include "itemdef/EditorTexts.h"

#include "common/ResText.h"
#include "common/Globals.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/FieldRules.h"
#include "ui_FrmZAM.h"

namespace itemdef {

namespace {

using userdef::g_Pub;
using userdef::g_SrvDB;


}  // namespace

void ApplyEditorTexts(QWidget& window, Ui::FrmZAM& ui) {
    window.setWindowTitle(userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.userdefset")));
    ui.SSTab1->setTabText(0, userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.FIELD.base")));
    ui.ZxLabel1->setText(userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.PleaseChooseConfine")));
    ui.ShowChecked->setText(
        userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.DisplayOnlySelectedItems")));
    const QList<QPair<QLabel*, const char*>> labels = {
        {ui.LblcClass, "Q9.AA.USERDEF.cclass"},
        {ui.LblCType, "Q9.AA.USERDEF.ctype"},
        {ui.LblCItem, "Q9.AA.USERDEF.citem"},
        {ui.LblIMaxLen, "Q9.AA.USERDEF.imaxlen"},
        {ui.LblcItemName, "Q9.AA.USERDEF.citemname"},
        {ui.LbliLength, "Q9.AA.USERDEF.ilength"},
        {ui.LbliDecimalDigits, "Q9.AA.USERDEF.idecimaldigits"},
        {ui.LbliDataSource, "Q9.AA.USERDEF.idatasource"},
        {ui.LblcRelArchive, "Q9.AA.USERDEF.crelarchive"},
        {ui.LblcRelField, "Q9.AA.USERDEF.crelfield"},
        {ui.LblcParentID, "Q9.AA.ARCHIVE.ConstraintUserdefine"},
        {ui.LblcDefaultVal, "Q9.AA.USERDEF.cdefaultval"},
    };
    for (const auto& [label, key] : labels) label->setText(userdef::ResText(QString::fromLatin1(key)));
    const QString locale = g_Pub ? g_Pub->M_LocaleId() : QString();
    const QList<QPair<QCheckBox*, QString>> flags = {
        {ui.ChkbInput, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.binput"))},
        {ui.ChkbFixLength, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.bfixlength"))},
        {ui.ChkbCheckVal, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.bcheckval"))},
        {ui.ChkbArchive, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.barchive"))},
        {ui.ChkbMultiSel, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.bMultiSel"))},
        {ui.chkbIsUserDefAttachFile, userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.AttachFile"))},
        {ui.chkbIsUserDefPic, userdef::ResText(QStringLiteral("Q9.AA.USERDEF.bisuserdefpic"))},
    };
    for (const auto& [box, text] : flags) box->setText(flagCaption(text, locale));

    // Name columns, painted as not to be edited where the language is not installed.
    const char* languageKeys[] = {"Q9.AA.ARCHIVE.COMMON.zh-cn", "Q9.AA.ARCHIVE.COMMON.zh-tw",
                                  "Q9.AA.ARCHIVE.COMMON.zh-us"};
    const QString nameLabel = userdef::ResText(QStringLiteral("Q9.AA.USERDEF.citemname"));
    const QList<bool> installed = g_SrvDB ? readInstalledLanguages(*g_SrvDB) : QList<bool>(3, true);
    for (int c = 0; c < 3; ++c) {
        ui.Grid->setHorizontalHeaderItem(
            c,
            new QTableWidgetItem(nameLabel + QStringLiteral("(") +
                                 userdef::ResText(QString::fromLatin1(languageKeys[c])) + QStringLiteral(")")));
        QTableWidgetItem* cell = ui.Grid->item(0, c);
        cell->setData(Qt::UserRole, installed.value(c));
        if (!installed.value(c)) {
            cell->setBackground(g_Pub ? g_Pub->UnEditedColor() : QColor(Qt::lightGray));
            cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        }
    }
}

}  // namespace itemdef
