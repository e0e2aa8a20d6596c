// Thumbnail builder, strip layout and scrolling.

#include <limits>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTimer>

#include "controls/file_list_box.h"
#include "controls/picture_box.h"
#include "shell/main_window.h"
#include "shell/thumb_cache.h"
#include "shell/thumb_geometry.h"
#include "shell/thumb_strip_layout.h"
#include "shell/thumb_texts.h"
#include "shell/thumbnail_builder.h"
#include "shell/thumbnail_strip.h"
#include "shell/wait_pointer.h"

namespace fotello {

struct ThumbState {
    ThumbnailBuilder* builder = nullptr; // a child of the window, deleted first
    // Builds the cell of one file written since (another builder: the strip's
    // own build is never replaced by it).
    ThumbnailBuilder* single = nullptr;
    int singleCell = -1;
    // Lets the strip go on once the user has stopped picking for a moment.
    QTimer* resume = nullptr;
    std::optional<WaitPointer> wait; // the hourglass while a build runs
    int nextCell = 0;                // cells are numbered without gaps
    int side = 0;                    // of the square picture box
    int captionWidth = 0;            // the cell width captions are cut for
    std::optional<QFontMetrics> captionMetrics;
    QColor progressText;
    QColor progressSlideText;
};

void ThumbStateDeleter::operator()(ThumbState* s) const {
    if (!s)
        return;
    delete s->builder; // waits for the files being read; drops their results
    delete s->single;
    delete s;
}

namespace {

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

QVector<ThumbnailBuilder::Entry> FileEntries(const FileListBox* list) {
    QVector<ThumbnailBuilder::Entry> entries;
    entries.reserve(list->listCount());
    for (int i = 0; i < list->listCount(); ++i) {
        const QString name = list->entry(i);
        // The path as the file system spells it, for names that are not valid UTF-8.
        entries.push_back({name, list->localPath(name)});
    }
    return entries;
}

QString Caption(const QString& name, int width, const QFontMetrics& fm) {
    return QString::fromStdString(
        ShortenCaption(name.toStdString(), width, [&fm](std::string_view s) {
            return fm.horizontalAdvance(QString::fromUtf8(s.data(), qsizetype(s.size())));
        }));
}

} // namespace

void FrmFotello::endThumbBuild() {
    ThumbState& st = *thumbState_;
    st.wait.reset();
    st.captionMetrics.reset();
    lblCount->setText(QString());
}

void FrmFotello::placeThumb(const QString& name, int percent, const RenderedThumb& thumb) {
    ThumbState& st = *thumbState_;
    UpdateProgress(percent, name);
    if (!thumb.ok())
        return; // no cell, no message
    picFrame->setCell(st.nextCell, name, Caption(name, st.captionWidth, *st.captionMetrics),
                      QPixmap::fromImage(thumb.picture), thumb.placement, st.side);
    ++st.nextCell;
}

void FrmFotello::finishThumbBuild() {
    picProgress->hide();
    picFrame->setCellSelected(0, false);
    Redimens();
    picFrame->setStripVisible(true);
    endThumbBuild();
}

void FrmFotello::pauseStripForPreview() {
    thumbState_->resume->stop();
    thumbState_->builder->setPaused(true);
}

void FrmFotello::resumeStripSoon() {
    thumbState_->resume->start();
}

void FrmFotello::resumeStripNow() {
    thumbState_->resume->stop();
    thumbState_->builder->setPaused(false);
}

void FrmFotello::rebuildThumbnails() {
    File1->refresh();
    ResetThumbnails();
}

void FrmFotello::rebuildThumbnail(const QString& path) {
    ThumbState& st = *thumbState_;
    const QFileInfo file(path);
    const QString name = file.fileName();
    int cell = -1;
    for (int i = 0; i < picFrame->cellCount() && cell < 0; ++i)
        if (picFrame->cellTag(i) == name)
            cell = i;
    // A file of another folder has no cell here; one that is new, gone or
    // has no cell changes the list: the whole strip then.
    if (QDir::cleanPath(file.absolutePath()) != QDir::cleanPath(File1->path()))
        return;
    if (cell < 0 || st.builder->running() || !file.exists()) {
        rebuildThumbnails();
        return;
    }
    st.singleCell = cell;
    // The file was just written: its cached thumbnail is renewed, whatever its stamp says.
    ThumbRequest request{st.side, palette().color(QPalette::Button).rgb(),
                         picFrame->devicePixelRatioF(), true};
    st.single->start({{name, File1->localPath(name)}}, request);
}

void FrmFotello::placeSingleThumb(const QString& name, const RenderedThumb& thumb) {
    ThumbState& st = *thumbState_;
    const int cell = std::exchange(st.singleCell, -1);
    if (cell < 0 || cell >= picFrame->cellCount() || picFrame->cellTag(cell) != name)
        return; // the strip was rebuilt meanwhile
    if (!thumb.ok()) {
        rebuildThumbnails(); // it no longer reads: its cell goes
        return;
    }
    picFrame->setCell(cell, name,
                      Caption(name, st.captionWidth, QFontMetrics(picFrame->stripFont())),
                      QPixmap::fromImage(thumb.picture), thumb.placement, st.side);
}

void FrmFotello::buildThumbnailArea() {
    thumbState_.reset(new ThumbState);
    picFrame = new ThumbnailStrip("picFrame", Pictclips);
    auto* builder = new ThumbnailBuilder(this);
    thumbState_->builder = builder;
    const std::shared_ptr<const ThumbCache> cache = ThumbCache::ForUser();
    builder->setCache(cache);

    // The scroll bar's change and scroll events: valueChanged follows the thumb.
    connect(picFrame->vsbSlide(), &QScrollBar::valueChanged, this, &FrmFotello::vsbSlide_Change);
    connect(picFrame, &ThumbnailStrip::cellClicked, this, &FrmFotello::optThumb_Click);
    connect(picFrame, &ThumbnailStrip::cellHovered, this, [this] { hoverTracking = true; });
    connect(builder, &ThumbnailBuilder::entryDone, this,
            [this](int, const QString& name, int percent, const RenderedThumb& thumb) {
                placeThumb(name, percent, thumb);
            });
    connect(builder, &ThumbnailBuilder::finished, this, &FrmFotello::finishThumbBuild);
    thumbState_->resume = new QTimer(this);
    thumbState_->resume->setSingleShot(true);
    thumbState_->resume->setInterval(kStripResumeMs);
    connect(thumbState_->resume, &QTimer::timeout, this, &FrmFotello::resumeStripNow);
    auto* single = new ThumbnailBuilder(this);
    single->setObjectName("thumbnailOfOneFile");
    single->setCache(cache);
    thumbState_->single = single;
    connect(single, &ThumbnailBuilder::entryDone, this,
            [this](int, const QString& name, int, const RenderedThumb& thumb) {
                placeSingleThumb(name, thumb);
            });
}

void FrmFotello::ResetThumbnails() {
    picFrame->unloadCells();
    picFrame->setCellVisible(0, false);
    lblPath->setText(File1->path());
    BuildThumbnails();
}

void FrmFotello::BuildThumbnails() {
    ThumbState& st = *thumbState_;
    // A build still running is replaced, never interleaved.
    st.builder->cancel();
    if (!st.wait)
        st.wait.emplace();

    const QColor buttonFace = palette().color(QPalette::Button);
    picFrame->setStripGeometry({0, 0}, picFrame->cellSize());
    picFrame->setStripVisible(false);
    picFrame->setStripBackColor(buttonFace);
    picFrame->unloadCells();

    const QString folder = File1->path();
    const QString dir = folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
    lblCount->setText(ImageCountText(File1->listCount()));
    if (dir.isEmpty()) {
        endThumbBuild();
        return;
    }

    InitProgress();
    st.nextCell = 0;
    st.side = settings_.thumbs.side;
    // Cells take the width of the settings when the strip is laid out.
    st.captionWidth = settings_.thumbs.cellWidth;
    st.captionMetrics.emplace(picFrame->stripFont());
    picFrame->setPictureBackColor(buttonFace.rgb());
    // Drawn in device pixels: sharp on a high-density screen.
    st.builder->start(FileEntries(File1),
                      {st.side, buttonFace.rgb(), picFrame->devicePixelRatioF()});
}

void FrmFotello::Redimens() {
    if (!picFrame)
        return;
    QScrollBar* vsb = picFrame->vsbSlide();
    const int cellWidth = settings_.thumbs.cellWidth;
    const int cellHeight = settings_.thumbs.cellHeight;
    picFrame->setCellSize({cellWidth, cellHeight});

    const QRect inner = picFrame->contentsRect();
    const StripLayout l = LayOutStrip({inner.width(), inner.height(), vsb->width(), cellWidth,
                                       cellHeight, picFrame->cellCount()});
    vsb->setGeometry(inner.left() + l.scrollBarLeft, inner.top(), vsb->width(), l.scrollBarHeight);
    if (!l.ok)
        return; // not one column fits: the cells and the strip stay as they were

    picFrame->setColumns(l.cols);
    picFrame->setStripGeometry(picFrame->stripPos(), {l.stripWidth, ClampToInt(l.stripHeight)});
    vsb->setValue(0);
    vsbSlide_Change();
    vsb->setMaximum(ClampToInt(l.scrollMax));
    vsb->setEnabled(l.scrollEnabled);
    if (l.scrollEnabled) {
        vsb->setSingleStep(l.smallChange);
        vsb->setPageStep(l.largeChange);
    }
}

void FrmFotello::InitProgress() {
    ThumbState& st = *thumbState_;
    const QPalette pal = palette();
    picProgress->setBackColor(pal.color(QPalette::Button));
    st.progressText = pal.color(QPalette::ButtonText);
    picProgressSlide->setBackColor(pal.color(QPalette::Highlight));
    st.progressSlideText = pal.color(QPalette::HighlightedText);
    picProgressSlide->setGeometry(0, 0, 1, picProgress->scaleHeight());
    picProgress->show();
}

void FrmFotello::UpdateProgress(int percent, const QString& name) {
    const ThumbState& st = *thumbState_;
    const int innerHeight = picProgress->scaleHeight();
    picProgressSlide->resize(ProgressFillWidth(percent, picProgress->scaleWidth()), innerHeight);
    picProgress->cls();
    picProgressSlide->cls();
    // The name twice: over the filled part it shows in the highlight's text colour.
    const int y = CentredTextTop(innerHeight, picProgress->textHeight(name));
    picProgress->print({3, y}, name, st.progressText);
    picProgressSlide->print({3, y}, name, st.progressSlideText);
    Status(QString::fromStdString(OpeningStatusText(percent)));
    if (percent == 100)
        Status(QString());
}

void FrmFotello::Status(const QString& texto) {
    lblStat->setText(texto);
}

void FrmFotello::vsbSlide_Change() {
    picFrame->setStripTop(-picFrame->vsbSlide()->value());
}

} // namespace fotello
