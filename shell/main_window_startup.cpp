// Start-up: Form_Load and the settings it reads.

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSplitter>
#include <QTimer>

#include "controls/file_list_box.h"
#include "controls/picture_box.h"
#include "controls/scroll_box.h"
#include "files/settings_save.h"
#include "platform/paths.h"
#include "shell/main_window.h"
#include "shell/settings_log.h"
#include "shell/settings_rules.h"
#include "shell/settings_store.h"
#include "shell/wait_pointer.h"

namespace fotello {

namespace {

void readScreenBackColor(SettingsValues& settings, const QString& fundoText) {
    const auto colour = WindowBackColorValue(fundoText.toStdString());
    if (colour && IsBgrColour(*colour))
        settings.screenBackColor = *colour;
}

} // namespace

void FrmFotello::Form_Load() {
    // Every step stands alone: one that fails leaves the rest to run.
    WaitPointer wait;
    // A second instance never gets this far: main() ends it before any window.

    helpFile = programFolder_ + "/Orlano.html";

    const QString companion =
        QString::fromStdString(JoinPath(programFolder_.toStdString(), "orlano"));
    const QFileInfo companionInfo(companion);
    if (companionInfo.isFile() && companionInfo.isExecutable())
        QProcess::startDetached(companion, {}, programFolder_);

    // The settings page's per-user copy, when there is one, comes first.
    databasePath = QString::fromStdString(SettingsPathToRead(
        JoinPath(programFolder_.toStdString(), kSettingsFileName), UserSettingsPath()));
    settingsDb = OpenSettingsDb(databasePath);
    configRs.reset();
    if (settingsDb) {
        if (auto record = ReadSettingsRecord(*settingsDb))
            configRs = std::make_unique<ConfigRecord>(std::move(*record));
    }

    mcsplitbar1->addWidget(mcsplitbar2);
    mcsplitbar1->addWidget(Picture1);
    mcsplitbar2->addWidget(PictHd);
    mcsplitbar2->addWidget(Picture4);
    // Left column a quarter of the width; folder pane two thirds of its height.
    mcsplitbar1->setStretchFactor(0, 25);
    mcsplitbar1->setStretchFactor(1, 75);
    mcsplitbar2->setStretchFactor(0, 67);
    mcsplitbar2->setStretchFactor(1, 33);
    mcsplitbar1->setSizes({25, 75});
    mcsplitbar2->setSizes({67, 33});
    mcsplitbar1->show();
    startedUp_ = true;

    FillDrives();
    LoadSettings();
    ParseThumbSize();
    // Proportional resizing is what the splitters and ArrangeControls do.
    ArrangeControls();
    hoverTracking = true;
    BringToFront(Pictclips);
    pointListAtStart();
    ResetThumbnails();
    DiscoverPlugins();
    // The keys browse the pictures from the start, not the first toolbar button.
    File1->setFocus(Qt::OtherFocusReason);
    showFolderInTitle();
    // Once shown: a picture is read at the size of its pane, which only the
    // first showing lays out.
    if (!startLocation_.isEmpty())
        QTimer::singleShot(0, this, [this] { openStartLocation(startLocation_); });
}

void FrmFotello::LoadSettings() {
    QLineEdit* const fields[] = {txtSlide, txtJanela, txtFundo, txtThumbs, txtZoom};
    if (configRs) {
        for (std::size_t i = 0; i < 5; ++i) {
            if (const auto& value = configRs->fields[i])
                fields[i]->setText(QString::fromStdString(*value));
        }
    }

    if (const auto colour = WindowBackColorValue(txtJanela->text().toStdString()))
        windowBackColor = *colour;
    if (IsBgrColour(windowBackColor))
        ssScroll1->setBackColor(static_cast<std::uint32_t>(windowBackColor));
    applyMagnifierSwitch();
    readScreenBackColor(settings_, txtFundo->text());
}

void FrmFotello::applyMagnifierSwitch() {
    if (MagnifierOn(txtZoom->text().toStdString())) {
        Timer2->start();
    } else {
        drawMagnifierIdleCross();
        Timer2->stop();
    }
}

void FrmFotello::readSettingsFields() {
    settings_.thumbs = ThumbGeometryOf(
        {Text1->text().toStdString(), Text2->text().toStdString(), Text3->text().toStdString()});
    readScreenBackColor(settings_, txtFundo->text());
}

void FrmFotello::ApplySettings(std::optional<std::int32_t> windowBack) {
    readSettingsFields();
    applyMagnifierSwitch();
    if (windowBack && IsBgrColour(*windowBack)) {
        windowBackColor = *windowBack;
        ssScroll1->setBackColor(static_cast<std::uint32_t>(windowBackColor));
    }
    Redimens();
}

void FrmFotello::drawMagnifierIdleCross() {
    Picture4->cls();
    const int w = Picture4->scaleWidth();
    const int h = Picture4->scaleHeight();
    Picture4->line({0, 0}, {w - 1, h - 1}, Qt::black);
    Picture4->line({w - 3, 0}, {0, h - 1}, Qt::black);
}

void FrmFotello::ParseThumbSize() {
    ThumbFields f{Text1->text().toStdString(), Text2->text().toStdString(),
                  Text3->text().toStdString()};
    f = UsableThumbFields(fotello::ParseThumbSize(txtThumbs->text().toStdString(), f));
    Text1->setText(QString::fromStdString(f.text1));
    Text2->setText(QString::fromStdString(f.text2));
    Text3->setText(QString::fromStdString(f.text3));
    settings_.thumbs = ThumbGeometryOf(f);
}

} // namespace fotello
