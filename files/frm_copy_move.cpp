#include "files/frm_copy_move.h"

#include <QtConcurrent/QtConcurrentRun>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTreeView>

#include "files/conversion.h"
#include "files/file_ops.h"
#include "files/file_rules.h"
#include "platform/log.h"
#include "platform/volumes.h"
#include "shell/forms.h"
#include "shell/messages.h"
#include "shell/numbers.h"
#include "shell/settings_store.h"

namespace fotello {

namespace {

QPointer<FrmCopyMove> loaded;

// Blanks only, as the user typed them; other white space belongs to the name.
QString TrimBlanks(QString s) {
    while (s.startsWith(' '))
        s.remove(0, 1);
    while (s.endsWith(' '))
        s.chop(1);
    return s;
}

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent, QRect place) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    return l;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent, QRect place) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

QLineEdit* MakeEdit(const char* name, QWidget* parent, QRect place) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(place);
    return e;
}

QWidget* MakePage(const char* name, QWidget* parent, QRect place) {
    auto* p = new QWidget(parent);
    p->setObjectName(name);
    p->setAutoFillBackground(true);
    p->setProperty("page", true);
    p->setGeometry(place);
    return p;
}

constexpr int kWidth = 440, kHeight = 230;
constexpr int kPreviewBox = 81; // 1215 twips

} // namespace

FrmCopyMove* FrmCopyMove::Instance(MainWindowHost& host) {
    if (!loaded)
        loaded = new FrmCopyMove(host);
    return loaded;
}

FrmCopyMove* FrmCopyMove::Loaded() {
    return loaded;
}

FrmCopyMove::FrmCopyMove(MainWindowHost& host) : QWidget(nullptr, Qt::Window), host_(host) {
    setObjectName("frmCopyMove");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(kWidth, kHeight);
    // Smaller, the captions and paths would be cut off.
    setMinimumSize(kWidth, kHeight);
    buildFrame();
    buildCopyPage();
    buildFolderPage();
    buildRenamePage();
    buildPropertiesPage();
    buildSettingsPage();
    noteDesign(this);
    Forms::instance().add(this);
}

FrmCopyMove::~FrmCopyMove() {
    Forms::instance().remove(this);
}

void FrmCopyMove::buildFrame() {
    PictCopy = MakePage("PictCopy", this, rect());
    LblArquivo = MakeLabel("LblArquivo", {}, PictCopy, {12, 8, kWidth - 24, 20});
    QFont bold = LblArquivo->font();
    bold.setBold(true);
    LblArquivo->setFont(bold);
    cmdCopy = MakeButton("cmdCopy", {}, PictCopy, {kWidth - 212, kHeight - 38, 96, 28});
    cmdsair0 = MakeButton("cmdsair_0", "&Sair", PictCopy, {kWidth - 108, kHeight - 38, 96, 28});
    connect(cmdCopy, &QPushButton::clicked, this, &FrmCopyMove::cmdCopy_Click);
    connect(cmdsair0, &QPushButton::clicked, this, &QWidget::close);
}

void FrmCopyMove::buildCopyPage() {
    Picture1 = MakePage("Picture1", PictCopy, {12, 34, kWidth - 24, kHeight - 80});
    MakeLabel("Label1", "Origem:", Picture1, {0, 12, 70, 22});
    txtSource = MakeEdit("txtSource", Picture1, {72, 10, kWidth - 96, 26});
    MakeLabel("Label2", "Destino:", Picture1, {0, 50, 70, 22});
    txtTarget = MakeEdit("txtTarget", Picture1, {72, 48, kWidth - 96, 26});
    cmdProcurar = MakeButton("cmdProcurar", "&Procurar", Picture1, {kWidth - 124, 84, 100, 28});
    connect(cmdProcurar, &QPushButton::clicked, this, &FrmCopyMove::cmdProcurar_Click);
}

void FrmCopyMove::buildFolderPage() {
    Picture2 = MakePage("Picture2", PictCopy, {12, 34, kWidth - 24, kHeight - 80});
    Drive1 = new QComboBox(Picture2);
    Drive1->setObjectName("Drive1");
    Drive1->setGeometry(0, 0, 280, 26);
    for (const Volume& v : ListVolumes())
        Drive1->addItem(QFile::decodeName(QByteArray::fromStdString(v.text)),
                        QFile::decodeName(QByteArray::fromStdString(v.key)));
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    Dir1 = new QTreeView(Picture2);
    Dir1->setObjectName("Dir1");
    Dir1->setModel(dirModel_);
    for (int c = 1; c < dirModel_->columnCount(); ++c)
        Dir1->hideColumn(c);
    Dir1->setHeaderHidden(true);
    Dir1->setGeometry(0, 30, 280, kHeight - 112);
    cmdOk = MakeButton("cmdOk", "&Ok", Picture2, {292, 30, 100, 28});
    cmdVoltar = MakeButton("cmdVoltar", "&Voltar", Picture2, {292, 64, 100, 28});
    connect(Drive1, &QComboBox::currentIndexChanged, this, &FrmCopyMove::Drive1_Change);
    connect(cmdOk, &QPushButton::clicked, this, &FrmCopyMove::cmdOk_Click);
    connect(cmdVoltar, &QPushButton::clicked, this, &FrmCopyMove::cmdVoltar_Click);
    Drive1->setProperty("shown", -1);
    Drive1_Change();
}

