// Makes the user guide that the Help menu opens: reads the guide's Markdown
// and lays it out on A4 pages of a PDF, with page numbers, no heading alone
// at the foot of a page and no paragraph split between two pages.
//   make_user_guide <guide.md> <out.pdf>
// The build runs it on the offscreen platform; it needs only fonts.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kDpi = 300;
constexpr double kBodyPoints = 10.5;
constexpr double kHeadingPoints[] = {0, 22, 14, 12};  // by level
const QColor kHeadingColor(0x1F, 0x3A, 0x5F);
const QColor kPageNumberColor(0x60, 0x60, 0x60);

// Markdown gives the structure; the look is set here.
void Style(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level >= 1 && level <= 3) {
            cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            QTextCharFormat chars;
            chars.setFontPointSize(kHeadingPoints[level]);
            chars.setFontWeight(QFont::Bold);
            chars.setForeground(kHeadingColor);
            cursor.mergeCharFormat(chars);
            format.setTopMargin(level == 1 ? 0 : 16);
            format.setBottomMargin(level == 1 ? 14 : 5);
        } else {
            format.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
            format.setBottomMargin(6);
        }
        cursor.setBlockFormat(format);
    }
}

int PageOf(double y, double pageHeight) {
    return static_cast<int>(std::floor(y / pageHeight));
}

// A copy of the document laid out on pages of the given size. A layout that
// has been changed is only redone bit by bit, so each check starts afresh.
std::unique_ptr<QTextDocument> LaidOut(const QTextDocument& doc, QPaintDevice& device,
                                       const QSizeF& page) {
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->documentLayout()->setPaintDevice(&device);
    copy->setDefaultFont(doc.defaultFont());
    copy->setDocumentMargin(doc.documentMargin());
    copy->setPageSize(page);
    return copy;
}

// The first block that the page end would cut (a paragraph split between
// pages, or a heading whose text starts on the next page), or the heading
// above it; -1 when none.
int FirstCutBlock(const QTextDocument& doc, double pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QRectF rect = layout->blockBoundingRect(block);
        const int page = PageOf(rect.top(), pageHeight);
        double end = rect.bottom() - 1;
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() > 0 && next.isValid()) {
            const QRectF nextRect = layout->blockBoundingRect(next);
            if (next.layout()->lineCount() > 0)
                end = nextRect.top() + next.layout()->lineAt(0).rect().bottom();
        }
        const bool atPageTop = rect.top() <= page * pageHeight + 1;
        if (PageOf(end, pageHeight) != page && !atPageTop) {
            // A heading goes with the text under it.
            QTextBlock first = block;
            while (first.previous().isValid() && first.previous().blockFormat().headingLevel() > 0)
                first = first.previous();
            return first.blockNumber();
        }
    }
    return -1;
}

// Moves cut blocks to the next page, one at a time from the top, since each
// move shifts everything after it.
void KeepTogether(QTextDocument& doc, QPaintDevice& device, const QSizeF& page) {
    for (int guard = 0; guard < doc.blockCount(); ++guard) {
        const int cut = FirstCutBlock(*LaidOut(doc, device, page), page.height());
        if (cut < 0)
            return;
        const QTextBlock block = doc.findBlockByNumber(cut);
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_user_guide GUIDE.md OUT.pdf\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_user_guide: cannot read %s\n", argv[1]);
        return 1;
    }

    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setTitle(QStringLiteral("Tallowmere Desktop User Guide"));
    writer.setCreator(QStringLiteral("Tallowmere Desktop"));
    writer.setResolution(kDpi);
    // The bottom margin holds the page number.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(22, 20, 22, 24), QPageLayout::Millimeter));
    const QRectF body = writer.pageLayout().paintRectPixels(kDpi);
    const double pageHeight = body.height();

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(kBodyPoints);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setMarkdown(QString::fromUtf8(in.readAll()));
    Style(doc);
    KeepTogether(doc, writer, body.size());
    const std::unique_ptr<QTextDocument> pages = LaidOut(doc, writer, body.size());

    QPainter painter(&writer);
    QFont numberFont = font;
    numberFont.setPointSizeF(9);
    const int pageCount = pages->pageCount();
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * pageHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * pageHeight, body.width(), pageHeight);
        pages->documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(numberFont);
        painter.setPen(kPageNumberColor);
        const double gap = kDpi * 8 / 25.4;  // 8 mm below the text
        painter.drawText(QRectF(0, pageHeight + gap, body.width(), kDpi / 4.0), Qt::AlignHCenter,
                         QString::number(page + 1));
    }
    return painter.end() ? 0 : 1;
}
