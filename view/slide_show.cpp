// The slide show: the folder's pictures in the preview, one after another.
// The waits are timers on the monotonic clock; the next picture is read ahead
// on a worker while the current one is on show.

#include <QAction>
#include <QTimer>
#include <QTreeWidget>

#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "shell/main_window.h"
#include "shell/preview_loader.h"
#include "view/view_state.h"

namespace fotello {

void FrmFotello::wireSlideShow() {
    ViewState& v = *view_;
    v.slideLoader = new PreviewLoader(this);
    v.slideLoader->setObjectName("slideLoader");
    v.slideWait = new QTimer(this);
    v.slideWait->setObjectName("slideWait");
    v.slideWait->setSingleShot(true);
    v.slideWait->setTimerType(Qt::PreciseTimer);
    connect(v.slideLoader, &PreviewLoader::ready, this, &FrmFotello::slideRead);
    connect(v.slideWait, &QTimer::timeout, this, &FrmFotello::slideWake);
    connect(Timer1, &QTimer::timeout, this, &FrmFotello::Timer1_Timer);
    connect(action(Command::Slide), &QAction::triggered, this, &FrmFotello::ctbSlide_Click);
    connect(action(Command::SlideStop), &QAction::triggered, this, &FrmFotello::ctbSlideF_Click);
}

void FrmFotello::ctbSlide_Click() {
    ViewState& v = *view_;
    if (v.slides.phase() != SlideSequence::Phase::Idle)
        return;
    // A picture picked just before would land in the middle of the show.
    dropPendingSelection();
    browsing_.slideShowStarted();
    applyCommandStates();
    tView->setEnabled(false);
    File1->setEnabled(false);

    BringToFront(ctbSlideF);
    BringToFront(PictImagem);
    mcGif->Stop();
    mcGif->hide();
    BringToFront(Image1);

    lbltamanho->setText(QString());
    lblNome->setText(QString());

    v.slides.start();
    Timer1->start();
}

void FrmFotello::Timer1_Timer() {
    ViewState& v = *view_;
    // The list as it stands when the pass begins.
    const int count = File1->listCount();
    const std::optional<int> first = v.slides.tick(count, txtSlide->text().toStdString());
    if (!first)
        return;
    v.slideFolder = File1->path();
    v.slideNames.clear();
    v.slideLocal.clear();
    for (int i = 0; i < count; ++i) {
        v.slideNames.push_back(File1->entry(i));
        v.slideLocal.push_back(File1->localPath(v.slideNames.back()));
    }
    showSlide(*first);
}

static PreviewJob slideJob(const ViewState& v, int index, QSize host, QSize pane) {
    const QString full = QString::fromStdString(
        JoinFolderFile(v.slideFolder.toStdString(), v.slideNames[index].toStdString()));
    // A GIF is shown still, as its first frame.
    return {full, v.slideLocal[index], false, host, pane};
}

void FrmFotello::showSlide(int index) {
    ViewState& v = *view_;
    if (index < 0 || index >= v.slideNames.size())
        return;
    v.slideStopLoad = false;
    v.slideGeneration =
        v.slideLoader->request(slideJob(v, index, ssScroll1->size(), PictImagem->size()));
}

void FrmFotello::slideRead(const PreviewPicture& read) {
    ViewState& v = *view_;
    if (read.generation != v.slideGeneration)
        return;
    if (v.slideStopLoad) {
        // What stop leaves in the hidden preview.
        v.slideStopLoad = false;
        if (read.picture.ok()) {
            Image1->setStretch(false);
            Image1->setPicture(read.picture.image, read.picture.naturalSize);
            noteSlideStill(read.local);
        }
        return;
    }
    if (v.slides.phase() != SlideSequence::Phase::Showing)
        return;
    Image1->setStretch(false);
    Image1->hide();
    // A picture that cannot be read leaves the one before on show for its turn.
    if (read.picture.ok()) {
        Image1->setPicture(read.picture.image, read.picture.naturalSize);
        noteSlideStill(read.local);
    }
    FitPicture();
    ssScroll1->setScrollMode(0);
    Image1->show();
    lblCount->setText("Imagem:");
    lblStat->setText(
        QString::fromStdString(SlideCounter(v.slides.index(), int(v.slideNames.size()))));
    const auto wait = v.slides.shown(SlideClock::now());
    v.slideWait->start(int(wait.count()));
    // The next one (the first again after the last) is read while this one shows.
    const int next = (v.slides.index() + 1) % int(v.slideNames.size());
    v.slideLoader->prefetch({slideJob(v, next, ssScroll1->size(), PictImagem->size())});
}

void FrmFotello::slideWake() {
    ViewState& v = *view_;
    const SlideClock::time_point now = SlideClock::now();
    if (const std::optional<int> next = v.slides.wake(now)) {
        showSlide(*next);
        return;
    }
    // Woken a little early: the rest of the wait.
    if (v.slides.phase() == SlideSequence::Phase::Waiting)
        v.slideWait->start(int(std::max<std::int64_t>(1, v.slides.remaining(now).count())));
}

void FrmFotello::ctbSlideF_Click() {
    ViewState& v = *view_;
    Timer1->stop();
    v.slideWait->stop();
    if (v.slides.phase() == SlideSequence::Phase::Idle)
        return;
    // The last picture of the list is left in the hidden preview.
    const int count = File1->listCount();
    if (const std::optional<int> last = v.slides.stop(count)) {
        v.slideFolder = File1->path();
        const QString name = File1->entry(*last);
        const QString full =
            QString::fromStdString(JoinFolderFile(v.slideFolder.toStdString(), name.toStdString()));
        v.slideGeneration = v.slideLoader->request(
            {full, File1->localPath(name), false, ssScroll1->size(), PictImagem->size()});
        v.slideStopLoad = true;
    } else {
        v.slideLoader->cancel();
    }
    v.slideLoader->prefetch({});

    BringToFront(ctbSlide);
    BringToFront(Pictclips);
    browsing_.slideShowStopped();
    applyCommandStates();
    lblCount->setText(QString());
    lblStat->setText(QString());
    tView->setEnabled(true);
    File1->setEnabled(true);
}

} // namespace fotello