void FrmCopyMove::buildRenamePage() {
    Picture3 = MakePage("Picture3", PictCopy, {12, 34, kWidth - 24, kHeight - 80});
    Label3 = MakeLabel("Label3", {}, Picture3, {0, 6, kWidth - 24, 22});
    Text1 = MakeEdit("Text1", Picture3, {0, 30, kWidth - 24, 26});
    Label4 =
        MakeLabel("Label4", QString::fromUtf8("Taxa de Compressão:"), Picture3, {0, 74, 140, 22});
    HScroll1 = new QScrollBar(Qt::Horizontal, Picture3);
    HScroll1->setObjectName("HScroll1");
    HScroll1->setGeometry(142, 76, 190, 18);
    HScroll1->setRange(kScrollMin, kMaxRate);
    HScroll1->setValue(kMinRate);
    Text3 = MakeEdit("Text3", Picture3, {340, 72, 52, 26});
    Text3->setText(QString::number(kMinRate));
    connect(HScroll1, &QScrollBar::valueChanged, this, &FrmCopyMove::HScroll1_Change);
}

void FrmCopyMove::buildPropertiesPage() {
    Picture4 = MakePage("Picture4", PictCopy, {12, 34, kWidth - 24, kHeight - 80});
    const struct {
        const char* name;
        const char* text;
        int info;
    } rows[] = {{"Label6", "Tamanho Atual:", 2},
                {"Label5", "Largura da Imagem:", 4},
                {"Label7", "Altura da Imagem:", 3},
                {"Label8", "Tamanho Original:", 5}};
    int y = 0;
    for (const auto& row : rows) {
        MakeLabel(row.name, QString::fromUtf8(row.text), Picture4, {0, y, 130, 20});
        const QByteArray name = "lblInfo_" + QByteArray::number(row.info);
        lblInfo[row.info] = MakeLabel(name.constData(), {}, Picture4, {132, y, 160, 20});
        y += 22;
    }
    Image1 =
        MakeLabel("Image1", {}, Picture4, {kWidth - 24 - kPreviewBox, 0, kPreviewBox, kPreviewBox});
    Image1->setScaledContents(true);
    lblcaminho = MakeLabel("lblcaminho", {}, Picture4, {0, 92, kWidth - 24, 48});
    lblcaminho->setWordWrap(true);
}

// --- Pages and proportions -----------------------------------------------------

void FrmCopyMove::ToFront(QWidget* page) {
    // The pages behind are hidden, not only covered, so that the keyboard's
    // tab chain never reaches a control the user cannot see.
    for (QObject* o : page->parentWidget()->children())
        if (auto* sibling = qobject_cast<QWidget*>(o);
            sibling && sibling != page && sibling->property("page").toBool())
            sibling->hide();
    page->raise();
    page->show();
}

void FrmCopyMove::noteDesign(QWidget* container) {
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        design_.insert(w, w->geometry());
        if (w->property("page").toBool())
            noteDesign(w);
    }
}

void FrmCopyMove::place(QWidget* w, const QRect& design) {
    design_.insert(w, design);
    fit(w, design);
}

void FrmCopyMove::fit(QWidget* w, const QRect& design) const {
    // Edges are scaled, not sizes, so that neighbours stay neighbours.
    const double sx = double(width()) / kWidth, sy = double(height()) / kHeight;
    const int left = qRound(design.left() * sx), top = qRound(design.top() * sy);
    const int right = qRound((design.left() + design.width()) * sx);
    const int bottom = qRound((design.top() + design.height()) * sy);
    w->setGeometry(left, top, right - left, bottom - top);
}

void FrmCopyMove::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    for (auto it = design_.cbegin(); it != design_.cend(); ++it)
        fit(it.key(), it.value());
}

// --- Opening ------------------------------------------------------------------

void FrmCopyMove::clearStatusLine() {
    host_.clearStatus();
}

void FrmCopyMove::beginOpening(const QString& caption, const CurrentPicture& picture) {
    clearStatusLine();
    setWindowTitle(caption);
    picturePath_ = picture.path;
    pictureLocal_ = picture.local;
}

void FrmCopyMove::showDialog() {
    show();
    raise();
    activateWindow();
}

