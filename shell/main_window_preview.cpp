// File list, selection and preview: the current picture and the commands
// that depend on it.

#include <optional>

#include <QAction>
#include <QApplication>
#include <QFileInfo>

#include "controls/animated_picture.h"
#include "controls/elided_label.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "platform/picture_reader.h"
#include "shell/kind_rules.h"
#include "shell/layout_rules.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/preview_loader.h"
#include "shell/thumbnail_strip.h"
#include "shell/wait_pointer.h"

namespace fotello {

namespace {

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder;
    return folder + '/';
}

} // namespace

// A selection waits here for its picture; the steps that follow the reading
// run when it arrives, in the handlers' order.
struct PreviewState {
    enum class Source { List, Strip, Detail };
    struct Pending {
        Source source = Source::List;
        QString name;
        QString folder;
        QString full;
        QByteArray local;
        bool gif = false;
        std::uint64_t generation = 0;
    };
    PreviewLoader* loader = nullptr; // a child of the window, deleted first
    std::optional<Pending> pending;
    std::optional<WaitPointer> wait; // the hourglass while a selection is read
    QByteArray shownStill;           // the still picture on show, as the file system spells it
    QString shownFull;               // the picture on show (still or animated), while current
    QByteArray shownLocal;
    PictureKind shownKind = PictureKind::Unknown;
    int row = -1; // its row in the list: which way the user travels
};

void PreviewStateDeleter::operator()(PreviewState* s) const {
    if (!s)
        return;
    delete s->loader; // waits for the pictures being read; drops their results
    delete s;
}

void FrmFotello::wirePreview() {
    preview_.reset(new PreviewState);
    preview_->loader = new PreviewLoader(this);
    File1->viewport()->installEventFilter(this);
    connect(File1, &FileListBox::PathChange, this, &FrmFotello::File1_PathChange);
    connect(File1, &FileListBox::Click, this, &FrmFotello::File1_Click);
    connect(preview_->loader, &PreviewLoader::ready, this, &FrmFotello::previewRead);
    connect(Image1, &ImageControl::detailWanted, this, &FrmFotello::requestFullPicture);
    ElideTextAtRight(lblNome);
}

