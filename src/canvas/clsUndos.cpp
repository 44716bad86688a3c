#include "canvas/clsUndos.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"

namespace {
std::shared_ptr<clsUndos> &undosSlot()
{
    static std::shared_ptr<clsUndos> s;
    return s;
}

QString autoText(std::int16_t kind)
{
    static const std::pair<const char *, const char *> texts[] = {
        {"OTHERCONSTANTS.UNDODELETE", "Delete"}, {"OTHERCONSTANTS.UNDOINSERT", "Insert"},
        {"OTHERCONSTANTS.UNDOROTATE", "Rotate"}, {"OTHERCONSTANTS.UNDOEDITTEXT", "Edit Text"},
        {"OTHERCONSTANTS.UNDORESIZE", "Resize"}};
    if (kind < 0 || kind > 4)
        return QStringLiteral("UNKNOWN");
    return gObjLanguageStore().getVar(QLatin1String(texts[kind].first), QLatin1String(texts[kind].second));
}
} // namespace

std::shared_ptr<clsUndos> &gObjUndos()
{
    auto &s = undosSlot();
    if (!s)
        s = std::make_shared<clsUndos>();
    return s;
}

QString clsUndos::getLastUndoText() const
{
    const auto e = colUndos.value(QString::number(mintUndoIndex));
    return e ? e->mstrText : QString();
}

void clsUndos::push(clsUndoEntryPtr entry)
{
    if (mintUndoIndex >= kMaxEntries) {
        // The oldest entry goes; the others move down one place.
        KeyedCollection<clsUndoEntryPtr> moved;
        int n = 0;
        for (const auto &[key, e] : colUndos) {
            if (n++ == 0)
                continue;
            e->mstrUndoIndex = QString::number(n - 1);
            moved.add(e->mstrUndoIndex, e);
        }
        colUndos = moved;
        mintUndoIndex = std::int16_t(colUndos.count());
    }
    ++mintUndoIndex;
    const QString key = QString::number(mintUndoIndex);
    entry->mstrUndoIndex = key;
    colUndos.add(key, std::move(entry));
}

void clsUndos::addImgxUndo(const QString &strMoveableObjectIndex, const QString &strUndoText)
{
    try {
        auto e = std::make_shared<clsImgxUndo>();
        e->mstrMoveableObjectIndex = strMoveableObjectIndex;
        e->mstrText = strUndoText;
        push(e);
    } catch (...) {
        reportError(QStringLiteral("ERR_ADDUNDO"), QStringLiteral("clsUndos.addImgxUndo"));
    }
}

void clsUndos::addOtherUndo(const QString &strMoveableObjectIndex, std::int16_t intUndoType,
                            const QString &strUndoText, UndoParameter varParameter)
{
    try {
        auto e = std::make_shared<clsOtherUndo>();
        e->mstrMoveableObjectIndex = strMoveableObjectIndex;
        e->mIntUndoType = intUndoType;
        e->mstrText = strUndoText == QLatin1String("AUTO") ? autoText(intUndoType) : strUndoText;
        e->mVarParameter = std::move(varParameter);
        push(e);
    } catch (...) {
        reportError(QStringLiteral("ERR_ADDUNDO"), QStringLiteral("clsUndos.addOtherUndo"));
    }
}