void FrmCopyMove::OpenCopy(const CurrentPicture& picture) {
    beginOpening("Copiar Arquivo", picture);
    cmdCopy->setText("&Copiar");
    ToFront(PictCopy);
    ToFront(Picture1);
    LblArquivo->setText(picture.name);
    txtSource->setText(picture.path);
    showDialog();
}

void FrmCopyMove::OpenMove(const CurrentPicture& picture) {
    beginOpening("Mover Arquivo", picture);
    cmdCopy->setText("&Mover");
    ToFront(PictCopy);
    ToFront(Picture1);
    LblArquivo->setText(picture.name);
    txtSource->setText(picture.path);
    setTabOrder(txtTarget, txtSource);
    setTabOrder(txtSource, cmdProcurar);
    showDialog();
    txtTarget->setFocus();
}

void FrmCopyMove::OpenRename(const CurrentPicture& picture) {
    beginOpening("Renomear Arquivo", picture);
    cmdCopy->setText("&Renomear");
    Label3->setText("Renomear para:");
    Label4->hide();
    HScroll1->hide();
    Text3->hide();
    txtSource->setText(picture.path);
    ToFront(PictCopy);
    ToFront(Picture3);
    Text1->setText(picture.path);
    Text1->selectAll();
    LblArquivo->setText(picture.name);
    showDialog();
    Text1->setFocus();
}

void FrmCopyMove::OpenConvertJpg(const CurrentPicture& picture) {
    beginOpening("Converter para .JPG", picture);
    cmdCopy->setText("Conver&ter");
    Label3->setText("Converter para:");
    LblArquivo->setText(picture.name);
    Label4->show();
    HScroll1->show();
    Text3->show();
    txtSource->setText(picture.path);
    ToFront(PictCopy);
    ToFront(Picture3);
    jpegTargetLocal_ = QByteArray::fromStdString(ConversionTarget(
        (picture.local.isEmpty() ? QFile::encodeName(picture.path) : picture.local).toStdString(),
        "jpg"));
    jpegTargetText_ = QFile::decodeName(jpegTargetLocal_);
    Text1->setText(jpegTargetText_);
    Text1->selectAll();
    showDialog();
    Text1->setFocus();
}

void FrmCopyMove::OpenProperties(const CurrentPicture& picture) {
    const QSize natural =
        picture.naturalSize.isValid() ? picture.naturalSize : picture.image.size();
    const int w = natural.width(), h = natural.height();
    // The preview box: 81 pixels on the longer side, the picture's aspect kept;
    // a smaller picture keeps its own size.
    QSize box(kPreviewBox, kPreviewBox);
    if (w > 0 && h > 0) {
        if (h >= w)
            box = {static_cast<int>(RoundHalfEven(kPreviewBox * double(w) / h)), kPreviewBox};
        else
            box = {kPreviewBox, static_cast<int>(RoundHalfEven(kPreviewBox * double(h) / w))};
        if (box.height() >= h && box.width() >= w)
            box = natural;
    }
    Image1->setPixmap(QPixmap::fromImage(picture.image));
    place(Image1,
          {design_.value(Image1).x(), 0, std::max(box.width(), 1), std::max(box.height(), 1)});

    const QFileInfo file(QFile::decodeName(picture.local.isEmpty() ? QFile::encodeName(picture.path)
                                                                   : picture.local));
    lblInfo[2]->setText(file.exists() ? QString::fromStdString(SizeText(file.size())) : QString());
    // What the picture takes as an uncompressed 24-bit bitmap file.
    const std::int64_t row = (std::int64_t(w) * 24 + 31) / 32 * 4;
    lblInfo[5]->setText(QString::fromStdString(SizeText(54 + row * h)));

    beginOpening("Propriedades do Arquivo", picture);
    cmdCopy->hide();
    cmdsair0->setText("Ok");
    LblArquivo->setText(picture.name);
    lblcaminho->setText(picture.path);
    lblInfo[3]->setText(QString::number(h) + " pixels");
    lblInfo[4]->setText(QString::number(w) + " pixels");
    ToFront(PictCopy);
    ToFront(Picture4);
    showDialog();
}

// --- The dialog's own events ----------------------------------------------------

void FrmCopyMove::cmdCopy_Click() {
    const QString mode = windowTitle();
    if (mode == QLatin1String("Copiar Arquivo"))
        copyOrMove(false);
    else if (mode == QLatin1String("Mover Arquivo"))
        copyOrMove(true);
    else if (mode == QLatin1String("Renomear Arquivo"))
        renameFile();
    else if (mode == QLatin1String("Converter para .JPG"))
        convertToJpeg();
}

void FrmCopyMove::cmdProcurar_Click() {
    ToFront(Picture2);
}

