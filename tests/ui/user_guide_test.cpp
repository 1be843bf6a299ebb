// The user guide that the build makes from docs/user-guide.md and puts
// beside the program: read back with poppler's pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace {

const QString kPdf = QStringLiteral(TALLOWMERE_USER_GUIDE_PDF);
const QString kMarkdown = QStringLiteral(TALLOWMERE_USER_GUIDE_MD);

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PageCount() {
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(RunTool("pdfinfo", {kPdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : 0;
}

QString PageText(int page) {
    const QString n = QString::number(page);
    return RunTool("pdftotext", {"-f", n, "-l", n, kPdf, "-"});
}

TEST(UserGuide, IsAnA4DocumentWithItsTitle) {
    ASSERT_TRUE(QFile::exists(kPdf));
    const QString info = RunTool("pdfinfo", {kPdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Tallowmere Desktop User Guide")));
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)")));
    EXPECT_GE(PageCount(), 3);
}

TEST(UserGuide, EveryPageHasTextAndItsNumber) {
    const int pages = PageCount();
    for (int page = 1; page <= pages; ++page) {
        QStringList lines = PageText(page).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
        ASSERT_GE(lines.size(), 2) << "page " << page;
        EXPECT_EQ(lines.last().trimmed(), QString::number(page));
    }
}

TEST(UserGuide, HoldsEverySectionAsTextNotMarkdown) {
    QFile source(kMarkdown);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QStringList headings;
    for (const QString& line : QString::fromUtf8(source.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#')))
            headings += line.section(QLatin1Char(' '), 1).trimmed();
    }
    ASSERT_GE(headings.size(), 10);
    QString text;
    for (int page = 1; page <= PageCount(); ++page)
        text += PageText(page);
    for (const QString& heading : headings)
        EXPECT_TRUE(text.contains(heading)) << heading.toStdString();
    for (const char* markup : {"**", "##", "`"})
        EXPECT_FALSE(text.contains(QLatin1String(markup))) << markup;
}

}  // namespace
