#include "view/frm_flip.h"

#include <thread>

#include <QApplication>
#include <QCloseEvent>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtConcurrent>

#include "controls/toolbar_button.h"
#include "effects/frm_efeitos.h"
#include "effects/rotation.h"
#include "effects/shake.h"
#include "shell/messages.h"

namespace fotello {

namespace {

const char kRotate[] = "Rotate";
const char kShake[] = "Shake";

int Cores() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}

QImage ToImage(PixelBuffer& buffer) {
    QImage out(buffer.width(), buffer.height(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    for (int y = 0; y < buffer.height(); ++y)
        std::memcpy(out.scanLine(y), buffer.view().pixel(0, y), std::size_t(buffer.width()) * 4);
    return out;
}

PixelView ReadView(const QImage& image) {
    return PixelView{const_cast<std::uint8_t*>(image.constBits()), image.width(), image.height()};
}

QLineEdit* Field(const QString& name, const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    return field;
}

} // namespace

FrmFlip::FrmFlip(FrmEfeitos& caller, QWidget* parent) : QDialog(parent), caller_(caller) {
    setObjectName("frmFlip");
    setModal(false);
    setFixedSize(300, 200);

    PictRotate = new QWidget(this);
    PictRotate->setObjectName("PictRotate");
    PictRotate->setGeometry(0, 0, 300, 160);
    Frame1 = new QGroupBox(QString::fromUtf8("Ângulo:"), PictRotate);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 4, 150, 150);
    const auto option = [](const QString& name, const char* caption, QWidget* parent, int y) {
        auto* b = new QRadioButton(QString::fromUtf8(caption), parent);
        b->setObjectName(name);
        b->move(10, y);
        return b;
    };
    Opt90 = option("Opt90", "90°", Frame1, 22);
    Opt180 = option("Opt180", "180°", Frame1, 46);
    Opt270 = option("Opt270", "270°", Frame1, 70);
    OptCustom = option("OptCustom", "Custom", Frame1, 94);
    txtCusa = Field("txtCusa", "90", Frame1);
    txtCusa->setMaxLength(3);
    txtCusa->setGeometry(10, 120, 60, 22);
    txtCusa->installEventFilter(this);
    VScroll1 = new QScrollBar(Qt::Vertical, Frame1);
    VScroll1->setObjectName("VScroll1");
    // 360 at the near end, 1 at the far end: the bar holds the angle negated,
    // so its thumb, arrows and keys all agree on the direction.
    VScroll1->setRange(-360, -1);
    VScroll1->setValue(-90);
    VScroll1->setGeometry(120, 20, 18, 122);
    framedirection = new QGroupBox("Sentido:", PictRotate);
    framedirection->setObjectName("framedirection");
    framedirection->setGeometry(166, 4, 126, 80);
    optdir[0] = option("optdir_0", "Horário", framedirection, 22);
    optdir[1] = option("optdir_1", "Anti-Horário", framedirection, 46);
    optdir[0]->setChecked(true);
    Opt90->setChecked(true);
    txtCusa->setEnabled(false);
    VScroll1->setEnabled(false);
    connect(Opt90, &QRadioButton::clicked, this, [this] { choose("90", false); });
    connect(Opt180, &QRadioButton::clicked, this, [this] { choose("180", false); });
    connect(Opt270, &QRadioButton::clicked, this, [this] { choose("270", false); });
    connect(OptCustom, &QRadioButton::clicked, this, [this] { choose(nullptr, true); });
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this](int v) { txtCusa->setText(QString::number(-v)); });

    PictControl = new QWidget(this);
    PictControl->setObjectName("PictControl");
    PictControl->setGeometry(0, 0, 300, 160);
    const struct {
        QLineEdit** field;
        const char* name;
        const char* label;
        const char* text;
    } fields[] = {{&Text1, "Text1", "X:", "4"},
                  {&Text3, "Text3", "Y:", "4"},
                  {&Text4, "Text4", "Espessura:", "1"},
                  {&Text2, "Text2", "Diametro:", "7"}};
    int y = 12;
    for (const auto& f : fields) {
        auto* label = new QLabel(QString::fromUtf8(f.label), PictControl);
        label->setGeometry(12, y, 90, 22);
        *f.field = Field(f.name, f.text, PictControl);
        (*f.field)->setGeometry(110, y, 60, 22);
        (*f.field)->installEventFilter(this);
        y += 34;
    }

    ctbOk = new CommandButton("ctbOk", "Ok", this);
    ctbOk->setGeometry(120, 166, 80, 28);
    ctbCancelar = new CommandButton("ctbCancelar", "Cancelar", this);
    ctbCancelar->setGeometry(208, 166, 84, 28);
    connect(ctbOk, &CommandButton::Click, this, &FrmFlip::ctbOk_Click);
    // Leaves everything as it was.
    connect(ctbCancelar, &CommandButton::Click, this, &QDialog::close);

    shakeStatus_ = new QTimer(this);
    shakeStatus_->setInterval(100);
    connect(shakeStatus_, &QTimer::timeout, this, [this] {
        if (shakeRow_)
            caller_.statusLabel()->setText(
                QString("AGUARDE... Linha %1 de %2").arg(shakeRow_->load()).arg(shakeLast_));
    });
}

