// Thumbnail builder, strip layout and scrolling.

#include "controls/picture_box.h"
#include "shell/main_window.h"
#include "shell/thumbnail_strip.h"

namespace fotello {

struct ThumbState {};

void ThumbStateDeleter::operator()(ThumbState* s) const {
    delete s;
}

void FrmFotello::buildThumbnailArea() {
    thumbState_.reset(new ThumbState);
    picFrame = new ThumbnailStrip("picFrame", Pictclips);
}

void FrmFotello::ResetThumbnails() {
    BuildThumbnails();
}
void FrmFotello::BuildThumbnails() {}
void FrmFotello::Redimens() {}
void FrmFotello::InitProgress() {}
void FrmFotello::UpdateProgress(int, const QString&) {}
void FrmFotello::Status(const QString& texto) {
    lblStat->setText(texto);
}
void FrmFotello::vsbSlide_Change() {}

} // namespace fotello
