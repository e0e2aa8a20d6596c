// File list, selection and preview: the current picture and the commands
// that depend on it.

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>

#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "platform/picture_reader.h"
#include "shell/kind_rules.h"
#include "shell/layout_rules.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/thumbnail_strip.h"
#include "shell/wait_pointer.h"

namespace fotello {

namespace {

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder;
    return folder + '/';
}

// The file's length in bytes, a space and "bytes"; the path as the file
// system spells it, so names that are not UTF-8 measure too.
QString sizeLabel(const QByteArray& local) {
    struct stat st {};
    const qint64 size = ::stat(local.constData(), &st) == 0 ? qint64(st.st_size) : 0;
    return QString::number(size) + " bytes";
}

} // namespace

void FrmFotello::wirePreview() {
    File1->viewport()->installEventFilter(this);
    connect(File1, &FileListBox::PathChange, this, &FrmFotello::File1_PathChange);
    connect(File1, &FileListBox::Click, this, &FrmFotello::File1_Click);
}

void FrmFotello::File1_PathChange() {
    lblPath->setText(withSeparator(File1->path()));
    BringToFront(Pictclips);
    ResetThumbnails();
    DisableFileCommands();
}

void FrmFotello::DisableFileCommands() {
    browsing_.fileCommandsOff();
    applyCommandStates();
}

void FrmFotello::enableFileCommands(bool withRefresh) {
    // Refresh follows the slide show alone: the file list, the one picker
    // that would switch it on, is disabled while a show runs.
    Q_UNUSED(withRefresh);
    browsing_.pictureShownNow();
    applyCommandStates();
}

void FrmFotello::UpdateKindCommands() {
    browsing_.kindKnown(lblPath->text().toLower().toStdString());
    applyCommandStates();
}

// Shows the failure of a selection; false when there was one.
static bool reportFailure(QWidget* parent, const PictureResult& r, const QString& full) {
    if (r.ok())
        return true;
    if (r.error == PictureError::Truncated)
        ShowMessage(parent, "Arquivo Truncado: " + full);
    else
        ShowMessage(parent, QString::fromUtf8("Arquivo Inválido !"));
    return false;
}

bool FrmFotello::showAsGif(const QString& full) {
    Image1->hide();
    Image1->setStretch(false);
    mcGif->raise();
    mcGif->show();
    const QByteArray local = File1->localPath(QFileInfo(full).fileName());
    lblPath->setText(full);
    lbltamanho->setText(sizeLabel(local));
    const PictureResult r = ReadPictureLocal(local);
    if (!reportFailure(this, r, full))
        return false;
    Image1->setPicture(r.image);
    mcGif->resize(r.image.size());
    if (mcGif->height() <= PictImagem->height() && mcGif->width() <= PictImagem->width()) {
        mcGif->move(CentredStart(PictImagem->width(), mcGif->width()),
                    CentredStart(PictImagem->height(), mcGif->height()));
        ssScroll1->setScrollMode(0);
    } else {
        mcGif->move(0, 0);
        ssScroll1->setScrollMode(4);
    }
    mcGif->setFileName(full, local);
    mcGif->Prepare();
    mcGif->Play();
    return true;
}

bool FrmFotello::showAsStill(const QString& full) {
    mcGif->Stop();
    mcGif->hide();
    Image1->show();
    Image1->raise();
    Image1->setStretch(false);
    const QByteArray local = File1->localPath(QFileInfo(full).fileName());
    const PictureResult r = ReadPictureLocal(local);
    if (!reportFailure(this, r, full))
        return false;
    Image1->setPicture(r.image);
    lblPath->setText(full);
    lbltamanho->setText(sizeLabel(local));
    FitPicture();
    ssScroll1->setScrollMode(0);
    return true;
}

void FrmFotello::FitPicture() {
    const QSize natural = Image1->picture().size();
    const Fit f = fotello::FitPicture({natural.width(), natural.height()},
                                      {ssScroll1->width(), ssScroll1->height()},
                                      {PictImagem->width(), PictImagem->height()});
    Image1->setStretch(true);
    Image1->resize(f.size.width, f.size.height);
    Image1->move(f.position.x, f.position.y);
    ssScroll1->refit();
}

void FrmFotello::File1_Click() {
    const QString name = File1->selectedName();
    if (name.isEmpty())
        return;
    const QString folder = File1->path();
    notePick(folder);
    WaitPointer wait;
    BringToFront(PictImagem);
    const QString full = withSeparator(folder) + name;
    const bool gif = ShownAsGif((folder + "/" + name).toLower().toStdString());
    if (!(gif ? showAsGif(full) : showAsStill(full)))
        return;
    currentFileName = name;
    lblNome->setText(currentFileName);
    enableFileCommands(true);
    UpdateKindCommands();
}

void FrmFotello::optThumb_Click(int index) {
    const QString tag = picFrame->cellTag(index);
    const QString folder = File1->path();
    lblPath->setText(withSeparator(folder) + tag);
    currentFileName = tag;
    lblNome->setText(currentFileName);
    const QString full = lblPath->text();
    notePick(folder);
    WaitPointer wait;
    const bool gif = ShownAsGif(full.toLower().toStdString());
    if (!(gif ? showAsGif(full) : showAsStill(full)))
        return;
    enableFileCommands(false);
    BringToFront(PictImagem);
    UpdateKindCommands();
}

} // namespace fotello
