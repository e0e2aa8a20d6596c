// fotello-filter: runs the effects of the effects window on picture files.
//
//   fotello-filter NUMBER PARAM INPUT OUTPUT       engine filter 1..31
//   fotello-filter flip-h|flip-v|mosaic|dotted|fade INPUT OUTPUT
//   fotello-filter rotate ANGLE cw|ccw INPUT OUTPUT
//   fotello-filter shake X Y DIAMETER INPUT OUTPUT
//   fotello-filter --list                          the menu's filter table
//
// OUTPUT ends in .bmp (24-bit) or .png. Exit 0 on success; 2 for a bad
// argument, 3 for an unreadable input, 4 for an unwritable output, 5 when the
// memory is not there; one line on stderr, and no output file left behind.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QString>

#include "effects/filter_engine.h"
#include "effects/filter_table.h"
#include "effects/picture_effects.h"
#include "effects/rotation.h"
#include "effects/shake.h"
#include "tools/fotello_filter_io.h"

namespace {

using namespace fotello;

enum Exit { kOk = 0, kBadArgument = 2, kUnreadable = 3, kUnwritable = 4, kNoMemory = 5 };

constexpr const char* kUsage =
    "uso: fotello-filter NÚMERO PARÂMETRO ENTRADA SAÍDA\n"
    "     fotello-filter flip-h|flip-v|mosaic|dotted|fade ENTRADA SAÍDA\n"
    "     fotello-filter rotate ÂNGULO cw|ccw ENTRADA SAÍDA\n"
    "     fotello-filter shake X Y DIÂMETRO ENTRADA SAÍDA\n"
    "     fotello-filter --list\n";

int Fail(int code, const QString& message) {
    std::fprintf(stderr, "fotello-filter: %s\n", message.toUtf8().constData());
    return code;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

PixelView ViewOf(QImage& image) {
    return PixelView{image.bits(), image.width(), image.height()};
}

void PrintTable() {
    for (const FilterMenuEntry& e : FilterTable()) {
        const std::string parameter = e.parameterFromUser ? "-" : std::to_string(e.parameter);
        std::printf("%d\t%s\t%.*s\t%.*s\n", e.number, parameter.c_str(), int(e.menuItem.size()),
                    e.menuItem.data(), int(e.caption.size()), e.caption.data());
    }
}

// What a command does to the picture once read; false with a message on failure.
struct Command {
    int exitOnFailure = kNoMemory;
    // Arguments that can only be judged against the picture; false with a message.
    std::function<bool(const QImage&, QString&)> check;
    std::function<bool(QImage&, QString&)> run;
};

int Run(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--list")) {
        PrintTable();
        return kOk;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return kOk;
    }
    if (args.size() < 3) {
        return Fail(kBadArgument,
                    QStringLiteral("argumentos insuficientes (veja fotello-filter --help)"));
    }
    const std::string& verb = args[0];
    std::size_t files = 0; // index of INPUT
    Command command;
    if (verb == "flip-h" || verb == "flip-v" || verb == "mosaic" || verb == "dotted" ||
        verb == "fade") {
        files = 1;
        command.run = [verb](QImage& image, QString& message) {
            if (verb == "mosaic") {
                MosaicEffect(ViewOf(image));
            } else if (verb == "dotted") {
                DottedEffect(ViewOf(image), SharedFilterEngine().random());
            } else {
                const QImage source = image.copy(); // the untouched picture
                if (source.isNull()) {
                    message = QStringLiteral("memória insuficiente");
                    return false;
                }
                QImage& target = image;
                PixelView from{const_cast<uchar*>(source.constBits()), source.width(),
                               source.height()};
                if (verb == "fade") {
                    FadeEffect(from, ViewOf(target), 1, true);
                } else {
                    FlipPicture(from, ViewOf(target), verb == "flip-v");
                }
            }
            return true;
        };
    } else if (verb == "rotate") {
        files = 3;
        if (args.size() != 5) {
            return Fail(kBadArgument,
                        QStringLiteral("rotate precisa de ÂNGULO, cw|ccw, ENTRADA e SAÍDA"));
        }
        const std::string angle = args[1];
        if (!ParseRotationAngle(angle)) {
            return Fail(kBadArgument,
                        QStringLiteral("O ângulo de rotação deve estar entre 0°-360°"));
        }
        if (args[2] != "cw" && args[2] != "ccw") {
            return Fail(kBadArgument, QStringLiteral("sentido deve ser cw ou ccw"));
        }
        const bool clockwise = args[2] == "cw";
        command.run = [angle, clockwise](QImage& image, QString& message) {
            auto out = RotatePicture(ViewOf(image), angle, clockwise, kRotateBackground,
                                     SharedFilterEngine().threadCount());
            QImage result =
                out ? QImage(out->width(), out->height(), QImage::Format_RGB32) : QImage();
            if (!out || result.isNull()) {
                message = QStringLiteral("memória insuficiente");
                return false;
            }
            for (int y = 0; y < out->height(); ++y) {
                std::memcpy(result.scanLine(y), out->view().pixel(0, y), out->view().stride());
            }
            image = result;
            return true;
        };
    } else if (verb == "shake") {
        files = 4;
        if (args.size() != 6) {
            return Fail(kBadArgument,
                        QStringLiteral("shake precisa de X, Y, DIÂMETRO, ENTRADA e SAÍDA"));
        }
        const auto x = ParseInt(args[1]);
        const auto y = ParseInt(args[2]);
        const auto r = ParseInt(args[3]);
        if (!x || !y || !r || *x <= 0 || *y <= 0 || *r < 0) {
            return Fail(kBadArgument, QStringLiteral("X e Y devem ser inteiros maiores que 0 e o "
                                                     "diâmetro um inteiro de 0 para cima"));
        }
        command.check = [r = *r](const QImage& image, QString& message) {
            const long long limit = ShakeRadiusLimit(image.width(), image.height());
            if (r <= limit)
                return true;
            message = QStringLiteral("o diâmetro deve ir de 0 a %1 nesta imagem").arg(limit);
            return false;
        };
        command.run = [x = *x, y = *y, r = *r](QImage& image, QString& message) {
            const QImage source = image.copy();
            if (source.isNull()) {
                message = QStringLiteral("memória insuficiente");
                return false;
            }
            PixelView from{const_cast<uchar*>(source.constBits()), source.width(), source.height()};
            return ShakeEffect(from, ViewOf(image), x, y, r);
        };
    } else {
        const auto number = ParseInt(verb);
        if (!number || *number < 1 || *number > 31) {
            return Fail(kBadArgument,
                        QStringLiteral("filtro desconhecido \"%1\" (use 1 a 31, flip-h, flip-v, "
                                       "mosaic, dotted, fade, rotate ou shake)")
                            .arg(QString::fromStdString(verb)));
        }
        if (args.size() != 4) {
            return Fail(kBadArgument,
                        QStringLiteral("o filtro precisa de PARÂMETRO, ENTRADA e SAÍDA"));
        }
        const auto parameter = ParseInt(args[1]);
        if (!parameter) {
            return Fail(
                kBadArgument,
                QStringLiteral("parâmetro inválido \"%1\"").arg(QString::fromStdString(args[1])));
        }
        files = 2;
        command.run = [n = *number, p = *parameter](QImage& image, QString& message) {
            const FilterStatus status = ApplyFilter(n, ViewOf(image), p);
            if (status != FilterStatus::Done) {
                message = QStringLiteral("memória insuficiente");
                return false;
            }
            return true;
        };
    }
    if (args.size() != files + 2) {
        return Fail(kBadArgument, QStringLiteral("número de argumentos errado"));
    }
    // The bytes as given: a name that is not UTF-8 has no QString that maps back to it.
    const QByteArray input = QByteArray::fromStdString(args[files]);
    const QByteArray output = QByteArray::fromStdString(args[files + 1]);
    if (OutputFormatFor(QFile::decodeName(output)).isEmpty()) {
        return Fail(kBadArgument, QStringLiteral("a saída \"%1\" deve terminar em .bmp ou .png")
                                      .arg(QFile::decodeName(output)));
    }
    QString message = OutputRefusal(output);
    if (!message.isEmpty()) {
        return Fail(kUnwritable, message);
    }
    QImage image = ReadInputPicture(input, message);
    if (image.isNull()) {
        return Fail(kUnreadable, message);
    }
    if (command.check && !command.check(image, message)) {
        return Fail(kBadArgument, message);
    }
    if (!command.run(image, message)) {
        return Fail(command.exitOnFailure, message);
    }
    if (!WriteOutputPicture(image, output, message)) {
        return Fail(kUnwritable, message);
    }
    return kOk;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args);
}
