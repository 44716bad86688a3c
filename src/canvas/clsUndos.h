#pragma once
// The graphics editor's undo stack: at most 16 entries keyed "1" (oldest) to "16" (newest).
// An image entry undoes a step that an image keeps in its own undo buffer; an object entry
// undoes a change of the canvas model with what it keeps of the state before.
#include "canvas/clsCanvasObject.h"
#include "core/KeyedCollection.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

class clsMoveableObjects;
namespace platform { class ImgxCanvas; }

// A value (the angle before a rotation, "NONE") or an object snapshot, held by reference.
using UndoParameter = std::variant<std::monostate, QString, double, clsCanvasObjectPtr>;

class clsUndoEntry {
public:
    virtual ~clsUndoEntry() = default;
    virtual QString typeName() const = 0;
    virtual void doUndo(clsMoveableObjects &objMyMoveableObjects, platform::ImgxCanvas &igxCtrl) = 0;

    QString mstrUndoIndex;
    QString mstrMoveableObjectIndex; // "" is the background
    QString mstrText;
};

class clsOtherUndo final : public clsUndoEntry {
public:
    enum Kind : std::int16_t { Delete = 0, Insert = 1, Rotate = 2, EditText = 3, Resize = 4 };

    QString typeName() const override { return QStringLiteral("clsOtherUndo"); }
    void doUndo(clsMoveableObjects &objMyMoveableObjects, platform::ImgxCanvas &igxCtrl) override;

    std::int16_t mIntUndoType = 0;
    UndoParameter mVarParameter;
};

class clsImgxUndo final : public clsUndoEntry {
public:
    QString typeName() const override { return QStringLiteral("clsImgxUndo"); }
    void doUndo(clsMoveableObjects &objMyMoveableObjects, platform::ImgxCanvas &igxCtrl) override;
};

using clsUndoEntryPtr = std::shared_ptr<clsUndoEntry>;

class clsUndos {
public:
    static constexpr int kMaxEntries = 16;

    KeyedCollection<clsUndoEntryPtr> colUndos;
    std::int16_t mintUndoIndex = 0;

    QString getLastUndoText() const;
    void doLastUndo(clsMoveableObjects &objMyMoveableObjects, platform::ImgxCanvas &igxCtrl);
    void addImgxUndo(const QString &strMoveableObjectIndex, const QString &strUndoText);
    // "AUTO" takes the kind's text from the language file.
    void addOtherUndo(const QString &strMoveableObjectIndex, std::int16_t intUndoType, const QString &strUndoText,
                      UndoParameter varParameter);

private:
    void push(clsUndoEntryPtr entry);
};

// The editor's undo stack; created when first asked for.
std::shared_ptr<clsUndos> &gObjUndos();