void FrmFotello::File1_PathChange() {
    // A picture of the folder left behind never shows.
    PreviewState& st = *preview_;
    st.loader->cancel();
    st.loader->prefetch({});
    st.pending.reset();
    st.wait.reset();
    st.row = -1;
    resumeStripNow();
    lblPath->setText(withSeparator(File1->path()));
    showFolderInTitle();
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

// Shows the failure of a selection, the pointer back to normal first; false when there was one.
// A metafile this machine cannot draw: its fonts are missing, not the file broken.
constexpr const char kNoFontsMessage[] =
    "Não é possível mostrar metarquivos (WMF) neste computador: faltam as fontes "
    "do pacote fonts-urw-base35.";

static bool reportFailure(QWidget* parent, std::optional<WaitPointer>& wait, const PictureResult& r,
                          const QString& full) {
    if (r.ok())
        return true;
    wait.reset();
    if (r.error == PictureError::Truncated)
        ShowMessage(parent, "Arquivo Truncado: " + full);
    else if (r.error == PictureError::NoFonts) // the file may well be good
        ShowMessage(parent, QString::fromUtf8(kNoFontsMessage));
    else
        ShowMessage(parent, QString::fromUtf8("Arquivo Inválido !"));
    return false;
}

// A picture that cannot be read leaves the preview as it was: only the labels
// set before the reading change.
bool FrmFotello::showAsGif(const QString& full, const PreviewPicture& read) {
    lblPath->setText(full);
    lbltamanho->setText(read.sizeText);
    if (!reportFailure(this, preview_->wait, read.picture, full))
        return false;
    if (read.gifBytes.isEmpty()) // another kind named .gif: never decoded on this thread
        return showAsStill(full, read);
    Image1->hide();
    Image1->setStretch(false);
    mcGif->raise();
    mcGif->show();
    Image1->setPicture(read.picture.image);
    mcGif->resize(read.picture.image.size());
    centreAnimatedPicture();
    mcGif->setFileName(full, read.local, read.gifBytes);
    mcGif->Prepare();
    mcGif->Play();
    preview_->shownStill.clear();
    noteShown(full, read);
    return true;
}

bool FrmFotello::showAsStill(const QString& full, const PreviewPicture& read) {
    if (!reportFailure(this, preview_->wait, read.picture, full))
        return false;
    mcGif->Stop();
    mcGif->hide();
    Image1->show();
    Image1->raise();
    Image1->setStretch(false);
    Image1->setPicture(read.picture.image, read.picture.naturalSize);
    lblPath->setText(full);
    lbltamanho->setText(read.sizeText);
    FitPicture();
    ssScroll1->setScrollMode(0);
    preview_->shownStill = read.local;
    noteShown(full, read);
    return true;
}

void FrmFotello::FitPicture() {
    const QSize natural = Image1->naturalSize();
    const Fit f = fotello::FitPicture({natural.width(), natural.height()},
                                      {ssScroll1->width(), ssScroll1->height()},
                                      {PictImagem->width(), PictImagem->height()});
    Image1->setStretch(true);
    Image1->resize(f.size.width, f.size.height);
    Image1->move(f.position.x, f.position.y);
    ssScroll1->refit();
}

void FrmFotello::centreAnimatedPicture() {
    if (mcGif->height() <= PictImagem->height() && mcGif->width() <= PictImagem->width()) {
        mcGif->move(CentredStart(PictImagem->width(), mcGif->width()),
                    CentredStart(PictImagem->height(), mcGif->height()));
        ssScroll1->setScrollMode(0);
    } else {
        mcGif->move(0, 0);
        ssScroll1->setScrollMode(4);
    }
}

void FrmFotello::recentreAnimatedPicture() {
    if (!mcGif->isHidden())
        centreAnimatedPicture();
}

void FrmFotello::noteShown(const QString& full, const PreviewPicture& read) {
    preview_->shownFull = full;
    preview_->shownLocal = read.local;
    preview_->shownKind = read.picture.kind;
}

CurrentPicture FrmFotello::currentPicture() const {
    const PreviewState& st = *preview_;
    CurrentPicture c;
    // The picture stays current until another folder is listed.
    if (st.shownFull.isEmpty() || lblPath->text() != st.shownFull)
        return c;
    c.path = st.shownFull;
    c.local = st.shownLocal;
    c.name = QFileInfo(st.shownFull).fileName();
    c.kind = st.shownKind;
    c.image = Image1->picture();
    c.naturalSize = Image1->naturalSize().isValid() ? Image1->naturalSize() : c.image.size();
    return c;
}

void FrmFotello::redrawPreview() {
    const PreviewState& st = *preview_;
    if (st.shownFull.isEmpty())
        return;
    // The read-ahead knows a file written since by its stamp: this reads it again.
    selectPicture(true, QFileInfo(st.shownFull).fileName());
}

void FrmFotello::showInPreview(const QImage& picture) {
    if (picture.isNull())
        return;
    mcGif->Stop();
    mcGif->hide();
    Image1->show();
    Image1->raise();
    Image1->setStretch(false);
    Image1->setPicture(picture);
    FitPicture();
    ssScroll1->setScrollMode(0);
}

void FrmFotello::File1_Click() {
    selectPicture(true, File1->selectedName());
}

void FrmFotello::optThumb_Click(int index) {
    selectPicture(false, picFrame->cellTag(index));
}

// The list, the strip and the keys select through here: the picture is read
// on a worker, and a selection made while one is read replaces it.
void FrmFotello::selectPicture(bool fromList, const QString& name) {
    if (name.isEmpty())
        return;
    PreviewState& st = *preview_;
    pauseStripForPreview();
    PreviewState::Pending p;
    p.source = fromList ? PreviewState::Source::List : PreviewState::Source::Strip;
    p.name = name;
    p.folder = File1->path();
    p.full = withSeparator(p.folder) + name;
    p.local = File1->localPath(name);
    // The two handlers test the kind on paths joined each their own way.
    p.gif = ShownAsGif((fromList ? p.folder + "/" + name : p.full).toLower().toStdString());
    if (!st.wait)
        st.wait.emplace();
    p.generation = st.loader->request(previewJob(p.full, p.local, p.gif));
    st.pending = p;
}

PreviewJob FrmFotello::previewJob(const QString& full, const QByteArray& local, bool gif) const {
    return {full, local, gif, ssScroll1->size(), PictImagem->size(), devicePixelRatioF()};
}

void FrmFotello::requestFullPicture() {
    PreviewState& st = *preview_;
    // A selection on its way replaces the picture anyway.
    if (st.pending || st.shownStill.isEmpty() || !Image1->isReduced())
        return;
    PreviewState::Pending p;
    p.source = PreviewState::Source::Detail;
    p.local = st.shownStill;
    p.full = lblPath->text();
    p.generation = st.loader->request({p.full, p.local, false, {}, {}});
    st.pending = p;
}

void FrmFotello::noteSlideStill(const QByteArray& local) {
    preview_->shownStill = local;
    preview_->shownFull.clear();
}

void FrmFotello::dropPendingSelection() {
    PreviewState& st = *preview_;
    if (!st.pending || st.pending->source == PreviewState::Source::Detail)
        return;
    st.loader->cancel();
    st.pending.reset();
    st.wait.reset();
    resumeStripSoon();
}

void FrmFotello::previewRead(const PreviewPicture& read) {
    PreviewState& st = *preview_;
    if (!st.pending || read.generation != st.pending->generation)
        return; // the answer to a selection since replaced
    const PreviewState::Pending p = *std::exchange(st.pending, std::nullopt);
    resumeStripSoon();
    switch (p.source) {
    case PreviewState::Source::List:
        showListSelection(p.name, p.folder, p.full, p.gif, read);
        break;
    case PreviewState::Source::Strip:
        showStripSelection(p.name, p.folder, p.full, p.gif, read);
        break;
    case PreviewState::Source::Detail:
        // Same size on screen, more pixels behind it.
        if (read.picture.ok() && read.local == st.shownStill)
            Image1->setPicture(read.picture.image, read.picture.naturalSize);
        return;
    }
    st.wait.reset();
    readAhead(p.name, p.folder, p.source == PreviewState::Source::List);
}

void FrmFotello::showListSelection(const QString& name, const QString& folder, const QString& full,
                                   bool gif, const PreviewPicture& read) {
    notePick(folder);
    BringToFront(PictImagem);
    if (!(gif ? showAsGif(full, read) : showAsStill(full, read)))
        return;
    currentFileName = name;
    lblNome->setText(currentFileName);
    enableFileCommands(true);
    UpdateKindCommands();
}

void FrmFotello::showStripSelection(const QString& name, const QString& folder, const QString& full,
                                    bool gif, const PreviewPicture& read) {
    lblPath->setText(full);
    currentFileName = name;
    lblNome->setText(currentFileName);
    notePick(folder);
    if (!(gif ? showAsGif(full, read) : showAsStill(full, read)))
        return;
    enableFileCommands(false);
    BringToFront(PictImagem);
    UpdateKindCommands();
}

// The list's neighbours of the picture just selected, the way of travel first.
void FrmFotello::readAhead(const QString& name, const QString& folder, bool fromList) {
    PreviewState& st = *preview_;
    int row = fromList ? File1->currentRow() : -1;
    if (row < 0 || File1->entry(row) != name) {
        const auto items = File1->findItems(name, Qt::MatchExactly);
        row = items.isEmpty() ? -1 : File1->row(items.first());
    }
    QVector<PreviewJob> jobs;
    auto add = [&](int r) {
        if (r < 0 || r >= File1->listCount())
            return;
        const QString n = File1->entry(r);
        const QString full = withSeparator(folder) + n;
        jobs.push_back(previewJob(full, File1->localPath(n),
                                  ShownAsGif((folder + "/" + n).toLower().toStdString())));
    };
    if (row >= 0) {
        const bool up = st.row >= 0 && row < st.row;
        add(up ? row - 1 : row + 1);
        add(up ? row + 1 : row - 1);
    }
    st.row = row;
    st.loader->prefetch(jobs);
}

} // namespace fotello
