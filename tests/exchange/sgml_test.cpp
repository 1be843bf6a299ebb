#include "exchange/sgml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ofx_tags.h"
#include "exchange/stream_file.h"
#include "exchange/stream_memory.h"

namespace tallowmere::exchange {
namespace {

const COfxSgmlTagTable kOfx;
const CFidbSgmlTagTable kFidb;

bool ParseText(CSgmlDocument& document, const std::string& text, const CSgmlTagTable& table = kOfx,
               CSgmlElement::MParseEventHandler* handler = nullptr) {
    ReadOnlyMemoryStream stream(text.data(), text.size());
    return document.Parse(stream, table, handler);
}

// The tree as one line: name, "=text" for data, children in brackets.
std::string Dump(const CSgmlElement& element) {
    std::string out = element.GetName();
    if (const std::string* text = element.Text())
        out += "=" + *text;
    if (element.GetFirstChild() != nullptr) {
        out += "[";
        for (const CSgmlElement* c = element.GetFirstChild(); c != nullptr;
             c = c->GetNextSibling()) {
            out += Dump(*c);
            if (c->GetNextSibling() != nullptr)
                out += ",";
        }
        out += "]";
    }
    return out;
}

const char kSignOn[] =
    "<OFX>\r\n<SIGNONMSGSRSV1>\r\n<SONRS>\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n"
    "</STATUS>\r\n<DTSERVER>20240102\r\n<LANGUAGE>ENG\r\n</SONRS>\r\n</SIGNONMSGSRSV1>\r\n</"
    "OFX>\r\n";

TEST(SgmlReaderTest, StatusBlockWithoutEndTags) {
    CSgmlDocument document;
    ASSERT_TRUE(ParseText(document, kSignOn));
    EXPECT_EQ(document.GetErrorCode(), 0);
    const std::string* code = document.GetText({"SIGNONMSGSRSV1", "SONRS", "STATUS", "CODE"});
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(*code, "0");
    EXPECT_EQ(Dump(document),
              "OFX[SIGNONMSGSRSV1[SONRS[STATUS[CODE=0,SEVERITY=INFO],DTSERVER=20240102,"
              "LANGUAGE=ENG]]]");
}

struct ParseCase {
    const char* name;
    std::string input;
    bool ok;
    int error;              // when !ok
    std::string errorText;  // when !ok
    std::string tree;       // when ok
};

void RunParseCases(const std::vector<ParseCase>& cases, const CSgmlTagTable& table) {
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSgmlDocument document;
        const bool ok = ParseText(document, c.input, table);
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(Dump(document), c.tree);
            EXPECT_EQ(document.GetErrorCode(), 0);
        } else {
            EXPECT_EQ(document.GetErrorCode(), c.error);
            EXPECT_EQ(document.GetErrorText(), c.errorText);
        }
    }
}

