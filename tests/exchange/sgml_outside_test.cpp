// Checks against OFX readers written by no one here: libofx's ofxdump (Debian
// package "ofx") must read the same transactions from a reply as our reader,
// and OpenSP's onsgmls (package "opensp") must find what our writer produces
// valid under libofx's OFX 1.6 DTD. Skipped when they are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/ofx_tags.h"
#include "exchange/sgml_document.h"
#include "exchange/stream_memory.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

const char kOfxDump[] = "/usr/bin/ofxdump";
const char kOnsgmls[] = "/usr/bin/onsgmls";
const char kDtdDir[] = "/usr/share/libofx7/libofx/dtd";

const char kHeader[] =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";

// Unclosed data elements in most places, closed ones in some, as servers mix
// them.
const char kStatement[] =
    "<OFX>\r\n<SIGNONMSGSRSV1>\r\n<SONRS>\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n</STATUS>\r\n"
    "<DTSERVER>20240131120000.000[-5:EST]\r\n<LANGUAGE>ENG\r\n</SONRS>\r\n</SIGNONMSGSRSV1>\r\n"
    "<BANKMSGSRSV1>\r\n<STMTTRNRS>\r\n<TRNUID>1001\r\n<STATUS>\r\n<CODE>0</CODE>\r\n"
    "<SEVERITY>INFO</SEVERITY>\r\n</STATUS>\r\n<STMTRS>\r\n<CURDEF>USD\r\n<BANKACCTFROM>\r\n"
    "<BANKID>121000248\r\n<ACCTID>0001234567\r\n<ACCTTYPE>CHECKING\r\n</BANKACCTFROM>\r\n"
    "<BANKTRANLIST>\r\n<DTSTART>20240101120000.000\r\n<DTEND>20240131120000.000\r\n"
    "<STMTTRN>\r\n<TRNTYPE>CHECK\r\n<DTPOSTED>20240105120000.000[-5:EST]\r\n<TRNAMT>-25.00\r\n"
    "<FITID>A1\r\n<CHECKNUM>1042\r\n<NAME>Water &amp; Power\r\n<MEMO>January\r\n</STMTTRN>\r\n"
    "<STMTTRN>\r\n<TRNTYPE>DEBIT\r\n<DTPOSTED>20240106120000.000[+1:CET]\r\n<TRNAMT>-3.50</"
    "TRNAMT>\r\n"
    "<FITID>A2</FITID>\r\n<NAME>Kiosk &lt;Main St&gt;</NAME>\r\n</STMTTRN>\r\n"
    "<STMTTRN>\r\n<TRNTYPE>CREDIT\r\n<DTPOSTED>20240110120000.000\r\n<TRNAMT>1200.00\r\n"
    "<FITID>A3\r\n<NAME>\t Payroll  \r\n</STMTTRN>\r\n"
    "</BANKTRANLIST>\r\n<LEDGERBAL>\r\n<BALAMT>1171.50\r\n<DTASOF>20240131120000.000\r\n"
    "</LEDGERBAL>\r\n</STMTRS>\r\n</STMTTRNRS>\r\n</BANKMSGSRSV1>\r\n</OFX>\r\n";

bool Installed(const char* path) {
    return access(path, X_OK) == 0;
}

// Runs a shell command; returns its exit status and its output (stdout, and
// stderr when asked).
int RunCommand(const std::string& command, const std::string& outPath, bool withStderr,
               std::string& out) {
    const std::string redirect = " >" + outPath + (withStderr ? " 2>&1" : " 2>/dev/null");
    const int status = std::system((command + redirect).c_str());
    out = test::ReadFileBytes(outPath);
    return status;
}

