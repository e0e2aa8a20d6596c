// The settings page of the file dialog: load on every activation, the key
// filters, the colour swatches, Apply to the running windows and Save to the
// database.

#include "files/settings_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "files/frm_copy_move.h"
#include "files/settings_save.h"
#include "platform/colour.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "shell/messages.h"
#include "shell/numbers.h"
#include "shell/settings_store.h"

namespace fotello {

namespace {

constexpr const char kSettingsCaption[] = "Configurações";

QLabel* Label(const QString& text, QWidget* parent, QRect place, const QString& name) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    return l;
}

QPushButton* Button(const QString& text, QWidget* parent, QRect place, const QString& name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

QLineEdit* Hidden(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->hide();
    return e;
}

std::uint32_t ToBgr(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

// A non-negative number as the boxes show it: one leading blank.
QString NumberText(std::int32_t v) {
    return (v >= 0 ? " " : "") + QString::number(v);
}

} // namespace

void FrmCopyMove::buildSettingsPage() {
    Picture5 = new QWidget(this);
    Picture5->setObjectName("Picture5");
    Picture5->setAutoFillBackground(true);
    Picture5->setProperty("page", true);
    Picture5->setGeometry(rect());
    Picture5->hide();
    const char* labels[] = {"Slide (Intervalo) ....................", "Segundos",
                            "Thumbnails ..........................", "Fundo da Imagem ( Janela )",
                            "Fundo da Imagem (Tela Cheia )"};
    const QRect places[] = {{12, 14, 190, 20},
                            {262, 14, 80, 20},
                            {12, 46, 190, 20},
                            {12, 110, 190, 20},
                            {12, 142, 190, 20}};
    for (int i = 0; i < 5; ++i)
        Label(QString::fromUtf8(labels[i]), Picture5, places[i], QString("Label9_%1").arg(i));

    Text2 = new QLineEdit(Picture5);
    Text2->setObjectName("Text2");
    Text2->setGeometry(204, 10, 52, 26);
    Text2->installEventFilter(this);

    Combo1 = new QComboBox(Picture5);
    Combo1->setObjectName("Combo1");
    Combo1->setGeometry(204, 42, 190, 26);
    for (const char* g : kThumbGeometries)
        Combo1->addItem(g);
    Combo1->installEventFilter(this);
    connect(Combo1, &QComboBox::activated, this, &FrmCopyMove::Combo1_Click);

    Check1 = new QCheckBox("ActiveZoom", Picture5);
    Check1->setObjectName("Check1");
    Check1->setGeometry(12, 76, 190, 24);
    connect(Check1, &QCheckBox::clicked, this, &FrmCopyMove::Check1_Click);

    for (int i = 0; i < 2; ++i) {
        Picture6[i] =
            Label({}, Picture5, {204, 108 + 32 * i, 48, 24}, QString("Picture6_%1").arg(i));
        Picture6[i]->setFrameShape(QFrame::Box);
        Picture6[i]->setAutoFillBackground(true);
        Picture6[i]->installEventFilter(this); // double click picks a colour too
        Command1[i] =
            Button("...", Picture5, {258, 108 + 32 * i, 32, 24}, QString("Command1_%1").arg(i));
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    cmdAplicar = Button("&Aplicar", Picture5, {112 + 104 * 0, 188, 96, 28}, "cmdAplicar");
    cmdSave = Button("&Salvar", Picture5, {112 + 104 * 1, 188, 96, 28}, "cmdSave");
    auto* sair = Button("&Sair", Picture5, {112 + 104 * 2, 188, 96, 28}, "cmdsair_1");
    connect(cmdAplicar, &QPushButton::clicked, this, &FrmCopyMove::cmdAplicar_Click);
    connect(cmdSave, &QPushButton::clicked, this, &FrmCopyMove::cmdSave_Click);
    connect(sair, &QPushButton::clicked, this, &QWidget::close);

    Text4 = Hidden("Text4", this);
    Text5 = Hidden("Text5", this);
    Text6 = Hidden("Text6", this);
    Text8 = Hidden("Text8", this);
    CDialog1 = new QColorDialog(this);
    CDialog1->setObjectName("CDialog1");
    connect(CDialog1, &QColorDialog::colorSelected, this, [this](const QColor& c) {
        // A cancelled dialog selects nothing: the swatch keeps its colour.
        const auto bgr = static_cast<std::int32_t>(ToBgr(c));
        setSwatch(colourFor_, bgr);
        (colourFor_ == 0 ? Text4 : Text5)->setText(NumberText(bgr));
    });
}

void FrmCopyMove::OpenSettings(const QString& programFolder,
                               std::function<void(const SettingsApply&)> apply) {
    programFolder_ = programFolder;
    apply_ = std::move(apply);
    clearStatusLine();
    ToFront(Picture5);
    setWindowTitle(QString::fromUtf8(kSettingsCaption));
    showDialog();
    // Also now: a window manager may refuse the activation asked for.
    LoadSettingsPage();
}

void FrmCopyMove::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() &&
        windowTitle() == QString::fromUtf8(kSettingsCaption))
        LoadSettingsPage();
}

bool FrmCopyMove::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && (watched == Text2 || watched == Combo1)) {
        const QString text = static_cast<QKeyEvent*>(e)->text();
        if (text.isEmpty())
            return false; // arrows, Tab and the like are not typing
        const bool digitOrBackspace =
            text.size() == 1 && ((text[0] >= '0' && text[0] <= '9') || text[0] == '\b');
        if (watched == Text2 && digitOrBackspace)
            return false;
        QApplication::beep();
        return true;
    }
    if (e->type() == QEvent::MouseButtonDblClick)
        for (int i = 0; i < 2; ++i)
            if (watched == Picture6[i]) {
                Command1_Click(i);
                return true;
            }
    return QWidget::eventFilter(watched, e);
}

