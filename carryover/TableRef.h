#pragma once
// The reference definitions of the batch window's two table choosers: the look-up lists the
// tables that are a source (or a target) of some table pair, with their type, description and
// sub-module; the chosen table's description serves as a filter.
#include <QString>

namespace carryover {

QString BuildTableRef(bool target);

// The rule editor's choosers (cEntityNameFld 'ctabledesc'): the source chooser, the target
// chooser as it opens (all tables of the four types) and the target chooser once a source is
// chosen (the source's targets of a compatible type).
enum class EditorRef { Source, TargetOnOpening, TargetOfSource };
QString BuildRuleEditorTableRef(EditorRef kind, const QString& sourceType = {},
                                const QString& sourceTable = {});

// What the window keeps of a chosen table.
struct TableChoice {
    QString ctype;
    QString csub_id;
    QString ctablename;
    QString tabledesc;
};

}  // namespace carryover
