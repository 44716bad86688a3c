#include "canvas/clsGarbageCollector.h"

#include "canvas/clsMoveableObjects.h"
#include "canvas/clsUndos.h"
#include "core/ErrorReport.h"

#include <QStringList>

clsGarbageCollector &gObjGarbageCollector()
{
    static clsGarbageCollector c;
    return c;
}

void clsGarbageCollector::doGargageCollect(clsMoveableObjects &model, clsUndos &undos)
{
    const QString crlf = QStringLiteral("\r\n");
    try {
        mStrRemoved = QStringLiteral("GarbageCollector Removed:");
        mStrNotDeleteAble = QStringLiteral("GarbageNotAllowedToDelete:");
        QStringList candidates;
        for (const auto &[key, o] : model.colMoveableObjects)
            if (o && o->mBoolDeleted)
                candidates << o->mstrIndex;
        for (const auto &[key, e] : undos.colUndos) {
            if (!e || e->typeName() != QLatin1String("clsOtherUndo"))
                continue;
            if (static_cast<const clsOtherUndo &>(*e).mIntUndoType != clsOtherUndo::Delete)
                continue;
            for (QString &c : candidates) {
                if (!c.isEmpty() && c == e->mstrMoveableObjectIndex) {
                    mStrNotDeleteAble += crlf + QStringLiteral("OBJECT Nr. ") + c;
                    c.clear();
                }
            }
        }
        for (const QString &c : candidates) {
            if (c.isEmpty())
                continue;
            if (const auto o = model.object(c)) {
                o->mImgXPicture.reset();
                o->mImgXBackup.reset();
            }
            mStrRemoved += crlf + QStringLiteral("OBJECT Nr. ") + c;
        }
        if (mStrRemoved == QLatin1String("GarbageCollector Removed:"))
            mStrRemoved += crlf + QStringLiteral("NOTHING");
        if (mStrNotDeleteAble == QLatin1String("GarbageNotAllowedToDelete:"))
            mStrNotDeleteAble += crlf + QStringLiteral("NOTHING");
        mStrRemoved += crlf + QStringLiteral("END GARBAGE");
        mStrNotDeleteAble += crlf + QStringLiteral("END NOTDELETEABLE");
    } catch (...) {
        reportError(QStringLiteral("ERR_GARBAGECOLLECT"), QStringLiteral("clsGarbageCollector.doGarbageCollect"));
    }
}