TEST(SgmlReaderTest, OfxInputs) {
    const std::string deep64 = [] {
        std::string s;
        for (int i = 0; i < 64; ++i)
            s += "<OFX>";
        for (int i = 0; i < 64; ++i)
            s += "</OFX>";
        return s;
    }();
    std::string deepTree = "OFX";
    for (int i = 1; i < 64; ++i)
        deepTree = "OFX[" + deepTree + "]";
    const std::string deep65 = "<OFX>" + deep64.substr(0, 64 * 5) + "</OFX>";
    std::string unknownDeep = "<OFX>";
    for (int i = 0; i < 100; ++i)
        unknownDeep += "<X" + std::to_string(i) + ">";

    RunParseCases(
        {
            {"closed data elements",
             "<OFX><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS></OFX>", true, 0, "",
             "OFX[STATUS[CODE=0,SEVERITY=INFO]]"},
            {"closed empty data element", "<OFX><STATUS><MESSAGE></MESSAGE><CODE>1</STATUS></OFX>",
             true, 0, "", "OFX[STATUS[MESSAGE=,CODE=1]]"},
            {"end tag of an older data element", "<OFX><CODE>0<SEVERITY>INFO</CODE></OFX>", false,
             4, "/CODE", ""},
            {"misspelt end tag", "<OFX><STATUS><CODE>0</STATSU></OFX>", false, 4, "/STATSU", ""},
            {"end tag across an open aggregate", "<OFX><SONRS><STATUS><CODE>0</SONRS></OFX>", false,
             4, "/SONRS", ""},
            {"unknown data element",
             "<OFX><STATUS><CODE>0<ACCESSKEY>k1<SEVERITY>INFO</STATUS></OFX>", true, 0, "",
             "OFX[STATUS[CODE=0,SEVERITY=INFO]]"},
            {"unknown closed data element", "<OFX><EXTDNAME>Extra</EXTDNAME><CODE>0</OFX>", true, 0,
             "", "OFX[CODE=0]"},
            {"unknown aggregate", "<OFX><BALLIST><BAL><NAME>x<VALUE>1</BAL></BALLIST><CODE>0</OFX>",
             true, 0, "", "OFX[CODE=0]"},
            {"misspelt aggregate is skipped whole",
             "<OFX><STATU><CODE>0<SEVERITY>INFO</STATU></OFX>", true, 0, "", "OFX"},
            {"unknown empty element",
             "<OFX><STMTRS><CURDEF>USD<FLAG>\r\n<STATUS><CODE>0</STATUS></STMTRS></OFX>", true, 0,
             "", "OFX[STMTRS[CURDEF=USD,STATUS[CODE=0]]]"},
            {"unknown empty elements nested", "<OFX><STMTRS><A><B><CURDEF>USD</STMTRS></OFX>", true,
             0, "", "OFX[STMTRS[CURDEF=USD]]"},
            {"card statement v2", "<OFX><CREDITCARDMSGSRSV2><CODE>0</CREDITCARDMSGSRSV2></OFX>",
             true, 0, "", "OFX[CREDITCARDMSGSRSV2[CODE=0]]"},
            {"text before the root is dropped", "header\r\n\r\n<OFX><CODE>0</OFX>trailing", true, 0,
             "", "OFX[CODE=0]"},
            {"root is a data tag", "<CODE>0", false, 4, "CODE", ""},
            {"root is unknown", "<FOO><OFX></OFX></FOO>", false, 4, "FOO", ""},
            {"empty input", "", false, 4, "", ""},
            {"no tag", "OFXHEADER:100", false, 4, "", ""},
            {"ends inside a tag", "<OFX><SIGNONMSGSRSV1", false, 4, "", ""},
            {"ends inside text", "<OFX><CODE>0", false, 4, "", ""},
            {"ends inside an aggregate", "<OFX><CODE>0<STATUS>", false, 4, "", ""},
            {"ends inside an unknown element", "<OFX><FOO>text", false, 4, "", ""},
            {"depth 64", deep64, true, 0, "", deepTree},
            {"depth 65", deep65, false, 4, "OFX", ""},
            {"unknown elements count towards depth", unknownDeep, false, 4, "X63", ""},
            {"stray end tag", "<OFX></>", false, 4, "/", ""},
            {"OFX header in a comment",
             "<!-- \nOFXHEADER:100\nDATA:OFXSGML\n-->\n<OFX>\n  <CODE>0</CODE>\n</OFX>\n", true, 0,
             "", "OFX[CODE=0]"},
            {"unterminated comment", "<!-- <OFX><CODE>0</OFX>", false, 4, "", ""},
            {"huge unknown tag", "<OFX><" + std::string(1 << 20, 'Q') + ">text<CODE>0</OFX>", true,
             0, "", "OFX[CODE=0]"},
            {"huge unterminated tag", "<OFX><" + std::string(1 << 20, 'Q'), false, 4, "", ""},
        },
        kOfx);
}

