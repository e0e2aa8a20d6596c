#include "controls/elided_label.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QToolTip>
#include <QVector>

namespace fotello {

QString ElideRight(const QString& text, int width,
                   const std::function<int(const QString&)>& measure) {
    if (measure(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    // Where a shortened name may end: after a whole character as the reader sees it.
    QVector<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        ends.push_back(at);
    // The widest start that fits, found by halving: names can be long.
    qsizetype lo = -1, hi = ends.size() - 1;
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (measure(text.left(ends[mid]) + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.left(lo < 0 ? 0 : ends[lo]) + dots;
}

namespace {

class ElideFilter : public QObject {
public:
    explicit ElideFilter(QLabel* label) : QObject(label), label_(label) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != label_)
            return false;
        if (e->type() == QEvent::Paint)
            return paint();
        if (e->type() == QEvent::ToolTip && label_->toolTip().isEmpty()) {
            const auto* help = static_cast<QHelpEvent*>(e);
            if (shown() != label_->text())
                QToolTip::showText(help->globalPos(), label_->text(), label_);
            else
                QToolTip::hideText();
            return true;
        }
        return false;
    }

private:
    QRect room() const {
        const int m = label_->margin();
        return label_->contentsRect().adjusted(m, m, -m, -m);
    }
    QString shown() const {
        const QFontMetrics fm = label_->fontMetrics();
        return ElideRight(label_->text(), room().width(),
                          [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    }
    // Painted as the label paints plain text, with the shortened text; a
    // label whose text fits paints itself.
    bool paint() {
        if (label_->textFormat() == Qt::RichText || label_->wordWrap() || label_->text().isEmpty())
            return false;
        const QString text = shown();
        if (text == label_->text())
            return false;
        QPainter p(label_);
        const Qt::Alignment align =
            QStyle::visualAlignment(label_->layoutDirection(), label_->alignment());
        label_->style()->drawItemText(&p, room(), int(align), label_->palette(),
                                      label_->isEnabled(), text, label_->foregroundRole());
        return true;
    }

    QLabel* label_;
};

} // namespace

void ElideTextAtRight(QLabel* label) {
    label->installEventFilter(new ElideFilter(label));
}

} // namespace fotello
