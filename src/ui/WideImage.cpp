#include "ui/WideImage.h"

#include "ui/Canvas.h"

TWideImage::TWideImage(TWinControl& parent, int left, int top, int width, int height) : TGraphicControl(parent) {
    FCapturesMouse = false;
    TControl::SetBounds(left, top, width, height);
}

void TWideImage::PictureChanged() {
    Repaint();
}

void TWideImage::Paint(TCanvas& canvas) {
    if (!FPicture.Empty())
        BitBlt(canvas.Handle(), 0, 0, FPicture.Width(), FPicture.Height(), FPicture.DC(), 0, 0, SRCCOPY);
}