TEST(SgmlReaderTest, XmlForm) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
        "NEWFILEUID=\"NONE\"?>\n"
        "<!-- written by <some> tool -->\n"
        "<OFX>\n  <SIGNONMSGSRSV1>\n    <SONRS>\n      <STATUS>\n        <CODE>0</CODE>\n"
        "        <SEVERITY>INFO</SEVERITY>\n      </STATUS>\n    </SONRS>\n  </SIGNONMSGSRSV1>\n"
        "  <BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST><DTSTART/><STMTTRN><NAME>Caf\xC3\xA9 "
        "&amp; Co</NAME><MEMO/></STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1>\n"
        "</OFX>\n";
    CSgmlDocument document;
    ASSERT_TRUE(ParseText(document, xml)) << document.GetErrorText();
    EXPECT_EQ(document.GetTextEncoding(), SgmlTextEncoding::kUtf8);
    EXPECT_EQ(
        Dump(document),
        "OFX[SIGNONMSGSRSV1[SONRS[STATUS[CODE=0,SEVERITY=INFO]]],BANKMSGSRSV1[STMTTRNRS[STMTRS["
        "BANKTRANLIST[DTSTART=,STMTTRN[NAME=Caf\xE9 & Co,MEMO=]]]]]]");
}

TEST(SgmlReaderTest, TextEncodings) {
    struct Case {
        const char* declaration;
        SgmlTextEncoding preset;
        std::string name;  // what the NAME text "Caf\xC3\xA9" becomes
    } cases[] = {
        {"", SgmlTextEncoding::kCp1252, "Caf\xC3\xA9"},
        {"", SgmlTextEncoding::kUtf8, "Caf\xE9"},
        {"<?xml version=\"1.0\"?>", SgmlTextEncoding::kCp1252, "Caf\xE9"},
        {"<?xml version='1.0' encoding='windows-1252'?>", SgmlTextEncoding::kUtf8, "Caf\xC3\xA9"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", SgmlTextEncoding::kCp1252, "Caf\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.declaration);
        CSgmlDocument document;
        document.SetTextEncoding(c.preset);
        ASSERT_TRUE(
            ParseText(document, std::string(c.declaration) + "<OFX><NAME>Caf\xC3\xA9</OFX>"));
        EXPECT_EQ(*document.GetText({"NAME"}), c.name);
    }
    // Bytes that are not UTF-8 stay as sent, whatever the header claimed.
    CSgmlDocument document;
    document.SetTextEncoding(SgmlTextEncoding::kUtf8);
    ASSERT_TRUE(ParseText(document, "<OFX><NAME>Caf\xE9</OFX>"));
    EXPECT_EQ(*document.GetText({"NAME"}), "Caf\xE9");

    EXPECT_EQ(OfxHeaderTextEncoding("USASCII", "1252"), SgmlTextEncoding::kCp1252);
    EXPECT_EQ(OfxHeaderTextEncoding("USASCII", "ISO-8859-1"), SgmlTextEncoding::kCp1252);
    EXPECT_EQ(OfxHeaderTextEncoding("UTF-8", "NONE"), SgmlTextEncoding::kUtf8);
    EXPECT_EQ(OfxHeaderTextEncoding("unicode", "CSUNICODE"), SgmlTextEncoding::kUtf8);
}