struct Transaction {
    std::string fitid, name, amount;
    bool operator==(const Transaction&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Transaction& t) {
    return os << "{" << t.fitid << ", " << t.name << ", " << t.amount << "}";
}

TEST(OutsideReaderTest, OfxDumpReadsTheSameTransactions) {
    if (!Installed(kOfxDump))
        GTEST_SKIP() << "ofxdump (Debian package ofx) is not installed";
    const std::string dir = test::MakeTempDir("ofxdump");
    test::WriteFileBytes(dir + "/statement.ofx", std::string(kHeader) + kStatement);
    std::string dump;
    ASSERT_EQ(
        RunCommand(std::string(kOfxDump) + " " + dir + "/statement.ofx", dir + "/out", false, dump),
        0);

    std::vector<Transaction> theirs;
    std::istringstream lines(dump);
    std::string line;
    const auto value = [&line](const std::string& label) -> std::string {
        const std::size_t at = line.find(label);
        return at == std::string::npos ? std::string() : line.substr(at + label.size());
    };
    while (std::getline(lines, line)) {
        if (line.find("ofx_proc_transaction():") != std::string::npos)
            theirs.emplace_back();
        else if (theirs.empty())
            continue;
        else if (std::string v = value("Total money amount: "); !v.empty())
            theirs.back().amount = v;
        else if (std::string v = value("institution's ID for this transaction: "); !v.empty())
            theirs.back().fitid = v;
        else if (std::string v = value("Name of payee or transaction description: "); !v.empty())
            theirs.back().name = v;
    }

    CSgmlDocument document;
    ReadOnlyMemoryStream stream(kStatement, sizeof kStatement - 1);
    ASSERT_TRUE(document.Parse(stream, COfxSgmlTagTable(), nullptr));
    CSgmlElement* list = document.FindPath({"BANKMSGSRSV1", "STMTTRNRS", "STMTRS", "BANKTRANLIST"});
    ASSERT_NE(list, nullptr);
    std::vector<Transaction> ours;
    for (CSgmlElement* t = list->FindFirstChild("STMTTRN"); t != nullptr;
         t = t->FindNextSibling("STMTTRN")) {
        ours.push_back({*t->GetText({"FITID"}), *t->GetText({"NAME"}), *t->GetText({"TRNAMT"})});
    }
    ASSERT_EQ(ours.size(), 3u);
    EXPECT_EQ(ours, theirs) << dump;
}

TEST(OutsideReaderTest, OnsgmlsValidatesWhatTheWriterWrites) {
    const std::string dtd = std::string(kDtdDir) + "/ofx160.dtd";
    const std::string dcl = std::string(kDtdDir) + "/opensp.dcl";
    if (!Installed(kOnsgmls) || access(dtd.c_str(), R_OK) != 0)
        GTEST_SKIP() << "onsgmls (Debian package opensp) or libofx's DTD is not installed";

    CSgmlDocument document;
    ReadOnlyMemoryStream stream(kStatement, sizeof kStatement - 1);
    ASSERT_TRUE(document.Parse(stream, COfxSgmlTagTable(), nullptr));
    // Markup characters in a text must come out escaped.
    document.FindPath({"BANKMSGSRSV1", "STMTTRNRS", "STMTRS", "BANKTRANLIST", "STMTTRN", "MEMO"})
        ->SetText("a <b> & c");
    std::string written;
    ASSERT_TRUE(document.Generate(written, nullptr));

    const std::string dir = test::MakeTempDir("onsgmls");
    const std::string dtdText = test::ReadFileBytes(dtd);
    const auto validate = [&](const std::string& body, std::string& out) {
        test::WriteFileBytes(dir + "/doc.sgml", dtdText + body);
        return RunCommand(std::string(kOnsgmls) + " -s " + dcl + " " + dir + "/doc.sgml",
                          dir + "/out", true, out);
    };
    std::string out;
    EXPECT_EQ(validate(written, out), 0) << out << "\n" << written;
    EXPECT_EQ(out, "");

    // The oracle is awake: the same text with the markup left raw fails.
    std::string raw = written;
    raw.replace(raw.find("a &lt;b&gt; &amp; c"), 19, "a <b> & c");
    EXPECT_NE(validate(raw, out), 0);
}

}  // namespace
}  // namespace tallowmere::exchange
