// Printouts written as PDF files at the printer's high resolution, read back
// with poppler's pdfinfo and pdftotext (and pdftoppm for the pie), and the
// print commands driven through scripted dialogs. TALLOWMERE_TEST_PDF_DIR,
// when set, keeps a copy of each file for a look.
#include "ui/tallowmere_printing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <memory>
#include <string>

#include "model/accounts.h"
#include "model/report.h"
#include "ui/logic/print_job.h"
#include "ui/print_commands.h"
#include "ui/scripted_services.h"
#include "ui_logic/print_test_data.h"

namespace tallowmere::ui {
namespace {

QFont LabelFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(RunTool(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString PdfTitle(const QString& path) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Title:\\s+([^\\n]*)"))
                                          .match(RunTool(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// The text of one page, its runs of blanks and line breaks as one blank and
// its ligatures ("ff") as letters, so that texts compare as printed.
QString PdfText(const QString& path, int page) {
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                    QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")})
        .normalized(QString::NormalizationForm_KC)
        .simplified();
}

void Keep(const QString& path) {
    const QString dir = qEnvironmentVariable("TALLOWMERE_TEST_PDF_DIR");
    if (dir.isEmpty())
        return;
    const QString copy = QDir(dir).filePath(QFileInfo(path).fileName());
    QFile::remove(copy);
    QFile::copy(path, copy);
}

class PrintingTest : public ::testing::Test {
  protected:
    QString PdfPath(const char* name) {
        return QString::fromStdString(folder_) + QLatin1Char('/') + QLatin1String(name) +
               QStringLiteral(".pdf");
    }

    // A high-resolution PDF printer on letter paper with quarter-inch margins.
    static void MakePdf(QPrinter& printer, const QString& path) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    }

    // Prints the job to a new PDF file; the number of pages printed.
    int PrintToPdf(const PrintJob& job, const QString& path, int from = 0, int to = 0) {
        QPrinter printer(QPrinter::HighResolution);
        MakePdf(printer, path);
        const int printed = PrintDocument(printer, printing_, job, LabelFont(), from, to);
        Keep(path);
        return printed;
    }

    // The pages of the whole printout on the fixture's paper.
    int AllPages(const PrintJob& job) {
        const QString path = PdfPath("reference");
        PrintToPdf(job, path);
        return PdfPages(path);
    }

    PrintJob RegisterJob(int rows) {
        CAccount& checking = data_.Account("Checking");
        data_.FillRegister(checking, rows);
        PrintViewState view;
        view.currentAccount = &checking;
        return MakePrintJob(data_.Data(), view);
    }

    test::PrintData data_;
    std::string folder_ = test::MakeTempDir("pdf");
    CTallowmerePrinting printing_;
};

TEST_F(PrintingTest, RegisterOf250RowsPrintsEveryPageWithItsNumberAndTheBalanceOnTheLast) {
    const PrintJob job = RegisterJob(250);
    const QString path = PdfPath("register");
    const int printed = PrintToPdf(job, path);
    const std::int64_t perPage = printing_.Pages().RowsPerPage();
    // Letter paper at 10 points a line holds some 60 rows.
    EXPECT_GT(perPage, 40);
    EXPECT_LT(perPage, 80);
    const int pages = static_cast<int>((250 + 3 + perPage - 1) / perPage);
    EXPECT_EQ(printed, pages);
    ASSERT_EQ(PdfPages(path), pages);
    EXPECT_EQ(PdfTitle(path), "Tallowmere Document");
    EXPECT_FALSE(printing_.HasFonts());

    const QString balance =
        QStringLiteral("Balance: $") +
        QString::fromStdString(FormatMoney(data_.Account("Checking").GetBalance(0), kMoneyFull));
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        const QString text = PdfText(path, page);
        EXPECT_TRUE(text.contains(QStringLiteral("Account: Checking 3/15/12")));
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(page)));
        EXPECT_TRUE(text.contains(QStringLiteral("Transactions: All")));
        EXPECT_TRUE(text.contains(QStringLiteral("Payee")));
        EXPECT_EQ(text.contains(balance), page == pages) << balance.toStdString();
    }
    const QString first = PdfText(path, 1);
    for (const char* cell : {"[V]", "[*]", "[X]", "Corner Grocery", "Auto:Fuel", "$-45.67",
                             "$-3045.67", "1000", "Personal", "-SPLIT-", "bill second"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(cell))) << cell;
}

TEST_F(PrintingTest, APageRangePrintsOnlyThosePages) {
    const PrintJob job = RegisterJob(250);
    const QString path = PdfPath("range");
    EXPECT_EQ(PrintToPdf(job, path, 2, 3), 2);
    ASSERT_EQ(PdfPages(path), 2);
    EXPECT_TRUE(PdfText(path, 1).contains(QStringLiteral("Page 2")));
    EXPECT_TRUE(PdfText(path, 2).contains(QStringLiteral("Page 3")));
    // A range past the end is kept to the pages there are.
    EXPECT_EQ(PrintToPdf(job, PdfPath("past"), 4, 99), printing_.Pages().PageCount() - 3);
}

TEST_F(PrintingTest, ReportAndBudgetTables) {
    data_.FillRegister(data_.Account("Checking"), 60);
    ASSERT_EQ(data_.Data().Categories().SetBudgetAmount(test::kGroceriesId, 25000), 0);
    PrintViewState view;
    view.page = kPageReports;
    const auto report = data_.MakeReport(false);
    view.report = report.get();
    const QString reportPath = PdfPath("report");
    ASSERT_EQ(PrintToPdf(MakePrintJob(data_.Data(), view), reportPath), 1);
    const QString reportText = PdfText(reportPath, 1);
    for (const char* text : {"Account: All 3/15/12", "By: Category", "Amounts: All", "Category",
                             "Amount", "Salary", "$15000.00", "Groceries", "Total: $"})
        EXPECT_TRUE(reportText.contains(QString::fromUtf8(text))) << text;

    view.page = kPageBudgets;
    const auto budget = data_.MakeReport(true);
    view.report = budget.get();
    const QString budgetPath = PdfPath("budget");
    ASSERT_EQ(PrintToPdf(MakePrintJob(data_.Data(), view), budgetPath), 1);
    const QString budgetText = PdfText(budgetPath, 1);
    for (const char* text : {"Budget", "Actual", "Difference", "$250.00", "Budget Total: $",
                             "Actual Total: $", "Difference Total: $"})
        EXPECT_TRUE(budgetText.contains(QString::fromUtf8(text))) << text;
}

TEST_F(PrintingTest, PieReportDrawsTheChartInTheMiddleOfThePageWithItsLabels) {
    data_.FillRegister(data_.Account("Checking"), 60);
    const auto report = data_.MakePieReport();
    PrintViewState view;
    view.page = kPageReports;
    view.report = report.get();
    view.chartMode = true;
    const QString path = PdfPath("pie");
    ASSERT_EQ(PrintToPdf(MakePrintJob(data_.Data(), view), path), 1);
    ASSERT_EQ(PdfPages(path), 1);
    const QString text = PdfText(path, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Total: $")));
    EXPECT_TRUE(text.contains(QStringLiteral("Groceries ($-529) 24%")));
    EXPECT_TRUE(text.contains(QStringLiteral("Amounts: Expenses")));

    // At 20 pixels per inch the page is 170 x 220: the pie fills the middle
    // with colour, and the corners stay white.
    const QString png = QString::fromStdString(folder_) + QStringLiteral("/pie");
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), path, png});
    const QImage image(png + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_GT(centre.saturation(), 40) << centre.name().toStdString();
    EXPECT_EQ(image.pixelColor(2, image.height() - 3), QColor(Qt::white));
}

TEST_F(PrintingTest, NoRowsOrNoVisibleColumnPrintOnePageWithoutFault) {
    PrintViewState view;
    view.currentAccount = &data_.Account("Savings");
    const QString empty = PdfPath("no-rows");
    ASSERT_EQ(PrintToPdf(MakePrintJob(data_.Data(), view), empty), 1);
    ASSERT_EQ(PdfPages(empty), 1);
    EXPECT_TRUE(PdfText(empty, 1).contains(QStringLiteral("Page 1")));
    EXPECT_FALSE(PdfText(empty, 1).contains(QStringLiteral("Balance: $")));

    PrintJob job = RegisterJob(20);
    job.columns = CShowColumns(std::vector<ShowColumnEntry>{{1, 26, 1, 0}, {4, 200, 0, 0}});
    const QString hidden = PdfPath("no-columns");
    ASSERT_EQ(PrintToPdf(job, hidden), 1);
    const QString text = PdfText(hidden, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Balance: $")));
    EXPECT_FALSE(text.contains(QStringLiteral("Corner Grocery")));
}

TEST_F(PrintingTest, AJobThatCannotStartOrWriteFailsAndStillReleasesTheFonts) {
    const PrintJob job = RegisterJob(300);
    // A folder that is not there; a device that is always full.
    for (const char* path : {"/nonexistent-folder/out.pdf", "/dev/full"}) {
        SCOPED_TRACE(path);
        QPrinter printer(QPrinter::HighResolution);
        MakePdf(printer, QString::fromUtf8(path));
        EXPECT_EQ(PrintDocument(printer, printing_, job, LabelFont()), -1);
        EXPECT_FALSE(printing_.HasFonts());
    }
}

class PrintCommandsTest : public PrintingTest {
  protected:
    test::ScriptedServices services_;
    PrintCommands commands_;
};

TEST_F(PrintCommandsTest, PrintOffersThePagesAndPrintsTheRangeChosen) {
    const PrintJob job = RegisterJob(250);
    const QString path = PdfPath("chosen");
    services_.printDialogScripts.push_back([&](QPrinter& printer) {
        MakePdf(printer, path);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(3, 3);
        return true;
    });
    MakePdf(commands_.Printer(), path);
    ASSERT_TRUE(commands_.Print(nullptr, job, LabelFont()));
    ASSERT_EQ(services_.printDialogs.size(), 1u);
    EXPECT_EQ(services_.printDialogs[0], AllPages(job));
    ASSERT_EQ(PdfPages(path), 1);
    EXPECT_TRUE(PdfText(path, 1).contains(QStringLiteral("Page 3")));
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(PrintCommandsTest, CancelledPrintWritesNothing) {
    const PrintJob job = RegisterJob(10);
    const QString path = PdfPath("cancelled");
    MakePdf(commands_.Printer(), path);
    EXPECT_FALSE(commands_.Print(nullptr, job, LabelFont()));
    EXPECT_EQ(services_.printDialogs.size(), 1u);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PrintCommandsTest, AFailedPrintIsSaid) {
    const PrintJob job = RegisterJob(10);
    services_.printDialogScripts.push_back([](QPrinter& printer) {
        MakePdf(printer, QStringLiteral("/nonexistent-folder/out.pdf"));
        return true;
    });
    EXPECT_FALSE(commands_.Print(nullptr, job, LabelFont()));
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].stringId, 3322);
    EXPECT_EQ(services_.messages[0].text, "The document could not be printed.");
}

TEST_F(PrintCommandsTest, PageSetupChangesThePagesOffered) {
    const PrintJob job = RegisterJob(250);
    MakePdf(commands_.Printer(), PdfPath("setup"));
    EXPECT_FALSE(commands_.Print(nullptr, job, LabelFont()));
    services_.pageSetupScripts.push_back([](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A5));
        return true;
    });
    EXPECT_TRUE(commands_.PageSetup(nullptr));
    EXPECT_EQ(services_.pageSetups, 1);
    EXPECT_FALSE(commands_.Print(nullptr, job, LabelFont()));
    ASSERT_EQ(services_.printDialogs.size(), 2u);
    // A5 holds fewer rows a page than letter paper.
    EXPECT_GT(services_.printDialogs[1], services_.printDialogs[0] + 1);
}

TEST_F(PrintCommandsTest, PreviewPaintsEveryPageOnThePrinterItIsGiven) {
    const PrintJob job = RegisterJob(130);
    const QString path = PdfPath("preview");
    services_.previewScripts.push_back([&](QPrinter&, const std::function<void(QPrinter&)>& paint) {
        QPrinter target(QPrinter::HighResolution);
        MakePdf(target, path);
        paint(target);
    });
    commands_.Preview(nullptr, job, LabelFont());
    EXPECT_EQ(services_.printPreviews, 1);
    EXPECT_EQ(PdfPages(path), AllPages(job));
}

// The real preview window renders the pages offscreen.
TEST_F(PrintingTest, PreviewWindowShowsThePages) {
    const PrintJob job = RegisterJob(130);
    PrintCommands commands;
    int shown = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
            shown = preview->pageCount();
        dialog->reject();
    });
    commands.Preview(nullptr, job, LabelFont());
    // The preview's paper is the default one: whatever it holds, the
    // 130 rows take more than one page.
    EXPECT_GT(shown, 1);
}

}  // namespace
}  // namespace tallowmere::ui