FrmFlip::~FrmFlip() {
    if (running_)
        running_->store(false);
}

void FrmFlip::showFor(const QString& caption) {
    setWindowTitle(caption);
    QWidget* front = caption == kShake ? PictControl : PictRotate;
    QWidget* back = caption == kShake ? PictRotate : PictControl;
    front->show();
    back->hide();
    front->raise();
    show();
    raise();
}

void FrmFlip::choose(const char* angle, bool custom) {
    if (angle)
        txtCusa->setText(angle);
    txtCusa->setEnabled(custom);
    VScroll1->setEnabled(custom);
    if (custom) {
        txtCusa->setSelection(0, 3);
        txtCusa->setFocus();
    }
}

bool FrmFlip::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const QString text = static_cast<QKeyEvent*>(e)->text();
        if (text.isEmpty())
            return false; // arrows, Tab and the like are not typing
        if (text.size() == 1 && ((text[0] >= '0' && text[0] <= '9') || text[0] == '\b'))
            return false;
        QApplication::beep();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void FrmFlip::ctbOk_Click() {
    if (running() || caller_.busy()) {
        QApplication::beep();
        return;
    }
    if (windowTitle() == kShake) {
        Shake();
        return;
    }
    if (windowTitle() != kRotate)
        return;
    const std::optional<int> degrees = ParseRotationAngle(txtCusa->text().toStdString());
    if (!degrees) {
        QApplication::beep();
        ShowMessage(this, QString::fromUtf8("O ângulo de rotação deve estar entre 0°-360°"),
                    QMessageBox::NoIcon, QString::fromUtf8("Angulo de Rotação"));
        txtCusa->setSelection(0, 3);
        txtCusa->setFocus();
        return;
    }
    Rotate(*degrees);
}

void FrmFlip::Rotate(int degrees) {
    const QImage source = caller_.untouchedPicture();
    const std::string text = std::to_string(degrees);
    const bool clockwise = optdir[0]->isChecked();
    running_ = std::make_shared<std::atomic<bool>>(true);
    setCursor(Qt::WaitCursor);
    auto running = running_;
    auto* watch = new QFutureWatcher<QImage>(this);
    connect(watch, &QFutureWatcher<QImage>::finished, this, [this, watch, running] {
        watch->deleteLater();
        running_.reset();
        unsetCursor();
        if (running->load())
            finish(watch->result());
    });
    watch->setFuture(QtConcurrent::run([source, text, clockwise, running] {
        std::optional<PixelBuffer> turned = RotatePicture(
            ReadView(source), text, clockwise, kRotateBackground, Cores(), running.get());
        return turned && running->load() ? ToImage(*turned) : QImage();
    }));
}

void FrmFlip::Shake() {
    bool okX = false, okY = false, okR = false;
    const int dx = Text1->text().toInt(&okX);
    const int dy = Text3->text().toInt(&okY);
    const int r = Text2->text().toInt(&okR);
    // Steps of 0 would never end the walk.
    if (!okX || !okY || !okR || dx <= 0 || dy <= 0) {
        QApplication::beep();
        return;
    }
    const QImage source = caller_.untouchedPicture();
    QImage target = caller_.workingPicture().copy();
    if (source.isNull() || target.isNull())
        return;
    running_ = std::make_shared<std::atomic<bool>>(true);
    shakeRow_ = std::make_shared<std::atomic<long long>>(0);
    shakeLast_ = target.height() + r;
    shakeStatus_->start();
    setCursor(Qt::WaitCursor);
    auto row = shakeRow_;
    auto running = running_;
    auto* watch = new QFutureWatcher<QImage>(this);
    connect(watch, &QFutureWatcher<QImage>::finished, this, [this, watch, running] {
        watch->deleteLater();
        running_.reset();
        shakeStatus_->stop();
        shakeRow_.reset();
        unsetCursor();
        if (running->load())
            finish(watch->result());
    });
    watch->setFuture(QtConcurrent::run([source, target, dx, dy, r, row]() mutable {
        PixelView out{target.bits(), target.width(), target.height()};
        ShakeEffect(ReadView(source), out, dx, dy, r,
                    [row](long long y, long long) { row->store(y); });
        return target;
    }));
}

void FrmFlip::finish(const QImage& result) {
    if (result.isNull())
        return;
    caller_.setWorkingPicture(result);
    caller_.afterDialog();
    close();
}

void FrmFlip::closeEvent(QCloseEvent* e) {
    // A rotation under way stops at its next row; its result is dropped.
    if (running_)
        running_->store(false);
    QDialog::closeEvent(e);
}

} // namespace fotello