TEST(SgmlReaderTest, DataTextEntitiesAndBlanks) {
    struct Case {
        std::string raw;
        std::string text;
    } cases[] = {
        {"  \t Water &amp; Power \r\n", "Water & Power"},
        {"A &bogus; B", "A &bogus; B"},
        {"&lt;b&gt;", "<b>"},
        {"x&nbsp;y", "x y"},
        {"x&nbsp;", "x"},  // the decoded blank is trimmed with the others
        {"&amp", "&amp"},
        {"&am&amp;", "&am&"},
        {"&", "&"},
        {"&&lt;", "&<"},
        {"a&amp;amp;", "a&amp;"},
        {"", ""},
        {"\t\r\n ", ""},
        {"in  side", "in  side"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        CSgmlDocument document;
        ASSERT_TRUE(ParseText(document, "<OFX><MEMO>" + c.raw + "<NAME>n</OFX>"));
        EXPECT_EQ(*document.GetText({"MEMO"}), c.text);
        EXPECT_EQ(*document.GetText({"NAME"}), "n");
    }
}

TEST(SgmlReaderTest, CDataSectionsAreLiteralText) {
    struct Case {
        std::string raw;
        std::string text;
    } cases[] = {
        {"<![CDATA[Corner Shop]]>", "Corner Shop"},
        {"<![CDATA[a<b &amp; c]] d]]>", "a<b &amp; c]] d"},
        {"<![CDATA[x]]]>", "x]"},
        {"<![CDATA[]]>", ""},
        {"Joe &amp; <![CDATA[<Sons>]]> Ltd", "Joe & <Sons> Ltd"},
        {"<![CDATA[one]]><![CDATA[two]]>", "onetwo"},
        // Trimmed as a whole, after the sections are joined in.
        {" \r\n<![CDATA[  padded\t]]> ", "padded"},
        {"<![CDATA[ A ]]>&nbsp;", "A"},
        // Not CDATA: a comment still ends the text, and so does "<!".
        {"before<!-- note -->after", "before"},
        {"left<![CDAT>", "left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        CSgmlDocument document;
        ASSERT_TRUE(ParseText(document, "<OFX><MEMO>" + c.raw + "<NAME>n</OFX>"))
            << document.GetErrorText();
        EXPECT_EQ(*document.GetText({"MEMO"}), c.text);
        EXPECT_EQ(*document.GetText({"NAME"}), "n");
    }

    // Converted with the rest of the text in a UTF-8 reply.
    CSgmlDocument utf8;
    utf8.SetTextEncoding(SgmlTextEncoding::kUtf8);
    ASSERT_TRUE(ParseText(utf8, "<OFX><NAME>Caf<![CDATA[\xC3\xA9 & Co]]></NAME></OFX>"));
    EXPECT_EQ(*utf8.GetText({"NAME"}), "Caf\xE9 & Co");

    RunParseCases(
        {
            {"closed after its CDATA",
             "<OFX><STMTTRN><NAME><![CDATA[Shop]]></NAME><MEMO><![CDATA[<b>]]></MEMO>"
             "</STMTTRN></OFX>",
             true, 0, "", "OFX[STMTTRN[NAME=Shop,MEMO=<b>]]"},
            {"CDATA between elements is passed over",
             "<OFX><STMTTRN><![CDATA[<NAME>x</NAME> >]]><MEMO>m</STMTTRN></OFX>", true, 0, "",
             "OFX[STMTTRN[MEMO=m]]"},
            {"unterminated CDATA in a text", "<OFX><NAME><![CDATA[Shop</NAME></OFX>", false, 4,
             "![CDATA[", ""},
            {"unterminated CDATA between elements", "<OFX><![CDATA[x]></OFX>", false, 4, "", ""},
        },
        kOfx);
}

TEST(SgmlReaderTest, DirectoryReplies) {
    RunParseCases(
        {
            {"bank list",
             "<xml><BANKS><BANK><UID>1</UID><BANKNAME>First &amp; Loopback</BANKNAME></BANK>"
             "<BANK><UID>2</UID></BANK></BANKS></xml>",
             true, 0, "",
             "xml[BANKS[BANK[UID=1,/UID=,BANKNAME=First & "
             "Loopback,/BANKNAME=],BANK[UID=2,/UID=]]]"},
            {"bank details",
             "<xml><BANKINFO><UID>7</UID><URL>https://127.0.0.1/ofx</URL><ORG>LOOP</ORG><FID>1234</"
             "FID>"
             "<APPID></APPID><APPVER></APPVER></BANKINFO></xml>",
             true, 0, "",
             "xml[BANKINFO[UID=7,/UID=,URL=https://127.0.0.1/ofx,/URL=,ORG=LOOP,/ORG=,FID=1234,/"
             "FID=,"
             "APPID=,/APPID=,APPVER=,/APPVER=]]"},
            {"OFX tags are not directory tags", "<xml><BANKS><CODE>0</BANKS></xml>", true, 0, "",
             "xml[BANKS]"},
            {"truncated", "<xml><BANKS><BANK><UID>1</UID>", false, 4, "", ""},
        },
        kFidb);
}

class CancelAt : public CSgmlElement::MParseEventHandler,
                 public CSgmlElement::MGenerateEventHandler {
  public:
    explicit CancelAt(int call) : call_(call) {}
    bool Progress(int value) override {
        EXPECT_EQ(value, 0);
        return ++calls_ != call_;
    }
    int calls_ = 0;

  private:
    int call_;
};

TEST(SgmlReaderTest, ProgressBetweenElementsCanCancel) {
    // Asked when an aggregate opens and after each child.
    CancelAt never(-1);
    CSgmlDocument complete;
    ASSERT_TRUE(
        ParseText(complete, "<OFX><STATUS><CODE>0</STATUS><DTSERVER>1</OFX>", kOfx, &never));
    EXPECT_EQ(never.calls_, 5);

    CancelAt third(3);
    CSgmlDocument document;
    EXPECT_FALSE(ParseText(document, kSignOn, kOfx, &third));
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorCancelled);
    EXPECT_EQ(third.calls_, 3);
    // What was built before the cancel stays.
    EXPECT_EQ(Dump(document), "OFX[SIGNONMSGSRSV1[SONRS]]");
}

TEST(SgmlReaderTest, ElementCountIsBounded) {
    std::string many = "<OFX>";
    for (std::size_t i = 0; i <= kSgmlMaxElements; ++i)
        many += "<TO>";
    many += "</OFX>";
    CSgmlDocument document;
    EXPECT_FALSE(ParseText(document, many));
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorNoMemory);
}

