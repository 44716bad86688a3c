#pragma once
// Frees the images of deleted canvas objects once no Delete entry of the undo stack can
// bring them back. Keeps a log of its last run.
#include <QString>

class clsMoveableObjects;
class clsUndos;

class clsGarbageCollector {
public:
    QString mStrNotDeleteAble;
    QString mStrRemoved;

    void doGargageCollect(clsMoveableObjects &objPMoveAbleObjects, clsUndos &objPUndos);
};

// The program's one collector.
clsGarbageCollector &gObjGarbageCollector();