void FrmCopyMove::setSwatch(int index, std::int32_t bgr) {
    swatch_[index] = bgr;
    QPalette p = Picture6[index]->palette();
    p.setColor(QPalette::Window, ColorFromBgr(static_cast<std::uint32_t>(bgr)));
    Picture6[index]->setPalette(p);
}

void FrmCopyMove::LoadSettingsPage() {
    const std::string programDb = JoinPath(programFolder_.toStdString(), kSettingsFileName);
    std::string why;
    db_ = SettingsDb::Open(SettingsPathToRead(programDb, UserSettingsPath()), kSettingsPassword,
                           &why);
    if (!db_) {
        qCWarning(lcFiles) << "settings page:" << why.c_str();
        return; // the boxes keep what they show
    }
    const std::optional<ConfigRecord> record = db_->FirstRecord(&why);
    if (!record) {
        qCWarning(lcFiles) << "settings page: no record" << why.c_str();
        return;
    }
    QLineEdit* const boxes[] = {Text2, Text4, Text5, Text6, Text8};
    for (std::size_t i = 0; i < 5; ++i)
        if (const auto& value = record->fields[i])
            boxes[i]->setText(QString::fromStdString(*value));
    for (int i = 0; i < 2; ++i) {
        const auto bgr = RoundToInt32(NumericValue((i == 0 ? Text4 : Text5)->text().toStdString()));
        if (bgr && *bgr >= 0 && *bgr <= 0xFFFFFF)
            setSwatch(i, *bgr);
    }
    const bool on = Text8->text() == QLatin1String("Sim");
    Check1->setChecked(on);
    Text8->setText(on ? QString("Sim") : QString::fromUtf8("Não"));
    Combo1->setCurrentIndex(Combo1->findText(Text6->text()));
}

void FrmCopyMove::Combo1_Click() {
    Text6->setText(Combo1->currentText());
}

void FrmCopyMove::Check1_Click() {
    if (Text8->text() == QLatin1String("Sim"))
        Text8->setText(QString::fromUtf8("Não"));
    else if (Text8->text() == QString::fromUtf8("Não"))
        Text8->setText("Sim");
}

void FrmCopyMove::Command1_Click(int index) {
    colourFor_ = index;
    CDialog1->setCurrentColor(ColorFromBgr(static_cast<std::uint32_t>(swatch_[index])));
    CDialog1->open();
}

void FrmCopyMove::cmdAplicar_Click() {
    if (Text2->text().isEmpty())
        Text2->setText("3");
    if (apply_)
        apply_({Text2->text(), Text8->text(), Combo1->currentText(), swatch_[0], swatch_[1]});
}

void FrmCopyMove::cmdSave_Click() {
    const std::string programDb = JoinPath(programFolder_.toStdString(), kSettingsFileName);
    const SettingsEdit edit{Text2->text().toStdString(), Text4->text().toStdString(),
                            Text5->text().toStdString(), Text6->text().toStdString(),
                            Text8->text().toStdString()};
    std::string why;
    if (!SaveSettings(programDb, UserSettingsPath(), edit, &why)) {
        qCWarning(lcFiles) << "settings not saved:" << why.c_str();
        ShowMessage(this, QString::fromUtf8("Impossível salvar as configurações!"));
    }
}

} // namespace fotello