void FrmCopyMove::cmdVoltar_Click() {
    ToFront(Picture1);
}

void FrmCopyMove::cmdOk_Click() {
    QString target = dirPath();
    if (!target.endsWith('/'))
        target += '/';
    txtTarget->setText(target + LblArquivo->text());
    ToFront(Picture1);
}

void FrmCopyMove::Drive1_Change() {
    const QString key = Drive1->currentData().toString();
    const int before = Drive1->property("shown").toInt();
    if (key.isEmpty() || !QDir(key).isReadable()) {
        // A volume that cannot be read: the folder list stays as it was.
        if (before >= 0 && before != Drive1->currentIndex()) {
            const QSignalBlocker quiet(Drive1);
            Drive1->setCurrentIndex(before);
        }
        return;
    }
    Drive1->setProperty("shown", Drive1->currentIndex());
    setDirPath(key);
}

QString FrmCopyMove::dirPath() const {
    const QModelIndex at = Dir1->currentIndex();
    return at.isValid() ? dirModel_->filePath(at) : dirModel_->rootPath();
}

void FrmCopyMove::setDirPath(const QString& folder) {
    Dir1->setRootIndex(dirModel_->setRootPath(folder));
    Dir1->setCurrentIndex({});
}

void FrmCopyMove::HScroll1_Change(int value) {
    Text3->setText(QString::number(value));
    if (value < kMinRate) {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(SnappedRate(value));
        Text3->setText(QString::number(kMinRate));
    }
}

// --- Actions -------------------------------------------------------------------

QByteArray FrmCopyMove::localPath(const QString& text) const {
    if (text == picturePath_ && !pictureLocal_.isEmpty())
        return pictureLocal_;
    if (text == jpegTargetText_ && !jpegTargetLocal_.isEmpty())
        return jpegTargetLocal_;
    return QFile::encodeName(text);
}

void FrmCopyMove::message(const QString& text) {
    ShowMessage(this, text);
}

void FrmCopyMove::copyOrMove(bool move) {
    const std::string source = localPath(TrimBlanks(txtSource->text())).toStdString();
    const std::string target = localPath(TrimBlanks(txtTarget->text())).toStdString();
    // A large file on a slow disk takes a while: the windows stay responsive,
    // and the button waits for the outcome.
    cmdCopy->setEnabled(false);
    auto* watcher = new QFutureWatcher<FileResult>(this);
    connect(watcher, &QFutureWatcher<FileResult>::finished, this, [this, watcher, move] {
        const FileResult r = watcher->result();
        watcher->deleteLater();
        cmdCopy->setEnabled(true);
        if (!r)
            qCWarning(lcFiles) << (move ? "move" : "copy") << r.message.c_str();
        if (move)
            message(r ? QString("Arquivo Movido!")
                      : QString::fromUtf8("Erro. Impossível mover arquivo!"));
        else
            message(r ? QString("Arquivo Copiado!")
                      : QString::fromUtf8("Erro. Impossível copiar arquivo!"));
    });
    watcher->setFuture(QtConcurrent::run([source, target, move] {
        return move ? MoveFile(source, target) : CopyFile(source, target);
    }));
}

void FrmCopyMove::renameFile() {
    const FileResult r = RenameFile(localPath(txtSource->text()).toStdString(),
                                    localPath(Text1->text()).toStdString());
    if (r) {
        close();
        return;
    }
    qCWarning(lcFiles) << "rename" << r.message.c_str();
    // The file stays as it was; say why and let the user pick another name.
    const char* why = r.error == EEXIST  ? "já existe um arquivo com esse nome."
                      : r.error == EXDEV ? "o novo nome fica em outro disco (use Mover para...)."
                                         : "verifique o nome e as permissões da pasta.";
    message(QString::fromUtf8("Impossível renomear o arquivo: ") + QString::fromUtf8(why));
}

void FrmCopyMove::convertToJpeg() {
    const int quality = JpegQualityForRate(NumericValue(Text3->text().toStdString()));
    const QByteArray source = localPath(txtSource->text());
    const QString target = Text1->text();
    const QByteArray targetLocal = localPath(target);
    MainWindowHost& host = host_;
    auto* watcher = new QFutureWatcher<ConversionResult>(host.hostWidget());
    connect(watcher, &QFutureWatcher<ConversionResult>::finished, watcher,
            [watcher, &host, target] {
                const ConversionResult r = watcher->result();
                watcher->deleteLater();
                if (!r.ok())
                    host.showMessage(QString::fromUtf8("Impossível converter para: ") + target +
                                     "\r\n" + r.description);
            });
    watcher->setFuture(QtConcurrent::run([source, targetLocal, quality] {
        return ConvertPicture(source, targetLocal, ConversionKind::Jpeg, quality);
    }));
    close();
}

} // namespace fotello
