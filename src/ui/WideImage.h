#pragma once
// A windowless picture control that shows its own bitmap unscaled at its
// top-left corner. With a picture it is opaque: repainting it leaves the
// parent's painting beneath it alone; without one the parent shows through.
#include "ui/Bitmap.h"
#include "ui/GraphicControl.h"

class TWideImage : public TGraphicControl {
public:
    TWideImage(TWinControl& parent, int left, int top, int width, int height);

    TBitmap& Picture() { return FPicture; }
    const TBitmap& Picture() const { return FPicture; }
    // Call after drawing into Picture(): the control repaints with the new content.
    void PictureChanged();

    bool Opaque() const override { return !FPicture.Empty(); }
    void Paint(TCanvas& canvas) override;

private:
    TBitmap FPicture;
};
