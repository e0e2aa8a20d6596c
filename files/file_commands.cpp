// The main window's commands on the current file: copy, move, rename,
// properties, refresh, the thumbnails view, the edit buttons and conversion.

#include <QtConcurrent/QtConcurrentRun>

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QUrl>

#include "controls/file_list_box.h"
#include "files/conversion.h"
#include "files/file_rules.h"
#include "files/frm_copy_move.h"
#include "files/settings_page.h"
#include "files/trash.h"
#include "platform/log.h"
#include "platform/picture_reader.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/thumbnail_strip.h"

namespace fotello {

namespace {

constexpr const char kDeleteQuestion[] = "Você quer realmente Excluir esse Arquivo?";
constexpr const char kDeleteFailed[] =
    "Impossível apagar este Arquivo!\r\nVerifique se há algum atributo (Read-Only)";

// Runs work on a worker and hands its result to done on the window's thread;
// nothing arrives once the window is gone.
template <class Result, class Work, class Done>
void OffThread(QObject* owner, Work work, Done done) {
    auto* watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, owner, [watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

} // namespace

// --- Command wiring -------------------------------------------------------------
void FrmFotello::wireFileCommands() {
    const std::pair<Command, void (FrmFotello::*)()> commands[] = {
        {Command::CopyTo, &FrmFotello::ctbCopyTo_Click},
        {Command::MoveTo, &FrmFotello::ctbMoveTo_Click},
        {Command::Rename, &FrmFotello::ctbRename_Click},
        {Command::Properties, &FrmFotello::ctbProps_Click},
        {Command::Refresh, &FrmFotello::ctbRefresh_Click},
        {Command::Thumbnails, &FrmFotello::CtbClips_Click},
        {Command::ToBmp, &FrmFotello::mnuCBmp_Click},
        {Command::ToIco, &FrmFotello::mnuCIco_Click},
        {Command::ToJpg, &FrmFotello::mnuCJpg_Click},
        {Command::Settings, &FrmFotello::ctbTools_Click},
        {Command::Mail, &FrmFotello::ctbmail_Click},
        {Command::Help, &FrmFotello::ctbajuda_Click},
        {Command::WebPage, &FrmFotello::ClarkTBButton2_Click},
    };
    for (const auto& [command, handler] : commands)
        connect(action(command), &QAction::triggered, this, handler);
    const std::pair<Command, int> edit[] = {
        {Command::Edit, 1}, {Command::Copy, 2}, {Command::Delete, 3}, {Command::Convert, 4}};
    for (const auto& [command, index] : edit)
        connect(action(command), &QAction::triggered, this,
                [this, i = index] { Button1_Click(i); });
}
// --- End of command wiring -------------------------------------------------------

void FrmFotello::ctbCopyTo_Click() {
    FrmCopyMove::Instance(*this)->OpenCopy(currentPicture());
}

void FrmFotello::ctbMoveTo_Click() {
    FrmCopyMove::Instance(*this)->OpenMove(currentPicture());
}

void FrmFotello::ctbRename_Click() {
    FrmCopyMove::Instance(*this)->OpenRename(currentPicture());
}

void FrmFotello::ctbProps_Click() {
    FrmCopyMove::Instance(*this)->OpenProperties(currentPicture());
}

void FrmFotello::mnuCJpg_Click() {
    FrmCopyMove::Instance(*this)->OpenConvertJpg(currentPicture());
}

void FrmFotello::ctbTools_Click() {
    FrmCopyMove::Instance(*this)->OpenSettings(
        programFolder_, [this](const SettingsApply& values) { ApplySettingsPage(values); });
}

void FrmFotello::ApplySettingsPage(const SettingsApply& values) {
    txtSlide->setText(values.slide);
    txtZoom->setText(values.zoom);
    txtThumbs->setText(values.geometry);
    ParseThumbSize();
    ApplySettings(values.windowBack); // magnifier, picture host, strip layout
    if (IsBgrColour(values.screenBack))
        settings_.screenBackColor = values.screenBack;
}

void FrmFotello::ctbRefresh_Click() {
    BringToFront(Pictclips);
    rebuildThumbnails();
    DisableFileCommands();
    lblstatus->clear();
}

void FrmFotello::CtbClips_Click() {
    lblstatus->clear();
    BringToFront(Pictclips);
    for (int i = 0; i < picFrame->cellCount(); ++i)
        picFrame->setCellSelected(i, false);
    lbltamanho->clear();
    lblNome->clear();
    DisableFileCommands();
    // Refresh stays on: only a running slide show switches it off.
}

void FrmFotello::OpenWithShell(const QString& path) {
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void FrmFotello::Button1_Click(int index) {
    const CurrentPicture picture = currentPicture();
    switch (index) {
    case 1:
        OpenWithShell(picture.path);
        break;
    case 2: {
        const QByteArray local = picture.local;
        OffThread<PictureResult>(
            this, [local] { return ReadPictureLocal(local); },
            [](const PictureResult& r) {
                QClipboard* clipboard = QGuiApplication::clipboard();
                clipboard->clear();
                if (r.ok())
                    clipboard->setImage(r.image);
                else
                    qCWarning(lcFiles) << "clipboard" << r.detail;
            });
        break;
    }
    case 3: {
        auto* box = new QMessageBox(QMessageBox::NoIcon, "Excluir Arquivo",
                                    QString::fromUtf8(kDeleteQuestion),
                                    QMessageBox::Ok | QMessageBox::Cancel, this);
        box->setObjectName("mensagem");
        box->setAttribute(Qt::WA_DeleteOnClose);
        const QString path =
            picture.local.isEmpty() ? picture.path : QFile::decodeName(picture.local);
        connect(box, &QMessageBox::finished, this, [this, box, path] {
            if (box->standardButton(box->clickedButton()) != QMessageBox::Ok)
                return;
            // To the desktop's trash, so that a mistaken delete can be undone.
            if (!MoveToTrash(path)) {
                qCWarning(lcFiles) << "could not move to the trash:" << path;
                ShowMessage(this, QString::fromUtf8(kDeleteFailed));
                return;
            }
            CtbClips_Click();
        });
        box->open();
        break;
    }
    case 4:
        mnuConverter->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

static void Convert(FrmFotello* window, const CurrentPicture& picture, ConversionKind kind) {
    const char* extension = kind == ConversionKind::Bmp ? "bmp" : "ico";
    const QByteArray source = picture.local;
    const QByteArray target =
        QByteArray::fromStdString(ConversionTarget(source.toStdString(), extension));
    OffThread<ConversionResult>(
        window, [source, target, kind] { return ConvertPicture(source, target, kind); },
        [window, shown = QFile::decodeName(target), kind](const ConversionResult& r) {
            if (r.ok())
                ShowMessage(window, ConvertedMessage(shown), QMessageBox::Information);
            else
                ShowMessage(window,
                            kind == ConversionKind::Bmp ? BmpErrorMessage(r) : IcoErrorMessage(r),
                            QMessageBox::Warning);
        });
}

void FrmFotello::mnuCBmp_Click() {
    Convert(this, currentPicture(), ConversionKind::Bmp);
}

void FrmFotello::mnuCIco_Click() {
    Convert(this, currentPicture(), ConversionKind::Ico);
}

} // namespace fotello