TEST(SgmlReaderTest, ReadsFromATemporaryFile) {
    auto stream = CreateTempFileStream();
    ASSERT_NE(stream, nullptr);
    std::string reply = "<OFX><BANKTRANLIST>";
    for (int i = 0; i < 500; ++i)
        reply += "<STMTTRN><NAME>A &amp; B " + std::to_string(i) + "</STMTTRN>";
    reply += "</BANKTRANLIST></OFX>";
    ASSERT_TRUE(stream->WriteText(reply));
    ASSERT_TRUE(stream->Seek(0));
    CSgmlDocument document;
    ASSERT_TRUE(document.Parse(*stream, kOfx, nullptr));
    CSgmlElement* last = document.FindPath({"BANKTRANLIST"})->GetLastChild();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last->GetText({"NAME"}), "A & B 499");
}

TEST(SgmlElementTest, ParsesContentOfAnElement) {
    CSgmlDocument document;
    CSgmlElement* status = document.AppendChild(std::make_unique<CSgmlElement>("STATUS"));
    const std::string content = "<CODE>0<SEVERITY>INFO</STATUS>rest";
    ReadOnlyMemoryStream stream(content.data(), content.size());
    ASSERT_TRUE(status->Parse(stream, kOfx, nullptr));
    EXPECT_EQ(Dump(*status), "STATUS[CODE=0,SEVERITY=INFO]");

    CSgmlElement* code = document.AppendChild(std::make_unique<CSgmlElement>("CODE"));
    const std::string text = " 2000 <";
    ReadOnlyMemoryStream textStream(text.data(), text.size());
    ASSERT_TRUE(code->Parse(textStream, kOfx, nullptr));
    EXPECT_EQ(*code->Text(), "2000");

    CSgmlElement* odd = document.AppendChild(std::make_unique<CSgmlElement>("ODD"));
    EXPECT_FALSE(odd->Parse(textStream, kOfx, nullptr));
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorMalformed);
    EXPECT_EQ(document.GetErrorText(), "ODD");
}

