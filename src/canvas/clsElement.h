#pragma once
// Everything an effect or a report can be given: the program tells the kinds apart by their
// type names ("clsTextObject", "clsPictureObject", "clsBackground", "ImgX").
#include "platform/imaging/ImgxImage.h"

#include <QString>

class clsElement {
public:
    virtual ~clsElement() = default;
    virtual QString typeName() const = 0;
};

// A bare image object handed to an effect.
class ImgxElement final : public clsElement {
public:
    explicit ImgxElement(platform::ImgxImagePtr image) : image(std::move(image)) {}
    QString typeName() const override { return QStringLiteral("ImgX"); }
    platform::ImgxImagePtr image;
};
