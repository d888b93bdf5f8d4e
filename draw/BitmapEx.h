#pragma once
// A bitmap that stores itself in an archive and loads itself back.

#include "platform/Archive.h"
#include "platform/Bitmap.h"

class CBitmapEx : public CObject, public CBitmap {
    DECLARE_SERIAL(CBitmapEx)
public:
    CBitmapEx() = default;
    // Type, width, height, bytes per scan line, planes, bits per pixel, then the pixels.
    void Serialize(CArchive& ar) override;
};