TEST(SgmlElementTest, LookupsSetMissingOnTheDocument) {
    CSgmlDocument document;
    ASSERT_TRUE(ParseText(document, kSignOn));
    CSgmlElement* sonrs = document.FindPath({"SIGNONMSGSRSV1", "SONRS"});
    ASSERT_NE(sonrs, nullptr);
    EXPECT_EQ(sonrs->GetDocument(), &document);
    EXPECT_EQ(document.FindPath({}), &document);

    EXPECT_EQ(sonrs->FindPath({"STATUS", "MESSAGE"}), nullptr);
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorMissing);
    EXPECT_EQ(document.GetErrorText(), "");

    document.SetError(0);
    EXPECT_EQ(sonrs->GetText({"STATUS"}), nullptr);  // an aggregate has no text
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorMissing);
    EXPECT_EQ(document.GetText({"signonmsgsrsv1"}), nullptr);  // names are case-sensitive

    CSgmlElement* status = sonrs->FindFirstChild("STATUS");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->FindNextSibling("LANGUAGE")->GetName(), "LANGUAGE");
    EXPECT_EQ(status->FindNextSibling("STATUS"), nullptr);
    EXPECT_EQ(sonrs->FindFirstChild("CODE"), nullptr);

    CSgmlElement detached("X");
    EXPECT_EQ(detached.GetDocument(), nullptr);
    EXPECT_EQ(detached.FindPath({"Y"}), nullptr);
}

TEST(SgmlWriterTest, WritesAsTheReaderReads) {
    CSgmlDocument document;
    ASSERT_TRUE(ParseText(document,
                          "<OFX><PROFRS><MSGSETLIST><SIGNONMSGSET><SIGNONMSGSETV1><MSGSETCORE>"
                          "<VER>1<URL>https://bank/ofx?a=1&amp;b=2</MSGSETCORE></SIGNONMSGSETV1>"
                          "</SIGNONMSGSET></MSGSETLIST><DTPROFUP>20240101</PROFRS></OFX>"));
    std::string out;
    CSgmlElement* profile = document.FindPath({"PROFRS"});
    ASSERT_TRUE(profile->Generate(out, nullptr));
    EXPECT_EQ(out,
              "<PROFRS><MSGSETLIST><SIGNONMSGSET><SIGNONMSGSETV1><MSGSETCORE><VER>1"
              "<URL>https://bank/ofx?a=1&amp;b=2</MSGSETCORE></SIGNONMSGSETV1></SIGNONMSGSET>"
              "</MSGSETLIST><DTPROFUP>20240101</PROFRS>");

    // A kept profile parses back to the same tree.
    CSgmlDocument again;
    ASSERT_TRUE(ParseText(again, out));
    EXPECT_EQ(Dump(again), Dump(*profile));

    CSgmlElement memo("MEMO");
    memo.SetText("a<b & c>d");
    out.clear();
    ASSERT_TRUE(memo.Generate(out, nullptr));
    EXPECT_EQ(out, "<MEMO>a&lt;b &amp; c&gt;d");
    CSgmlDocument back;
    ASSERT_TRUE(ParseText(back, "<OFX>" + out + "</OFX>"));
    EXPECT_EQ(*back.GetText({"MEMO"}), "a<b & c>d");

    CSgmlElement aggregate("STATUS");
    out.clear();
    ASSERT_TRUE(aggregate.Generate(out, nullptr));
    EXPECT_EQ(out, "<STATUS>");
}

TEST(SgmlWriterTest, CancelAndDeepTrees) {
    CSgmlDocument document;
    ASSERT_TRUE(ParseText(document, kSignOn));
    std::string out;
    CancelAt never(-1);
    ASSERT_TRUE(document.Generate(out, &never));
    EXPECT_EQ(never.calls_, 7);  // once before each child

    CancelAt second(2);
    out.clear();
    EXPECT_FALSE(document.Generate(out, &second));
    EXPECT_EQ(document.GetErrorCode(), kSgmlErrorCancelled);

    // A tree built by hand may be far deeper than the reader allows.
    CSgmlElement root("R");
    CSgmlElement* node = &root;
    for (int i = 0; i < 100000; ++i)
        node = node->AppendChild(std::make_unique<CSgmlElement>("A"));
    out.clear();
    ASSERT_TRUE(root.Generate(out, nullptr));
    // The innermost element has no children, so no end tag.
    EXPECT_EQ(out.size(), 3u + 100000u * 3u + 99999u * 4u + 4u);
}

}  // namespace
}  // namespace tallowmere::exchange
